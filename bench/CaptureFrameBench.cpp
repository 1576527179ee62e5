// Each capture writes into a fresh directory under the system's temporary
// directory, removed when the benchmark ends. The first capture of a
// scenario builds the capture program and is left out, like the tool's own
// first frame after a change of macros.
#include "CaptureFrameBench.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "CaptureDirectory.h"
#include "CaptureView.h"
#include "FragmentRecorder.h"
#include "FrameSettings.h"
#include "GLAppGPUTest.h"
#include "OrderIndex.h"
#include "PatternAnalysis.h"
#include "Statistics.h"

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void resizeWindow(GLAppGPUTest& tool, int width, int height) {
    glutPositionWindow(0, 0);
    glutReshapeWindow(width, height);
    // The X server answers in its own time: up to five seconds.
    for (int i = 0; i < 5000 && (tool.windowWidth != width || tool.windowHeight != height); ++i) {
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (tool.windowWidth != width || tool.windowHeight != height) {
        std::cerr << "frame_bench: the window did not reach " << width << "x" << height << "\n";
        std::exit(1);
    }
}

struct CaptureSteps {
    double record = 0.0;   // recordCapture: the capture frame and the read-back
    double frame = 0.0;    // of which the capture frame, to its glFinish
    double analysis = 0.0; // ranks and pattern analysis
    double files = 0.0;    // writeCaptureDirectory
    double fragments = 0.0;
    double bytesPerFragment = 0.0; // the capture's log and maps
};

// What a FragmentCapture holds in memory, per fragment shaded.
double bytesPerFragment(const Vellumar::capture::FragmentCapture& c) {
    const auto bytes = [](const auto& v) {
        return static_cast<double>(v.capacity() * sizeof(v[0]));
    };
    const Vellumar::capture::FragmentLog& log = c.log;
    const double total = bytes(c.order) + bytes(c.overdraw) + bytes(c.clockStart) +
                         bytes(c.clockEnd) + bytes(c.subgroup) + bytes(c.lane) +
                         bytes(c.primitive) + bytes(c.smId) + bytes(c.warpId) + bytes(log.pixel) +
                         bytes(log.order) + bytes(log.primitive) + bytes(log.clockStart) +
                         bytes(log.clockEnd) + bytes(log.subgroup) + bytes(log.lane) +
                         bytes(log.smId) + bytes(log.warpId) + bytes(log.loops);
    return total / static_cast<double>(std::max<std::uint64_t>(log.shaded, 1));
}

CaptureSteps captureOnce(GLAppGPUTest& tool, const std::string& directory) {
    CaptureSteps steps;
    Clock::time_point start = Clock::now();
    const Vellumar::capture::FragmentCapture capture = tool.captureSession.record();
    steps.record = millisecondsSince(start);
    steps.frame = tool.captureSession.fragmentRecorder->lastFrameSeconds() * 1000.0;
    steps.fragments = static_cast<double>(capture.log.shaded);
    steps.bytesPerFragment = bytesPerFragment(capture);
    start = Clock::now();
    const Vellumar::capture::OrderIndex index(capture);
    const Vellumar::capture::PatternReport report =
        Vellumar::capture::PatternAnalysis::analyse(capture, index);
    steps.analysis = millisecondsSince(start);
    start = Clock::now();
    Vellumar::capture::writeCaptureDirectory(directory, capture, index, report);
    steps.files = millisecondsSince(start);
    return steps;
}

} // namespace

void runCaptureCost(GLAppGPUTest& tool, int repeats) {
    resizeWindow(tool, 512, 512);
    std::string pattern =
        (std::filesystem::temp_directory_path() / "capture-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::cerr << "frame_bench: no temporary directory\n";
        std::exit(1);
    }
    const std::string directory = pattern + "/capture";

    std::vector<FrameSettings> scenarios;
    FrameSettings quad;
    quad.name = "512x512 quad, no loops";
    quad.fastMode = false;
    scenarios.push_back(quad);
    FrameSettings loops = quad;
    loops.name = "512x512 quad, 100 standard cycles, 64x64 freeze point 2000";
    loops.loopsCount = {2000, 100};
    loops.freezePoint = {224, 224, 64, 64};
    scenarios.push_back(loops);
    FrameSettings small;
    small.name = "4096 small quads, no loops";
    small.test = 1;
    small.fastMode = false;
    scenarios.push_back(small);
    FrameSettings overlapping = small;
    overlapping.name = "16x16 quads every 8 pixels (4 fragments a pixel), no loops";
    overlapping.size = {16, 16};
    scenarios.push_back(overlapping);

    std::cout << "| Frame | Test-mode frame ms | Capture frame ms | Read-back ms | Analysis ms "
                 "| Files ms | Whole capture ms | Beyond the test-mode frame ms | Fragments "
                 "| Bytes a fragment |\n"
              << "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const FrameSettings& s : scenarios) {
        applySettings(s, tool);
        for (int i = 0; i < 3; ++i) {
            Vellumar::GLApp::displayFrame();
        }
        std::vector<double> live;
        for (int i = 0; i < repeats; ++i) {
            const Clock::time_point start = Clock::now();
            Vellumar::GLApp::displayFrame();
            live.push_back(millisecondsSince(start));
        }
        captureOnce(tool, directory);
        std::vector<double> frame, readBack, analysis, files, whole;
        CaptureSteps steps;
        for (int i = 0; i < repeats; ++i) {
            steps = captureOnce(tool, directory);
            frame.push_back(steps.frame);
            readBack.push_back(steps.record - steps.frame);
            analysis.push_back(steps.analysis);
            files.push_back(steps.files);
            whole.push_back(steps.record + steps.analysis + steps.files);
        }
        const double liveMs = median(live);
        const double wholeMs = median(whole);
        std::printf("| %s | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f | %.0f | %.1f |\n",
                    s.name.c_str(), liveMs, median(frame), median(readBack), median(analysis),
                    median(files), wholeMs, wholeMs - liveMs, steps.fragments,
                    steps.bytesPerFragment);
    }
    std::filesystem::remove_all(pattern);
    std::cout << std::flush;
}

void runReplayRate(GLAppGPUTest& tool, int frames) {
    resizeWindow(tool, 1024, 1024);
    FrameSettings quad;
    quad.fastMode = false;
    applySettings(quad, tool);
    CaptureView& view = *tool.captureSession.view;
    view.show(tool.captureSession.record());
    std::cout << "| Replay at 1024x1024 | ms/frame | frames/s |\n|---|---:|---:|\n";
    for (bool moving : {true, false}) {
        view.view = static_cast<int32_t>(Vellumar::capture::View::order);
        view.playing = false;
        std::vector<double> times;
        for (int i = 0; i < frames + 3; ++i) {
            // Another cut every frame, as the slider or Play gives it.
            if (moving) {
                view.replayPercent = static_cast<float>((i * 7) % 101);
            }
            const Clock::time_point start = Clock::now();
            Vellumar::GLApp::displayFrame();
            glFinish();
            if (i >= 3) {
                times.push_back(millisecondsSince(start));
            }
        }
        const double ms = median(times);
        std::printf("| %s | %.2f | %.0f |\n",
                    moving ? "replay moving (view rebuilt and uploaded every frame)"
                           : "replay paused",
                    ms, 1000.0 / ms);
    }
    view.hide();
    resizeWindow(tool, 512, 512);
    std::cout << std::flush;
}

} // namespace testsupport
