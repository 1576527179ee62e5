#include "ProgramBars.h"

#include <cstddef>
#include <string>

#include "ProgramHelpText.h"

namespace tweakbartest {

namespace {

ProgramSettings* current = nullptr;

void unitSizeButton(void* clientData) {
    int i = *static_cast<int*>(clientData);
    current->freezePoints[i].SizeX = 1;
    current->freezePoints[i].SizeY = 1;
    ++current->unitSizePresses[i];
}

std::string indexed(const char* text, int i) { return text + std::to_string(i); }

} // namespace

ProgramTypes buildProgramBars(ProgramSettings& s) {
    current = &s;
    ProgramTypes t{};
    TwDefine(globalHelpDefinition);

    TwBar* mainBar = TwNewBar("MainOptions");
    TwDefine(" MainOptions position='350 300' size='250 260' fontSize='1'");
    TwDefine(" MainOptions help='Get help clicking on the bottom left help icon.' ");
    TwAddVarRW(mainBar, "Fast Mode [TAB]", TW_TYPE_BOOLCPP, &s.fastMode, "");
    TwEnumVal tests[] = {{0, "Big prim."}, {1, "Small primitives"}};
    t.curTest = TwDefineEnum("curTest", tests, 2);
    TwAddVarRW(mainBar, "Active Test [a]", t.curTest, &s.curTest,
               " keyIncr='a' keyDecr='A' help='Change object shape.' ");
    TwEnumVal prims[] = {{7, "Quads"}, {4, "Triangles"}, {1, "Lines"}, {0, "Points"}};
    t.curPrim = TwDefineEnum("curPrim", prims, 4);
    TwAddVarRW(mainBar, "Primitive type", t.curPrim, &s.curPrim, " ");

    TwStructMember vec2f[] = {{"x", TW_TYPE_FLOAT, offsetof(Vec2f, x), " Min=-1 Max=1 Step=0.01 "},
                              {"y", TW_TYPE_FLOAT, offsetof(Vec2f, y), " Min=-1 Max=1 Step=0.01 "}};
    t.vec2f = TwDefineStruct("Vec2f", vec2f, 2, sizeof(Vec2f), nullptr, nullptr);
    const char* intLimits = " Min=0 Max=2048 Step=1 ";
    TwStructMember vec2i[] = {{"x", TW_TYPE_INT32, offsetof(Vec2i, x), intLimits},
                              {"y", TW_TYPE_INT32, offsetof(Vec2i, y), intLimits}};
    t.vec2i = TwDefineStruct("Vec2i", vec2i, 2, sizeof(Vec2i), nullptr, nullptr);
    TwStructMember vec4i[] = {{"x", TW_TYPE_INT32, 0, intLimits},
                              {"y", TW_TYPE_INT32, 4, intLimits},
                              {"z", TW_TYPE_INT32, 8, intLimits},
                              {"w", TW_TYPE_INT32, 12, intLimits}};
    t.vec4i = TwDefineStruct("Vec4i", vec4i, 4, 16, nullptr, nullptr);

    TwAddVarRW(mainBar, "Slowdown loop cycles std [i/k] (Increment [I/K])", TW_TYPE_INT32,
               &s.loopsCount.y, "help='Number of cycles of the slowdown loop for standard pixels'");
    TwAddVarRW(mainBar, "Primitives tilling size [y/h]", t.vec2i, &s.primTilingSize,
               "help='Size of primitives tilling'");
    TwAddVarRW(mainBar, "Primitives size", t.vec2i, &s.primSize,
               "help='Size in pixels of each primitives'");
    TwAddVarRW(mainBar, "Primitives step [t/g]", t.vec2i, &s.primStep,
               "help='Space in pixels between two primitives positions'");
    TwAddVarRW(mainBar, "Primitives redraw", TW_TYPE_INT32, &s.primRedrawCount, "");
    TwEnumVal reps[] = {{0, "Primitive"}, {1, "Tiles"}, {2, "Frame"}};
    t.repPrim = TwDefineEnum("repPrim", reps, 3);
    TwAddVarRW(mainBar, "Primitive redraw mode", t.repPrim, &s.repPrim,
               "help='Chose the type of thing to redraw'");
    TwAddVarRW(mainBar, "All on one pixel", TW_TYPE_BOOLCPP, &s.allOnOnePixel,
               "help='All primitives of a configuration are drawn on the same point'");
    TwAddVarRW(mainBar, "Draw call per primitive", TW_TYPE_BOOLCPP, &s.drawCallPerPrimitive,
               "help='Will use a different draw call for each primitive'");
    TwAddVarRW(mainBar, "Big triangle [c]", TW_TYPE_BOOLCPP, &s.bigTriangle,
               "help='Draw a a fully clipped triangle in big primitive mode'");
    TwAddVarRW(mainBar, "Control big primitive [<]", TW_TYPE_BOOLCPP, &s.controlBigPrimitive,
               "help='Control vertices of the primitive in big primitive mode'");

    TwBar* freezeBar = TwNewBar("FreezyPoints");
    TwDefine(" FreezyPoints position='350 0' size='200 300' fontSize='1'  valuesWidth='80' ");
    TwAddVarRW(freezeBar, "Pixels Blocking [b]", TW_TYPE_BOOLCPP, &s.blockingEnable, "");
    TwAddVarRW(freezeBar, "Use reg. saturation", TW_TYPE_BOOLCPP, &s.useRegSaturation, "");
    TwAddVarRW(freezeBar, "Num shader regs.", TW_TYPE_INT32, &s.numShaderRegs, "");
    TwAddVarRO(freezeBar, "Current Point", TW_TYPE_INT32, &s.curFreezePoint, "");
    TwAddVarRW(freezeBar, "Slowdown loop cycles [u/j] (Increment [U/J])", TW_TYPE_INT32,
               &s.loopsCount.x, "help='Number of cycles of the slowdown loop for freezing pixels'");
    TwEnumVal moves[] = {{0, "Window"}, {1, "Freeze points"}};
    t.moveMode = TwDefineEnum("moveMode", moves, 2);
    TwAddVarRW(freezeBar, "Keyboard move ctrl.", t.moveMode, &s.moveMode, " ");
    TwStructMember point[] = {{"PosX", TW_TYPE_INT32, offsetof(Point, PosX), intLimits},
                              {"PosY", TW_TYPE_INT32, offsetof(Point, PosY), intLimits},
                              {"SizeX", TW_TYPE_INT32, offsetof(Point, SizeX), intLimits},
                              {"SizeY", TW_TYPE_INT32, offsetof(Point, SizeY), intLimits}};
    t.point = TwDefineStruct("Point", point, 4, sizeof(Point), nullptr, nullptr);
    for (int i = 0; i < 4; ++i) {
        s.freezePointIds[i] = i;
        TwAddSeparator(freezeBar, indexed("Point ", i).c_str(), "");
        TwAddVarRW(freezeBar, indexed("Enable P", i).c_str(), TW_TYPE_BOOLCPP,
                   &s.freezePointEnabled[i], "");
        TwAddVarRW(freezeBar, indexed("Parameters P", i).c_str(), t.point, &s.freezePoints[i], "");
        TwAddButton(freezeBar, indexed("Unit Size P", i).c_str(), unitSizeButton,
                    &s.freezePointIds[i], "");
    }
    return t;
}

} // namespace tweakbartest
