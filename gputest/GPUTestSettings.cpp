// Interaction state (the mode, the current freeze point or corner, the
// pressed buttons, full screen) is left out: it steers the keys and the
// mouse, not what a frame measures.
#include "GPUTestSettings.h"

#include <string>

#include "GLAppGPUTest.h"

namespace {

using Vellumar::measure::SettingRegistry;

void addPair(SettingRegistry& registry, const std::string& name, Vec2i& pair) {
    registry.addInteger(name + ".x", &pair.x);
    registry.addInteger(name + ".y", &pair.y);
}

std::string indexed(const char* name, int index) {
    return std::string(name) + "[" + std::to_string(index) + "]";
}

} // namespace

void registerSettings(GLAppGPUTest& app, SettingRegistry& registry) {
    registry.addEnumeration("curTest", &app.curTest, {TEST_BIG_PRIMITIVE, TEST_SMALL_PRIMITIVES});
    registry.addEnumeration("curPrim", &app.curPrim,
                            {PRIM_POINTS, PRIM_LINES, PRIM_TRIANGLES, PRIM_QUADS});
    addPair(registry, "loopsCount", app.loopsCount);
    addPair(registry, "loopsIncrement", app.loopsIncrement);
    addPair(registry, "primTilingSize", app.primTilingSize);
    registry.addInteger("primTilingIncrement", &app.primTilingIncrement);
    addPair(registry, "primStep", app.primStep);
    addPair(registry, "primSize", app.primSize);
    registry.addInteger("primRedrawCount", &app.primRedrawCount);
    registry.addEnumeration("repPrim", &app.repPrim,
                            {REDRAW_PRIMITIVE, REDRAW_TILES, REDRAW_FRAME});
    // An int32 that the keys and the bar only ever set to 0 or 1.
    registry.addEnumeration("allOnOnePixel", &app.allOnOnePixel, {0, 1});
    registry.addBoolean("drawCallPerPrimitive", &app.drawCallPerPrimitive);
    registry.addBoolean("blockingEnable", &app.blockingEnable);
    registry.addBoolean("fastMode", &app.fastMode);
    registry.addBoolean("bigTriangle", &app.bigTriangle);
    registry.addBoolean("useRegSaturation", &app.useRegSaturation);
    registry.addInteger("numShaderRegs", &app.numShaderRegs);
    for (int i = 0; i < 4; ++i) {
        registry.addBoolean(indexed("freezePointEnabled", i), &app.freezePointEnabled[i]);
        const std::string point = indexed("freezePoints", i) + ".";
        registry.addInteger(point + "PosX", &app.freezePoints[i].PosX);
        registry.addInteger(point + "PosY", &app.freezePoints[i].PosY);
        registry.addInteger(point + "SizeX", &app.freezePoints[i].SizeX);
        registry.addInteger(point + "SizeY", &app.freezePoints[i].SizeY);
    }
    for (int i = 0; i < 4; ++i) {
        addPair(registry, indexed("bigPrimVertices", i), app.bigPrimVertices[i]);
    }
    addPair(registry, "winPos", app.winPos);
    addPair(registry, "winSize", app.winSize);
    registry.addBoolean("printStats", &app.printStats);
}
