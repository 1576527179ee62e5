// Frame benchmarks of the GPU test against a hand-written raw-GL baseline.
//
//   frame_bench overhead [frames]   tool and baseline frames interleaved, per scenario
//   frame_bench growth [frames]     ms/frame against the number of small primitives
//   frame_bench loops [frames]      ms/frame against slowdown-loop cycles
//   frame_bench frame-times [frames] ms/frame of a few everyday settings
//   frame_bench capture [repeats]   a 512x512 capture's cost beyond its frame
//   frame_bench replay [frames]     the capture replay's frame rate at 1024x1024
//   frame_bench trace SCENARIO tool|baseline FRAMES
//                                   only frames, for counting calls with apitrace
//
// Run from the project root under an X server, or with --headless first in
// an off-screen EGL context with no X server, tool and baseline drawing into
// the framebuffer that stands in for the window. Tables go to standard
// output (markdown), CSV files to out/bench/.
#include <GL/glew.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "BaselineFrame.h"
#include "CaptureFrameBench.h"
#include "FrameSettings.h"
#include "GLAppGPUTest.h"
#include "Statistics.h"

namespace {

using testsupport::applySettings;
using testsupport::BaselineFrame;
using testsupport::fitLine;
using testsupport::FrameSettings;
using testsupport::LineFit;
using testsupport::median;
using testsupport::startTool;

const char* const shaderDirectory = "./Shaders";

double millisecondsOf(const std::function<void()>& frame) {
    auto start = std::chrono::steady_clock::now();
    frame();
    auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(stop - start).count();
}

void toolFrame() { Vellumar::GLApp::displayFrame(); }

struct PairedMedians {
    double tool;
    double baseline;
};

// The settings in the tool and in a baseline of their own, warm-up frames of
// each, then tool and baseline frames alternating, the order of each pair
// swapped every time (A B B A ...) so that neither side always follows the
// other. The medians of the wall times.
PairedMedians measureAgainstBaseline(GLAppGPUTest& tool, const FrameSettings& settings,
                                     int warmUpFrames, int frames) {
    applySettings(settings, tool);
    BaselineFrame baseline(shaderDirectory, settings, testsupport::frameBuffer(tool));
    for (int i = 0; i < warmUpFrames; ++i) {
        toolFrame();
        baseline.run(settings);
    }
    const std::function<void()> baselineFrame = [&] { baseline.run(settings); };
    std::vector<double> toolTimes, baselineTimes;
    for (int i = 0; i < frames; ++i) {
        if (i % 2 == 0) {
            toolTimes.push_back(millisecondsOf(toolFrame));
            baselineTimes.push_back(millisecondsOf(baselineFrame));
        } else {
            baselineTimes.push_back(millisecondsOf(baselineFrame));
            toolTimes.push_back(millisecondsOf(toolFrame));
        }
    }
    return {median(toolTimes), median(baselineTimes)};
}

std::vector<FrameSettings> overheadScenarios() {
    std::vector<FrameSettings> all;
    FrameSettings bigQuad;
    bigQuad.name = "big quad, fast mode";
    all.push_back(bigQuad);

    FrameSettings batched;
    batched.name = "4096 small quads, batched";
    batched.test = 1;
    all.push_back(batched);

    FrameSettings perPrimitive = batched;
    perPrimitive.name = "4096 small quads, draw call per primitive";
    perPrimitive.perPrimitive = true;
    all.push_back(perPrimitive);

    FrameSettings points;
    points.name = "262144 points, step 1";
    points.test = 1;
    points.primitive = GL_POINTS;
    points.step = {1, 1};
    points.size = {1, 1};
    all.push_back(points);

    FrameSettings loops;
    loops.name = "512x512 quad, 200 standard loop cycles";
    loops.fastMode = false;
    loops.loopsCount = {0, 200};
    loops.freezePoint0 = false;
    all.push_back(loops);
    return all;
}

void ensureOutputDirectory() {
    mkdir("out", 0755);
    mkdir("out/bench", 0755);
}

// Tool and baseline frames interleaved, after warm-up frames of each.
void runOverhead(GLAppGPUTest& tool, int frames) {
    ensureOutputDirectory();
    std::ofstream csv(tool.offscreen ? "out/bench/overhead-headless.csv"
                                     : "out/bench/overhead.csv");
    csv << "scenario,primitives,tool_ms,baseline_ms,ratio\n";
    std::cout << "| Scenario | Primitives | Tool ms/frame | Baseline ms/frame | Tool / baseline |\n"
              << "|---|---:|---:|---:|---:|\n";
    for (const FrameSettings& s : overheadScenarios()) {
        const PairedMedians medians = measureAgainstBaseline(tool, s, 3, frames);
        const double t = medians.tool, b = medians.baseline;
        std::printf("| %s | %lld | %.3f | %.3f | %.3f |\n", s.name.c_str(),
                    static_cast<long long>(s.primitiveCount()), t, b, t / b);
        csv << '"' << s.name << "\"," << s.primitiveCount() << ',' << t << ',' << b << ',' << t / b
            << '\n';
    }
    std::cout << std::flush;
}

// Tool and baseline frames alternate here too: what is not linear in the
// tool's curve shows the same in the bare stream's.
void runGrowth(GLAppGPUTest& tool, int frames) {
    ensureOutputDirectory();
    std::ofstream csv("out/bench/growth.csv");
    csv << "mode,primitives,tool_ms,baseline_ms\n";
    std::cout
        << "| Mode | Primitives | Tool ms/frame | Baseline ms/frame |\n|---|---:|---:|---:|\n";
    std::vector<std::string> summary;
    for (bool perPrimitive : {false, true}) {
        const char* mode = perPrimitive ? "per-primitive" : "batched";
        std::vector<double> counts, toolTimes, baselineTimes;
        // Every primitive keeps the default 8 x 8 pixels (neighbours overlap
        // at small steps), so each brings the same work and time grows with
        // the count alone. Shrinking them with the step instead makes the
        // rasteriser's per-primitive cost change with the count. Steps halve
        // in x and y in turn: counts from 256 to 65536.
        const Vec2i steps[] = {{32, 32}, {16, 32}, {16, 16}, {8, 16}, {8, 8},
                               {4, 8},   {4, 4},   {2, 4},   {2, 2}};
        for (const Vec2i& step : steps) {
            FrameSettings s;
            s.test = 1;
            s.step = step;
            s.perPrimitive = perPrimitive;
            const PairedMedians medians = measureAgainstBaseline(tool, s, 2, frames);
            const double t = medians.tool, b = medians.baseline;
            const auto count = static_cast<long long>(s.primitiveCount());
            counts.push_back(static_cast<double>(count));
            toolTimes.push_back(t);
            baselineTimes.push_back(b);
            std::printf("| %s | %lld | %.3f | %.3f |\n", mode, count, t, b);
            csv << mode << ',' << count << ',' << t << ',' << b << '\n';
        }
        for (bool ofTool : {true, false}) {
            LineFit fit = fitLine(counts, ofTool ? toolTimes : baselineTimes);
            char line[200];
            std::snprintf(line, sizeof line, "%s, %s: %.4f us per primitive, R^2 %.4f", mode,
                          ofTool ? "tool" : "baseline", fit.slope * 1000.0, fit.rSquared);
            summary.push_back(line);
        }
    }
    std::cout << "\n";
    for (const std::string& line : summary) {
        std::cout << line << "\n";
    }
    std::cout << std::flush;
}

// Wall time per frame of a few everyday settings, for the README.
void runFrameTimes(GLAppGPUTest& tool, int frames) {
    std::vector<FrameSettings> all;
    FrameSettings quad;
    quad.name = "big quad, fast mode";
    all.push_back(quad);
    for (int cycles : {0, 100, 1000}) {
        FrameSettings loops;
        loops.name = "512x512 quad, " + std::to_string(cycles) + " standard loop cycles";
        loops.fastMode = false;
        loops.freezePoint0 = false;
        loops.loopsCount = {0, cycles};
        all.push_back(loops);
    }
    for (bool perPrimitive : {false, true}) {
        FrameSettings small;
        small.name = perPrimitive ? "4096 small quads, draw call per primitive"
                                  : "4096 small quads, batched";
        small.test = 1;
        small.perPrimitive = perPrimitive;
        all.push_back(small);
    }
    std::cout << "| Frame | ms/frame |\n|---|---:|\n";
    for (const FrameSettings& s : all) {
        applySettings(s, tool);
        for (int i = 0; i < 3; ++i) {
            toolFrame();
        }
        std::vector<double> measured;
        for (int i = 0; i < frames; ++i) {
            measured.push_back(millisecondsOf(toolFrame));
        }
        std::printf("| %s | %.2f |\n", s.name.c_str(), median(measured));
    }
    std::cout << std::flush;
}

struct LoopSeries {
    const char* kind;
    bool freezing;
    int maxCycles;
};

void runLoops(GLAppGPUTest& tool, int frames) {
    ensureOutputDirectory();
    std::ofstream csv("out/bench/loops.csv");
    csv << "series,cycles,ms\n";
    std::cout << "| Loop, range | Cycles | ms/frame |\n|---|---:|---:|\n";
    // The freeze point holds 1/64 of the window's pixels: over the same
    // cycles its signal is 1/64 as large, so it also runs ten times as far.
    const LoopSeries series[] = {{"standard, 512x512 quad", false, 2000},
                                 {"freezing, 64x64 freeze point", true, 2000},
                                 {"freezing, 64x64 freeze point", true, 20000}};
    std::vector<std::string> summary;
    for (const LoopSeries& run : series) {
        std::vector<double> cycles, times;
        for (int n = 0; n <= run.maxCycles; n += run.maxCycles / 10) {
            FrameSettings s;
            s.fastMode = false;
            s.blocking = true;
            if (run.freezing) {
                s.freezePoint = {224, 224, 64, 64};
                s.loopsCount = {n, 0};
            } else {
                s.freezePoint0 = false;
                s.loopsCount = {0, n};
            }
            applySettings(s, tool);
            // A changed macro rebuilds the program: its first frames compile.
            for (int i = 0; i < 3; ++i) {
                toolFrame();
            }
            std::vector<double> measured;
            // The freeze point's frames are short and its signal small: more
            // frames keep the median steady.
            const int count = run.freezing ? frames * 12 : frames;
            for (int i = 0; i < count; ++i) {
                measured.push_back(millisecondsOf(toolFrame));
            }
            const double ms = median(measured);
            cycles.push_back(n);
            times.push_back(ms);
            std::printf("| %s, 0 to %d | %d | %.3f |\n", run.kind, run.maxCycles, n, ms);
            csv << '"' << run.kind << " to " << run.maxCycles << "\"," << n << ',' << ms << '\n';
        }
        LineFit fit = fitLine(cycles, times);
        char line[200];
        std::snprintf(line, sizeof line, "%s, 0 to %d cycles: %.5f ms per cycle, R^2 %.4f",
                      run.kind, run.maxCycles, fit.slope, fit.rSquared);
        summary.push_back(line);
    }
    std::cout << "\n";
    for (const std::string& line : summary) {
        std::cout << line << "\n";
    }
    std::cout << std::flush;
}

int runTrace(GLAppGPUTest& tool, const std::string& scenario, const std::string& who, int frames) {
    for (const FrameSettings& s : overheadScenarios()) {
        if (s.name.find(scenario) == std::string::npos) {
            continue;
        }
        applySettings(s, tool);
        // One settling frame first: the tool builds its program at its first
        // frame, which the trace must show and the count then leaves out.
        if (who == "tool") {
            for (int i = 0; i <= frames; ++i) {
                toolFrame();
            }
        } else {
            BaselineFrame baseline(shaderDirectory, s, testsupport::frameBuffer(tool));
            for (int i = 0; i <= frames; ++i) {
                baseline.run(s);
            }
        }
        return 0;
    }
    std::cerr << "frame_bench: no scenario matches '" << scenario << "'\n";
    return 2;
}

int argument(int argc, char** argv, int index, int fallback) {
    return argc > index ? std::atoi(argv[index]) : fallback;
}

} // namespace

