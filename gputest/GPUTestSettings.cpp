// The table of the test's settings, and their registration by name from it.
#include "GPUTestSettings.h"

#include <utility>

#include "GLAppGPUTest.h"

namespace {

using Vellumar::measure::SettingRegistry;

SettingRow row(std::string name, SettingShape shape, void* member) {
    SettingRow result;
    result.name = std::move(name);
    result.shape = shape;
    result.member = member;
    return result;
}

SettingRow integer(std::string name, int32_t& member) {
    return row(std::move(name), SettingShape::integer, &member);
}

SettingRow boolean(std::string name, bool& member) {
    return row(std::move(name), SettingShape::boolean, &member);
}

SettingRow flag(std::string name, int32_t& member) {
    return row(std::move(name), SettingShape::flag, &member);
}

SettingRow enumeration(std::string name, int32_t& member, std::vector<TwEnumVal> values) {
    SettingRow result = row(std::move(name), SettingShape::enumeration, &member);
    result.values = std::move(values);
    return result;
}

SettingRow pair(std::string name, Vec2i& member) {
    return row(std::move(name), SettingShape::pair, &member);
}

SettingRow point(std::string name, Point& member) {
    return row(std::move(name), SettingShape::point, &member);
}

std::string indexed(const char* name, int index) {
    return std::string(name) + "[" + std::to_string(index) + "]";
}

std::vector<int32_t> valuesOf(const SettingRow& row) {
    std::vector<int32_t> values;
    for (const TwEnumVal& value : row.values) {
        values.push_back(value.Value);
    }
    return values;
}

void registerRow(const SettingRow& row, SettingRegistry& registry) {
    auto* integerMember = static_cast<int32_t*>(row.member);
    switch (row.shape) {
    case SettingShape::integer: registry.addInteger(row.name, integerMember); break;
    case SettingShape::boolean:
        registry.addBoolean(row.name, static_cast<bool*>(row.member));
        break;
    case SettingShape::flag: registry.addEnumeration(row.name, integerMember, {0, 1}); break;
    case SettingShape::enumeration:
        registry.addEnumeration(row.name, integerMember, valuesOf(row));
        break;
    case SettingShape::pair: {
        auto* vector = static_cast<Vec2i*>(row.member);
        registry.addInteger(row.name + ".x", &vector->x);
        registry.addInteger(row.name + ".y", &vector->y);
        break;
    }
    case SettingShape::point: {
        auto* rectangle = static_cast<Point*>(row.member);
        registry.addInteger(row.name + ".PosX", &rectangle->PosX);
        registry.addInteger(row.name + ".PosY", &rectangle->PosY);
        registry.addInteger(row.name + ".SizeX", &rectangle->SizeX);
        registry.addInteger(row.name + ".SizeY", &rectangle->SizeY);
        break;
    }
    }
}

} // namespace

SettingRow& SettingRow::startingAt(std::array<int32_t, 4> value) {
    start = value;
    return *this;
}

SettingRow& SettingRow::inBar(BarId id, int place, std::string label, const char* definition) {
    bar = {id, place, std::move(label), definition, false};
    return *this;
}

SettingRow& SettingRow::shownInBar(BarId id, int place, std::string label) {
    bar = {id, place, std::move(label), "", true};
    return *this;
}

SettingRow& SettingRow::unnamed() {
    named = false;
    return *this;
}

