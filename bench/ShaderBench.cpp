// Micro-benchmarks of the shader system's hot and bulk paths: the per-frame
// hand-off when nothing changed (which must stay cheap and allocation-free),
// a define edit that changes a value, include expansion and file reading.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "BenchGLWindow.h"
#include "MessageSink.h"
#include "Shader.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"
#include "ShaderText.h"
#include "TempShaderDir.h"

using Vellumar::Shader;
using Vellumar::ShaderGLSL;
using Vellumar::ShaderProgramGLSL;

namespace {

const char* const freezePointMacros[] = {"ENABLE_FREEZE_POINT_0", "ENABLE_FREEZE_POINT_1",
                                         "ENABLE_FREEZE_POINT_2", "ENABLE_FREEZE_POINT_3"};

// The seven macros of a frame, in the frame's order, with the start values.
void setFrameMacros(ShaderGLSL& fragment) {
    fragment.setDefine("ENABLE_BLOCKING", 1);
    for (int i = 0; i < 4; ++i) {
        fragment.setDefine(freezePointMacros[i], i == 0 ? 1 : 0);
    }
    fragment.setDefine("USE_BAD_LOOP", 1);
    fragment.setDefine("NUM_PIPEVARS", 20);
}

// The tool's program after its first frame: both shaders added, the
// macros at the top of the fragment text, compiled and linked.
struct FrameShaders {
    ShaderGLSL fragment{GLINTMOTH_SHADERS "GPUTest_FS.glsl", 1};
    ShaderGLSL vertex{GLINTMOTH_SHADERS "GPUTest_VS.glsl", 0};
    ShaderProgramGLSL program;

    FrameShaders() {
        program.addShader(&fragment);
        program.addShader(&vertex);
        fragment.setDefine("NUM_FREEZE_POINTS", 4);
        setFrameMacros(fragment);
        program.bind(true);
        program.unbind(true);
    }
};

void BM_SevenUnchangedDefines(benchmark::State& state) {
    FrameShaders shaders;
    for (auto _ : state) {
        setFrameMacros(shaders.fragment);
        benchmark::DoNotOptimize(shaders.fragment.dirty);
    }
    if (shaders.fragment.dirty) {
        state.SkipWithError("an unchanged define marked the shader dirty");
    }
    state.counters["textBytes"] = static_cast<double>(shaders.fragment.source.size());
}
BENCHMARK(BM_SevenUnchangedDefines);

// The frame's macro hand-off as the frame does it: seven defines, then the
// program's compile check that the next bind makes (nothing to build).
void BM_MacroHandOffWithCompileCheck(benchmark::State& state) {
    FrameShaders shaders;
    for (auto _ : state) {
        setFrameMacros(shaders.fragment);
        shaders.program.compile();
        benchmark::DoNotOptimize(shaders.program.linked);
    }
    if (!shaders.program.linked || shaders.fragment.dirty) {
        state.SkipWithError("an unchanged frame rebuilt the program");
    }
}
BENCHMARK(BM_MacroHandOffWithCompileCheck);

void BM_FrameHandOffUnchanged(benchmark::State& state) {
    FrameShaders shaders;
    for (auto _ : state) {
        setFrameMacros(shaders.fragment);
        shaders.program.bind(true);
    }
    shaders.program.unbind(true);
    if (!shaders.program.linked || shaders.fragment.dirty) {
        state.SkipWithError("an unchanged frame rebuilt the program");
    }
}
BENCHMARK(BM_FrameHandOffUnchanged);

void BM_ApplyDefineLineChangingAValue(benchmark::State& state) {
    FrameShaders shaders;
    std::string text = shaders.fragment.source;
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
    if (!testsupport::openGLWindow(&argc, argv)) {
        std::fprintf(stderr, "shader_bench: no OpenGL window (run it under xvfb-run)\n");
        return 1;
    }
    // A critical error must not wait for the console in the middle of a run.
    static std::istringstream noInput;
    Vellumar::MessageSink::instance().setStreams(std::cerr, noInput);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
