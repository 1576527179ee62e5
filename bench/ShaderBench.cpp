// Micro-benchmarks of the shader system's hot and bulk paths: the frame's own
// hand-off to the shaders when nothing changed (which must stay cheap and
// allocation-free), a define edit that changes a value, include expansion and
// file reading. The hand-off runs on the real GPU test application, so the
// benchmark runs from the project root under an X server.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "FrameSettings.h"
#include "GLAppGPUTest.h"
#include "MessageSink.h"
#include "Shader.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"
#include "ShaderText.h"
#include "TempShaderDir.h"

using Vellumar::Shader;

namespace {

// The tool after a first test-mode frame with register saturation on: all
// seven macros of the frame at the top of the fragment text, the program
// compiled and linked. Started in main, before the benchmarks run.
GLAppGPUTest* tool = nullptr;

void settleTool(GLAppGPUTest& app) {
    app.configMode = false;
    app.useRegSaturation = true;
    Vellumar::GLApp::displayFrame();
}

bool rebuiltOrDirty(const GLAppGPUTest& app) {
    return !app.shaderProgram->linked || app.fragmentShader->dirty;
}

void BM_SevenUnchangedDefines(benchmark::State& state) {
    for (auto _ : state) {
        setFrameMacros(*tool, *tool->fragmentShader);
        benchmark::DoNotOptimize(tool->fragmentShader->dirty);
    }
    if (tool->fragmentShader->dirty) {
        state.SkipWithError("an unchanged define marked the shader dirty");
    }
    state.counters["textBytes"] = static_cast<double>(tool->fragmentShader->source.size());
}
BENCHMARK(BM_SevenUnchangedDefines);

// The frame's macro hand-off, then the program's compile check that the
// frame's bind makes (nothing to build).
void BM_MacroHandOffWithCompileCheck(benchmark::State& state) {
    for (auto _ : state) {
        setFrameMacros(*tool, *tool->fragmentShader);
        tool->shaderProgram->compile();
        benchmark::DoNotOptimize(tool->shaderProgram->linked);
    }
    if (rebuiltOrDirty(*tool)) {
        state.SkipWithError("an unchanged frame rebuilt the program");
    }
}
BENCHMARK(BM_MacroHandOffWithCompileCheck);

void BM_FrameHandOffUnchanged(benchmark::State& state) {
    for (auto _ : state) {
        setFrameMacros(*tool, *tool->fragmentShader);
        tool->shaderProgram->bind(true);
    }
    tool->shaderProgram->unbind(true);
    if (rebuiltOrDirty(*tool)) {
        state.SkipWithError("an unchanged frame rebuilt the program");
    }
}
BENCHMARK(BM_FrameHandOffUnchanged);

void BM_ApplyDefineLineChangingAValue(benchmark::State& state) {
    std::string text = tool->fragmentShader->source;
    bool odd = false;
    for (auto _ : state) {
        odd = !odd;
        bool changed = Vellumar::applyDefineLine(text, "NUM_PIPEVARS", odd ? "21" : "20");
        benchmark::DoNotOptimize(changed);
        if (!changed) {
            state.SkipWithError("the value did not change");
        }
    }
}
BENCHMARK(BM_ApplyDefineLineChangingAValue);

void BM_ExpandIncludes100KBWith50Includes(benchmark::State& state) {
    testsupport::TempShaderDir dir;
    std::string text;
    const std::string filler =
        "    color.rgb += vec3(0.001) * float(i); // filler line of a big shader\n";
    for (int include = 0; include < 50; ++include) {
        std::string name = "part" + std::to_string(include) + ".glsl";
        std::string part;
        while (part.size() < 1000) {
            part += "float part" + std::to_string(include) + "_" + std::to_string(part.size()) +
                    "() { return 1.0; }\n";
        }
        dir.write(name, part);
        while (text.size() < static_cast<std::size_t>(include + 1) * 2000) {
            text += filler;
        }
        text += "#include \"" + name + "\"\n";
    }
    for (auto _ : state) {
        std::string expanded = Vellumar::expandIncludes(text, dir.path() + "main.glsl");
        benchmark::DoNotOptimize(expanded.data());
        if (expanded.find("#include") != std::string::npos) {
            state.SkipWithError("not expanded");
        }
    }
    state.counters["inputBytes"] = static_cast<double>(text.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ExpandIncludes100KBWith50Includes)->Unit(benchmark::kMicrosecond);

void BM_LoadSource1MiB(benchmark::State& state) {
    testsupport::TempShaderDir dir;
    std::string bytes;
    while (bytes.size() < (1u << 20)) {
        bytes += "    acc = fract(acc * 1.000173 + 0.618034); // one line of a long file\n";
    }
    bytes.resize(1u << 20);
    std::string path = dir.write("big.glsl", bytes);
    for (auto _ : state) {
        std::string text = Shader::loadSource(path.c_str());
        benchmark::DoNotOptimize(text.data());
        if (text.size() != bytes.size() + 1) {
            state.SkipWithError("wrong size read");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LoadSource1MiB)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (!std::ifstream("Shaders/GPUTest_FS.glsl")) {
        std::fprintf(stderr, "shader_bench: run it from the project root (it reads ./Shaders/)\n");
        return 1;
    }
    // A critical error must not wait for the console in the middle of a run.
    static std::istringstream noInput;
    Vellumar::MessageSink::instance().setStreams(std::cerr, noInput);
    tool = testsupport::startTool(&argc, argv);
    settleTool(*tool);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
