// What the tweak-bar layer costs the program: a drawn frame of two bars of
// the program's size and mix of entries (against a frame with no bars), the
// same with a third bar of figures and a plot, open and folded, one
// forwarded mouse motion (each runs an ImGui frame), a shortcut key, and
// splitting a definition string. The allocation counters count the C++ and
// ImGui allocations per iteration, which should be 0 once the bars have
// settled.
#include <benchmark/benchmark.h>

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <imgui.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include <string>
#include <vector>

#include "Definition.h"
#include "TweakBar.h"

namespace {

std::atomic<long> cxxAllocations{0};
std::atomic<long> imguiAllocations{0};

void* imguiAlloc(size_t size, void*) {
    ++imguiAllocations;
    return std::malloc(size);
}
void imguiFree(void* pointer, void*) { std::free(pointer); }

constexpr int windowSize = 512;

struct Point {
    int PosX, PosY, SizeX, SizeY;
};

// What the bars are bound to: 13 entries in the first bar, 22 in the second,
// as in the program.
struct Settings {
    bool flags[8] = {true};
    int numbers[6] = {2000000, 200000, 1, 20, 0, 1};
    int choices[4] = {0, 7, 0, 1};
    Point points[7] = {};
    bool enabled[4] = {true};
    int ids[4] = {0, 1, 2, 3};
};

void unitSize(void* clientData) { *static_cast<int*>(clientData) += 0; }

void startBars() {
    static Settings s;
    static std::vector<std::string> labels;
    s = Settings{};
    labels.clear();
    TwInit(TW_OPENGL, nullptr);
    TwWindowSize(windowSize, windowSize);
    TwEnumVal two[] = {{0, "Big prim."}, {1, "Small primitives"}};
    TwEnumVal four[] = {{7, "Quads"}, {4, "Triangles"}, {1, "Lines"}, {0, "Points"}};
    const char* limits = " Min=0 Max=2048 Step=1 ";
    TwStructMember members[] = {{"PosX", TW_TYPE_INT32, 0, limits},
                                {"PosY", TW_TYPE_INT32, 4, limits},
                                {"SizeX", TW_TYPE_INT32, 8, limits},
                                {"SizeY", TW_TYPE_INT32, 12, limits}};
    TwType twoType = TwDefineEnum("two", two, 2);
    TwType fourType = TwDefineEnum("four", four, 4);
    TwType point = TwDefineStruct("Point", members, 4, sizeof(Point), nullptr, nullptr);

    TwBar* main = TwNewBar("Main");
    TwDefine(" Main position='350 300' size='250 260' fontSize=1 help='The first bar.' ");
    TwAddVarRW(main, "Fast Mode [TAB]", TW_TYPE_BOOLCPP, &s.flags[0], "");
    TwAddVarRW(main, "Active Test [a]", twoType, &s.choices[0], " keyIncr='a' keyDecr='A' ");
    TwAddVarRW(main, "Primitive type", fourType, &s.choices[1], "");
    TwAddVarRW(main, "Slowdown loop cycles std [i/k] (Increment [I/K])", TW_TYPE_INT32,
               &s.numbers[1], "help='Number of cycles.'");
    for (int i = 0; i < 3; ++i) {
        labels.push_back("Primitives group " + std::to_string(i));
        TwAddVarRW(main, labels.back().c_str(), point, &s.points[i], "help='A group.'");
    }
    TwAddVarRW(main, "Primitives redraw", TW_TYPE_INT32, &s.numbers[2], "");
    TwAddVarRW(main, "Primitive redraw mode", fourType, &s.choices[2], "");
    for (int i = 1; i < 5; ++i) {
        labels.push_back("A flag of the first bar " + std::to_string(i));
        TwAddVarRW(main, labels.back().c_str(), TW_TYPE_BOOLCPP, &s.flags[i], "help='A flag.'");
    }

    TwBar* freeze = TwNewBar("Freeze");
    TwDefine(" Freeze position='350 0' size='200 300' fontSize=1 valuesWidth=80 ");
    TwAddVarRW(freeze, "Pixels Blocking [b]", TW_TYPE_BOOLCPP, &s.flags[5], "");
    TwAddVarRW(freeze, "Use reg. saturation", TW_TYPE_BOOLCPP, &s.flags[6], "");
    TwAddVarRW(freeze, "Num shader regs.", TW_TYPE_INT32, &s.numbers[3], "");
    TwAddVarRO(freeze, "Current Point", TW_TYPE_INT32, &s.numbers[4], "");
    TwAddVarRW(freeze, "Slowdown loop cycles [u/j] (Increment [U/J])", TW_TYPE_INT32, &s.numbers[0],
               "");
    TwAddVarRW(freeze, "Keyboard move ctrl.", twoType, &s.choices[3], "");
    for (int i = 0; i < 4; ++i) {
        for (const char* prefix : {"Point ", "Enable P", "Parameters P", "Unit Size P"}) {
            labels.push_back(prefix + std::to_string(i));
        }
        const std::string* names = &labels[labels.size() - 4];
        TwAddSeparator(freeze, names[0].c_str(), "");
        TwAddVarRW(freeze, names[1].c_str(), TW_TYPE_BOOLCPP, &s.enabled[i], "");
        TwAddVarRW(freeze, names[2].c_str(), point, &s.points[3 + i], "");
        TwAddButton(freeze, names[3].c_str(), unitSize, &s.ids[i], "");
    }
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

// Drawn frames of the bars built so far, with their allocations.
void drawFrames(benchmark::State& state) {
    AllocationCounters counters;
    for (auto _ : state) {
        clearFrame();
        TwDraw();
        glFinish();
    }
    counters.report(state);
}

void BM_FrameWithTwoBars(benchmark::State& state) {
    startBars();
    drawFrames(state);
}
BENCHMARK(BM_FrameWithTwoBars)->Unit(benchmark::kMicrosecond);

// A bar like Statistics: figures and a plot of 64 frames with its guide.
void addPlotBar(bool folded) {
    static double figures[4] = {2.9, 0.04, 1.4, 9.1};
    static float values[64] = {};
    static Vellumar::tweakbar::PlotData plot;
    for (int i = 0; i < 64; ++i) {
        values[i] = 1.0f + static_cast<float>(i % 7);
    }
    plot.values = values;
    plot.count = 64;
    plot.guide = 3.0f;
    plot.caption = "top 7, median 3 ms";
    TwBar* bar = TwNewBar("Figures");
    TwDefine(folded ? " Figures position='0 0' size='300 310' fontSize=1 iconified=true "
                    : " Figures position='0 0' size='300 310' fontSize=1 iconified=false ");
    for (int i = 0; i < 4; ++i) {
        TwAddVarRO(bar, ("figure " + std::to_string(i)).c_str(), TW_TYPE_DOUBLE, &figures[i], "");
    }
    Vellumar::tweakbar::addPlot(bar, "Wall times", &plot, "");
    for (int i = 0; i < 3; ++i) {
        TwDraw();
    }
}

void BM_FrameWithTwoBarsAndAPlotBar(benchmark::State& state) {
    startBars();
    addPlotBar(state.range(0) != 0);
    drawFrames(state);
}
BENCHMARK(BM_FrameWithTwoBarsAndAPlotBar)
    ->ArgName("folded")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

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

void BM_SplitDefinition(benchmark::State& state) {
    std::string target;
    std::vector<Vellumar::tweakbar::Attribute> attributes;
    std::string error;
    for (auto _ : state) {
        bool ok = Vellumar::tweakbar::parseDefinition(
            " FreezyPoints position='350 0' size='200 300' fontSize='1'  valuesWidth='80' ", target,
            attributes, error);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_SplitDefinition);

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
    glewInit(); // the bars' state guard asks GLEW what the context has
    glViewport(0, 0, windowSize, windowSize);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
