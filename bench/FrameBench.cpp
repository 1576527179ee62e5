// Frame benchmarks of the GPU test against a hand-written raw-GL baseline.
//
//   frame_bench overhead [frames]   tool and baseline frames interleaved, per scenario
//   frame_bench growth [frames]     ms/frame against the number of small primitives
//   frame_bench loops [frames]      ms/frame against slowdown-loop cycles
//   frame_bench trace SCENARIO tool|baseline FRAMES
//                                   only frames, for counting calls with apitrace
//
// Run from the project root under an X server. Tables go to standard output
// (markdown), CSV files to out/bench/.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "BaselineFrame.h"
#include "FrameSettings.h"
#include "GLAppGPUTest.h"
#include "Statistics.h"

namespace {

const char* const shaderDirectory = "./Shaders";

GLAppGPUTest* startTool(int* argc, char** argv) {
    auto* tool = new GLAppGPUTest(argc, argv, "The Tazzle Glintmoth (benchmark, February 08)", 512,
                                  512, 58);
    tool->start();
    // Let the window reach its place and size before anything is timed.
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();
    return tool;
}

double millisecondsOf(const std::function<void()>& frame) {
    auto start = std::chrono::steady_clock::now();
    frame();
    auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(stop - start).count();
}

void toolFrame() { Vellumar::GLApp::displayFrame(); }

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

// Tool and baseline frames alternate, A B A B, after warm-up frames of each.
void runOverhead(GLAppGPUTest& tool, int frames) {
    ensureOutputDirectory();
    std::ofstream csv("out/bench/overhead.csv");
    csv << "scenario,primitives,tool_ms,baseline_ms,ratio\n";
    std::cout << "| Scenario | Primitives | Tool ms/frame | Baseline ms/frame | Tool / baseline |\n"
              << "|---|---:|---:|---:|---:|\n";
    for (const FrameSettings& s : overheadScenarios()) {
        applySettings(s, tool);
        BaselineFrame baseline(shaderDirectory, s);
        for (int i = 0; i < 3; ++i) {
            toolFrame();
            baseline.run(s);
        }
        std::vector<double> toolTimes, baselineTimes;
        for (int i = 0; i < frames; ++i) {
            toolTimes.push_back(millisecondsOf(toolFrame));
            baselineTimes.push_back(millisecondsOf([&] { baseline.run(s); }));
        }
        const double t = median(toolTimes), b = median(baselineTimes);
        std::printf("| %s | %lld | %.3f | %.3f | %.3f |\n", s.name.c_str(),
                    static_cast<long long>(s.primitiveCount()), t, b, t / b);
        csv << '"' << s.name << "\"," << s.primitiveCount() << ',' << t << ',' << b << ',' << t / b
            << '\n';
    }
    std::cout << std::flush;
}

void runGrowth(GLAppGPUTest& tool, int frames) {
    ensureOutputDirectory();
    std::ofstream csv("out/bench/growth.csv");
    csv << "mode,primitives,ms\n";
    std::cout << "| Mode | Primitives | ms/frame |\n|---|---:|---:|\n";
    std::vector<std::string> summary;
    for (bool perPrimitive : {false, true}) {
        const char* mode = perPrimitive ? "per-primitive" : "batched";
        std::vector<double> counts, times;
        // Size equal to step: the covered area, and so the fragment work,
        // stays the whole window whatever the count.
        for (int step : {32, 16, 8, 4, 2}) {
            FrameSettings s;
            s.test = 1;
            s.step = {step, step};
            s.size = {step, step};
            s.perPrimitive = perPrimitive;
            applySettings(s, tool);
            for (int i = 0; i < 2; ++i) toolFrame();
            std::vector<double> measured;
            for (int i = 0; i < frames; ++i) measured.push_back(millisecondsOf(toolFrame));
            const double ms = median(measured);
            counts.push_back(static_cast<double>(s.primitiveCount()));
            times.push_back(ms);
            std::printf("| %s | %lld | %.3f |\n", mode, static_cast<long long>(s.primitiveCount()), ms);
            csv << mode << ',' << s.primitiveCount() << ',' << ms << '\n';
        }
        LineFit fit = fitLine(counts, times);
        char line[200];
        std::snprintf(line, sizeof line, "%s: %.4f us per primitive, R^2 %.4f", mode,
                      fit.slope * 1000.0, fit.rSquared);
        summary.push_back(line);
    }
    std::cout << "\n";
    for (const std::string& line : summary) std::cout << line << "\n";
    std::cout << std::flush;
}

void runLoops(GLAppGPUTest& tool, int frames) {
    ensureOutputDirectory();
    std::ofstream csv("out/bench/loops.csv");
    csv << "kind,cycles,ms\n";
    std::cout << "| Loop | Cycles | ms/frame |\n|---|---:|---:|\n";
    std::vector<std::string> summary;
    for (bool freezing : {false, true}) {
        const char* kind = freezing ? "freezing (64x64 freeze point)" : "standard (512x512 quad)";
        std::vector<double> cycles, times;
        for (int n = 0; n <= 2000; n += 200) {
            FrameSettings s;
            s.fastMode = false;
            s.blocking = true;
            if (freezing) {
                s.freezePoint = {224, 224, 64, 64};
                s.loopsCount = {n, 0};
            } else {
                s.freezePoint0 = false;
                s.loopsCount = {0, n};
            }
            applySettings(s, tool);
            toolFrame();
            std::vector<double> measured;
            for (int i = 0; i < frames; ++i) measured.push_back(millisecondsOf(toolFrame));
            const double ms = median(measured);
            cycles.push_back(n);
            times.push_back(ms);
            std::printf("| %s | %d | %.3f |\n", kind, n, ms);
            csv << (freezing ? "freezing" : "standard") << ',' << n << ',' << ms << '\n';
        }
        LineFit fit = fitLine(cycles, times);
        char line[200];
        std::snprintf(line, sizeof line, "%s: %.5f ms per cycle, R^2 %.4f", kind, fit.slope,
                      fit.rSquared);
        summary.push_back(line);
    }
    std::cout << "\n";
    for (const std::string& line : summary) std::cout << line << "\n";
    std::cout << std::flush;
}

int runTrace(GLAppGPUTest& tool, const std::string& scenario, const std::string& who, int frames) {
    for (const FrameSettings& s : overheadScenarios()) {
        if (s.name.find(scenario) == std::string::npos) continue;
        applySettings(s, tool);
        // One settling frame first: the tool builds its program at its first
        // frame, which the trace must show and the count then leaves out.
        if (who == "tool") {
            for (int i = 0; i <= frames; ++i) toolFrame();
        } else {
            BaselineFrame baseline(shaderDirectory, s);
            for (int i = 0; i <= frames; ++i) baseline.run(s);
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
    if (argc < 2) {
        std::cerr << "usage: frame_bench overhead|growth|loops [frames] | trace SCENARIO tool|baseline FRAMES\n";
        return 2;
    }
    const std::string part = argv[1];
    int glutArgc = 1;
    GLAppGPUTest* tool = startTool(&glutArgc, argv);
    if (part == "overhead") runOverhead(*tool, argument(argc, argv, 2, 41));
    else if (part == "growth") runGrowth(*tool, argument(argc, argv, 2, 9));
    else if (part == "loops") runLoops(*tool, argument(argc, argv, 2, 5));
    else if (part == "trace" && argc >= 5) return runTrace(*tool, argv[2], argv[3], std::atoi(argv[4]));
    else {
        std::cerr << "frame_bench: unknown part '" << part << "'\n";
        return 2;
    }
    return 0;
}
