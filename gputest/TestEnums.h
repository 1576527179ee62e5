// The values of the test's four enumerated settings, for the code that acts
// on them. Each setting lives in an int32 member; which values it takes, with
// their labels in the tweak bars, is the settings table's (GPUTestSettings.cpp).
#pragma once

#include <cstdint>

// curTest: which test a frame runs.
enum CurTestValue : int32_t {
    TEST_BIG_PRIMITIVE = 0,
    TEST_SMALL_PRIMITIVES = 1
};

// curPrim: the OpenGL primitive mode of the small-primitives test.
enum CurPrimValue : int32_t {
    PRIM_POINTS = 0,
    PRIM_LINES = 1,
    PRIM_TRIANGLES = 4,
    PRIM_QUADS = 7
};

// repPrim: what the small-primitives test redraws primRedrawCount times.
enum RepPrimValue : int32_t {
    REDRAW_PRIMITIVE = 0,
    REDRAW_TILES = 1,
    REDRAW_FRAME = 2
};

// moveMode: what the arrow and page keys control.
enum MoveModeValue : int32_t {
    MOVE_WINDOW = 0,
    MOVE_FREEZE_POINTS = 1
};
