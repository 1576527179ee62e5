// The program's whole tweak-bar interface, built with the same calls,
// strings and layouts as its initialisation, bound to a stand-in for the
// test object's settings.
#pragma once

#include "TweakBar.h"

namespace tweakbartest {

struct Vec2i {
    int x, y;
};
struct Vec2f {
    float x, y;
};
struct Point {
    int PosX, PosY, SizeX, SizeY;
};

struct ProgramSettings {
    bool fastMode = true;
    int curTest = 0;
    int curPrim = 7;
    Vec2i loopsCount{2000000, 200000};
    Vec2i primTilingSize{32, 32};
    Vec2i primSize{8, 8};
    Vec2i primStep{8, 8};
    int primRedrawCount = 1;
    int repPrim = 0;
    int allOnOnePixel = 0;
    bool drawCallPerPrimitive = false;
    bool bigTriangle = false;
    bool controlBigPrimitive = false;
    bool blockingEnable = true;
    bool useRegSaturation = false;
    int numShaderRegs = 20;
    int curFreezePoint = 0;
    int moveMode = 1;
    int freezePointIds[4] = {};
    bool freezePointEnabled[4] = {true, false, false, false};
    Point freezePoints[4] = {{0, 0, 1, 1}, {0, 0, 1, 1}, {0, 0, 1, 1}, {0, 0, 1, 1}};
    int unitSizePresses[4] = {};
};

struct ProgramTypes {
    TwType curTest, curPrim, repPrim, moveMode, vec2f, vec2i, vec4i, point;
};

// Builds the global help, MainOptions and FreezyPoints after TwInit; the
// "Unit Size P" buttons count their presses in settings.unitSizePresses.
ProgramTypes buildProgramBars(ProgramSettings& settings);

} // namespace tweakbartest