std::vector<SettingRow> settingTable(GLAppGPUTest& app) {
    const BarId mainOptions = BarId::mainOptions;
    const BarId freezyPoints = BarId::freezyPoints;
    std::vector<SettingRow> rows;
    rows.push_back(enumeration("curTest", app.curTest,
                               {{TEST_BIG_PRIMITIVE, "Big prim."},
                                {TEST_SMALL_PRIMITIVES, "Small primitives"}})
                       .startingAt({TEST_BIG_PRIMITIVE})
                       .inBar(mainOptions, 2, "Active Test [a]",
                              " keyIncr='a' keyDecr='A' help='Change object shape.' "));
    rows.push_back(enumeration("curPrim", app.curPrim,
                               {{PRIM_QUADS, "Quads"},
                                {PRIM_TRIANGLES, "Triangles"},
                                {PRIM_LINES, "Lines"},
                                {PRIM_POINTS, "Points"}})
                       .startingAt({PRIM_QUADS})
                       .inBar(mainOptions, 3, "Primitive type", " "));
    // Each bar shows one of the two; both start at twice loopsIncrement.
    rows.push_back(integer("loopsCount.x", app.loopsCount.x)
                       .inBar(freezyPoints, 5, "Slowdown loop cycles [u/j] (Increment [U/J])",
                              "help='Number of cycles of the slowdown loop for freezing pixels'"));
    rows.push_back(integer("loopsCount.y", app.loopsCount.y)
                       .inBar(mainOptions, 4, "Slowdown loop cycles std [i/k] (Increment [I/K])",
                              "help='Number of cycles of the slowdown loop for standard pixels'"));
    rows.push_back(pair("loopsIncrement", app.loopsIncrement).startingAt({1000000, 100000}));
    rows.push_back(pair("primTilingSize", app.primTilingSize)
                       .startingAt({32, 32})
                       .inBar(mainOptions, 5, "Primitives tilling size [y/h]",
                              "help='Size of primitives tilling'"));
    rows.push_back(integer("primTilingIncrement", app.primTilingIncrement).startingAt({1}));
    rows.push_back(pair("primStep", app.primStep)
                       .startingAt({8, 8})
                       .inBar(mainOptions, 7, "Primitives step [t/g]",
                              "help='Space in pixels between two primitives positions'"));
    rows.push_back(
        pair("primSize", app.primSize)
            .startingAt({8, 8})
            .inBar(mainOptions, 6, "Primitives size", "help='Size in pixels of each primitives'"));
    rows.push_back(integer("primRedrawCount", app.primRedrawCount)
                       .startingAt({1})
                       .inBar(mainOptions, 8, "Primitives redraw"));
    rows.push_back(
        enumeration(
            "repPrim", app.repPrim,
            {{REDRAW_PRIMITIVE, "Primitive"}, {REDRAW_TILES, "Tiles"}, {REDRAW_FRAME, "Frame"}})
            .startingAt({REDRAW_PRIMITIVE})
            .inBar(mainOptions, 9, "Primitive redraw mode",
                   "help='Chose the type of thing to redraw'"));
    // The check box stores 1 or 0 in the low byte of the 32-bit flag.
    rows.push_back(
        flag("allOnOnePixel", app.allOnOnePixel)
            .startingAt({0})
            .inBar(mainOptions, 10, "All on one pixel",
                   "help='All primitives of a configuration are drawn on the same point'"));
    rows.push_back(boolean("drawCallPerPrimitive", app.drawCallPerPrimitive)
                       .startingAt({false})
                       .inBar(mainOptions, 11, "Draw call per primitive",
                              "help='Will use a different draw call for each primitive'"));
    rows.push_back(boolean("blockingEnable", app.blockingEnable)
                       .startingAt({true})
                       .inBar(freezyPoints, 1, "Pixels Blocking [b]"));
    rows.push_back(boolean("fastMode", app.fastMode)
                       .startingAt({true})
                       .inBar(mainOptions, 1, "Fast Mode [TAB]"));
    rows.push_back(boolean("bigTriangle", app.bigTriangle)
                       .startingAt({false})
                       .inBar(mainOptions, 12, "Big triangle [c]",
                              "help='Draw a a fully clipped triangle in big primitive mode'"));
    rows.push_back(boolean("useRegSaturation", app.useRegSaturation)
                       .startingAt({false})
                       .inBar(freezyPoints, 2, "Use reg. saturation"));
    // The register count sizes an array in the shader: fewer than one
    // would not compile, and thousands keep the compiler busy for minutes.
    rows.push_back(integer("numShaderRegs", app.numShaderRegs)
                       .startingAt({20})
                       .inBar(freezyPoints, 3, "Num shader regs.", " min=1 max=256 "));
    for (int i = 0; i < 4; ++i) {
        rows.push_back(boolean(indexed("freezePointEnabled", i), app.freezePointEnabled[i])
                           .startingAt({i == 0})
                           .inBar(BarId::pointGroup, i, indexedName("Enable P", i)));
        rows.push_back(point(indexed("freezePoints", i), app.freezePoints[i])
                           .startingAt({0, 0, 1, 1})
                           .inBar(BarId::pointGroup, i, indexedName("Parameters P", i)));
    }
    // They start on the window's corners.
    for (int i = 0; i < 4; ++i) {
        rows.push_back(pair(indexed("bigPrimVertices", i), app.bigPrimVertices[i]));
    }
    rows.push_back(pair("winPos", app.winPos).startingAt({512, 512}));
    rows.push_back(pair("winSize", app.winSize).startingAt({512, 512}));
    // The help text promises the frame time on the console; d turns it off.
    rows.push_back(boolean("printStats", app.printStats).startingAt({true}));

    rows.push_back(boolean("controlBigPrimitive", app.controlBigPrimitive)
                       .unnamed()
                       .startingAt({false})
                       .inBar(mainOptions, 13, "Control big primitive [<]",
                              "help='Control vertices of the primitive in big primitive mode'"));
    rows.push_back(integer("curFreezePoint", app.curFreezePoint)
                       .unnamed()
                       .startingAt({0})
                       .shownInBar(freezyPoints, 4, "Current Point"));
    rows.push_back(enumeration("moveMode", app.moveMode,
                               {{MOVE_WINDOW, "Window"}, {MOVE_FREEZE_POINTS, "Freeze points"}})
                       .unnamed()
                       .startingAt({MOVE_FREEZE_POINTS})
                       .inBar(freezyPoints, 6, "Keyboard move ctrl.", " "));
    return rows;
}

void registerSettings(GLAppGPUTest& app, SettingRegistry& registry) {
    for (const SettingRow& row : settingTable(app)) {
        if (row.named) {
            registerRow(row, registry);
        }
    }
}