int main(int argc, char** argv) {
    const bool headless = argc >= 2 && std::string(argv[1]) == "--headless";
    if (headless) {
        --argc;
        ++argv;
    }
    if (argc < 2) {
        std::cerr << "usage: frame_bench [--headless] overhead|growth|loops|frame-times|capture|"
                     "replay [frames] | trace SCENARIO tool|baseline FRAMES\n";
        return 2;
    }
    const std::string part = argv[1];
    int glutArgc = 1;
    GLAppGPUTest* tool = startTool(&glutArgc, argv, headless);
    if (part == "overhead") {
        runOverhead(*tool, argument(argc, argv, 2, 101));
    } else if (part == "growth") {
        runGrowth(*tool, argument(argc, argv, 2, 9));
    } else if (part == "loops") {
        runLoops(*tool, argument(argc, argv, 2, 5));
    } else if (part == "frame-times") {
        runFrameTimes(*tool, argument(argc, argv, 2, 31));
    } else if (part == "capture") {
        testsupport::runCaptureCost(*tool, argument(argc, argv, 2, 9));
    } else if (part == "replay") {
        testsupport::runReplayRate(*tool, argument(argc, argv, 2, 61));
    } else if (part == "trace" && argc >= 5) {
        return runTrace(*tool, argv[2], argv[3], std::atoi(argv[4]));
    } else {
        std::cerr << "frame_bench: unknown part '" << part << "'\n";
        return 2;
    }
    return 0;
}
