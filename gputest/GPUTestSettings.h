// The test's settings by name, for the command line, sweeps and settings
// files: which members of GLAppGPUTest a run may set, and what each accepts.
// Enumerations take the values of TestEnums.h; the other integers take any
// 32-bit value, as the keys do.
//
// The registry writes the members only: after applying winPos or winSize the
// caller moves or resizes the window itself (reshapeWindow), and changes of
// macros reach the shader at the next frame as they do from the keys.
#pragma once

#include "SettingRegistry.h"

class GLAppGPUTest;

// Registers, in this order: curTest, curPrim, loopsCount, loopsIncrement,
// primTilingSize, primTilingIncrement, primStep, primSize, primRedrawCount,
// repPrim, allOnOnePixel, drawCallPerPrimitive, blockingEnable, fastMode,
// bigTriangle, useRegSaturation, numShaderRegs, then for each freeze point i
// freezePointEnabled[i] and freezePoints[i].PosX/.PosY/.SizeX/.SizeY, then
// bigPrimVertices[i].x/.y, winPos, winSize and printStats. Pairs register as
// NAME.x and NAME.y, so that NAME is a group that takes both.
void registerSettings(GLAppGPUTest& app, Vellumar::measure::SettingRegistry& registry);
