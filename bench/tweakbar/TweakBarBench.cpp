// What the tweak-bar layer costs the program: a drawn frame of its two bars
// (against a frame with no bars), one forwarded mouse motion (each runs an
// ImGui frame), a shortcut key, and parsing a definition string. The
// allocation counters count the C++ and ImGui allocations per iteration,
// which should be 0 once the bars have settled.
#include <benchmark/benchmark.h>

#include <GL/freeglut.h>
#include <imgui.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "DefinitionParser.h"
#include "ProgramBars.h"
#include "TweakBar.h"

using namespace tweakbartest;

namespace {

std::atomic<long> cxxAllocations{0};
std::atomic<long> imguiAllocations{0};

void* imguiAlloc(size_t size, void*) {
    ++imguiAllocations;
    return std::malloc(size);
}
void imguiFree(void* pointer, void*) { std::free(pointer); }

constexpr int windowSize = 512;

ProgramSettings& settings() {
    static ProgramSettings s;
    return s;
}

void startBars() {
    TwInit(TW_OPENGL, nullptr);
    TwWindowSize(windowSize, windowSize);
    settings() = ProgramSettings{};
    buildProgramBars(settings());
    for (int i = 0; i < 3; ++i) {
        TwDraw();
    }
}

class AllocationCounters {
public:
    AllocationCounters() : cxx_(cxxAllocations), imgui_(imguiAllocations) {}
    void report(benchmark::State& state) const {
        double n = static_cast<double>(state.iterations());
        state.counters["cxx_allocs"] = double(cxxAllocations - cxx_) / n;
        state.counters["imgui_allocs"] = double(imguiAllocations - imgui_) / n;
    }

private:
    long cxx_;
    long imgui_;
};

void clearFrame() {
    glClearColor(0.2f, 0.3f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void BM_FrameWithoutBars(benchmark::State& state) {
    for (auto _ : state) {
        clearFrame();
        glFinish();
    }
}
BENCHMARK(BM_FrameWithoutBars)->Unit(benchmark::kMicrosecond);

void BM_FrameWithTheProgramsBars(benchmark::State& state) {
    startBars();
    AllocationCounters counters;
    for (auto _ : state) {
        clearFrame();
        TwDraw();
        glFinish();
    }
    counters.report(state);
}
BENCHMARK(BM_FrameWithTheProgramsBars)->Unit(benchmark::kMicrosecond);

void BM_MouseMotionOverABar(benchmark::State& state) {
    startBars();
    AllocationCounters counters;
    int x = 400;
    for (auto _ : state) {
        x = x == 400 ? 401 : 400;
        benchmark::DoNotOptimize(TwEventMouseMotionGLUT(x, 40));
    }
    counters.report(state);
}
BENCHMARK(BM_MouseMotionOverABar)->Unit(benchmark::kMicrosecond);

void BM_ShortcutKey(benchmark::State& state) {
    startBars();
    AllocationCounters counters;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TwEventKeyboardGLUT('a', 0, 0));
    }
    counters.report(state);
}
BENCHMARK(BM_ShortcutKey);

void BM_ParseDefinition(benchmark::State& state) {
    for (auto _ : state) {
        auto d = tweakbar::parseDefinition(
            " FreezyPoints position='350 0' size='200 300' fontSize='1'  valuesWidth='80' ");
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_ParseDefinition);

} // namespace

// Counting replacements of the global allocation functions; they pair
// malloc with free themselves, which GCC cannot see through.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
    ++cxxAllocations;
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* pointer) noexcept { std::free(pointer); }
void operator delete(void* pointer, size_t) noexcept { std::free(pointer); }

int main(int argc, char** argv) {
    ImGui::SetAllocatorFunctions(imguiAlloc, imguiFree);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE);
    glutInitWindowSize(windowSize, windowSize);
    glutCreateWindow("tweakbar bench");
    glViewport(0, 0, windowSize, windowSize);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
