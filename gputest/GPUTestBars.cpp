// The tweak-bar interface of the test: the global help text and the bars
// MainOptions and FreezyPoints, whose entries come from the settings table;
// the read-only Statistics bar comes with the frame measurements, the Capture
// bar with the capture session's view (CaptureView.cpp).
#include <algorithm>
#include <cstddef>
#include <limits>
#include <vector>

#include "GLAppGPUTest.h"
#include "GLHeaders.h"
#include "GPUTestSettings.h"
#include "TweakBar.h"

namespace {

// Shown by the bars' help button; \t and \n belong to the text.
const char* const globalHelp =
    " GLOBAL help='This Tazzle Glintmoth has been made to allow deep looking into GPUs "
    "rasterisation and fragments scheduling among computing ressources.\t\t\n"
    "\n"
    " Use the [space bar] to switch between test mode and configuration mode.\n"
    " In test mode, you can enable slow down mode by pressing [TAB].\t\t\n"
    " Total rendering time of a frame is displayed in the console window as the loops control "
    "configuration.\t\t\n"
    " Activated freezing pixels can be controled by mouse. Dragging red pixels with left mouse "
    "button will set the position, the right button will set its size. Use [b] or the interface "
    "button to disable freezing.\t\t\n"
    " You can switch between a Pixel keyboard control mode (controling active freezing pixel) and "
    "a Window keyboard control mode (controling window position) pressing [END].\t\t\n"
    " In each mode, position and size can be controled precisely by keyboard through the [LEFT], "
    "[RIGHT], [TOP], [BOTTOM] directions keys for position and [INSERT], [HOME], [PAGE UP], [PAGE "
    "DOWN] for size.\t\t\n"
    " You can switch between a large space filling primitive and a multiple primitives modes "
    "pressing [a].\t\t\n"
    " Drawn primitives can be chosen fron the interface in config mode.\t\t\n"
    " Normal fragments and freezed fragments speed can be changed within each configuration bar "
    "through the number of loop cycles entry.' ";

// The struct types bound by the bars; every member gets the same limits.
const char* const vec2fMemberDefinition = " Min=-1 Max=1 Step=0.01 ";
const char* const intMemberDefinition = " Min=0 Max=2048 Step=1 ";

constexpr int lastPlace = std::numeric_limits<int>::max();

// The struct types that pairs and points are shown with, once defined.
struct StructTypes {
    TwType pair = TW_TYPE_UNDEF;
    TwType point = TW_TYPE_UNDEF;
};

TwType barType(const SettingRow& row, const StructTypes& types) {
    switch (row.shape) {
    case SettingShape::integer: return TW_TYPE_INT32;
    case SettingShape::boolean:
    case SettingShape::flag: return TW_TYPE_BOOLCPP;
    case SettingShape::enumeration:
        // Defined just before its entry, under the setting's name.
        return TwDefineEnum(row.name.c_str(), row.values.data(),
                            static_cast<unsigned int>(row.values.size()));
    case SettingShape::pair: return types.pair;
    case SettingShape::point: return types.point;
    }
    return TW_TYPE_UNDEF;
}

// Adds the table's rows of one bar whose places lie in [first, last]: by
// place, rows of one place in table order.
void addRows(TwBar* bar, const std::vector<SettingRow>& table, BarId id, int first, int last,
             const StructTypes& types) {
    std::vector<const SettingRow*> rows;
    for (const SettingRow& row : table) {
        if (row.bar.bar == id && row.bar.place >= first && row.bar.place <= last) {
            rows.push_back(&row);
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const SettingRow* a, const SettingRow* b) {
        return a->bar.place < b->bar.place;
    });
    for (const SettingRow* row : rows) {
        const TwType type = barType(*row, types);
        if (row->bar.readOnly) {
            TwAddVarRO(bar, row->bar.label.c_str(), type, row->member, row->bar.definition);
        } else {
            TwAddVarRW(bar, row->bar.label.c_str(), type, row->member, row->bar.definition);
        }
    }
}

} // namespace

void GLAppGPUTest::buildTweakBars() {
    TwInit(TW_OPENGL, NULL);
    TwWindowSize(windowWidth, windowHeight);
    TwGLUTModifiersFunc(glutGetModifiers);
    TwDefine(globalHelp);
    buildMainOptionsBar();
    buildFreezyPointsBar();
    measurements.buildStatisticsBar();
    // Hidden until a capture is shown; then in the Statistics bar's place:
    // the live frames it sums up stop meanwhile.
    captureSession.buildBar("Statistics");
}

void GLAppGPUTest::buildMainOptionsBar() {
    const std::vector<SettingRow> table = settingTable(*this);
    mainBar = TwNewBar("MainOptions");
    TwDefine(" MainOptions position='350 300' size='250 260' fontSize='1'");
    TwDefine(" MainOptions help='Get help clicking on the bottom left help icon.' ");
    addRows(mainBar, table, BarId::mainOptions, 1, 3, {});

    const TwStructMember vec2fMembers[] = {
        {"x", TW_TYPE_FLOAT, offsetof(Vec2f, x), vec2fMemberDefinition},
        {"y", TW_TYPE_FLOAT, offsetof(Vec2f, y), vec2fMemberDefinition}};
    TwDefineStruct("Vec2f", vec2fMembers, 2, sizeof(Vec2f), NULL, NULL);
    const TwStructMember vec2iMembers[] = {
        {"x", TW_TYPE_INT32, offsetof(Vec2i, x), intMemberDefinition},
        {"y", TW_TYPE_INT32, offsetof(Vec2i, y), intMemberDefinition}};
    TwType vec2iType = TwDefineStruct("Vec2i", vec2iMembers, 2, sizeof(Vec2i), NULL, NULL);
    // Four int32 in a row; no member of the test has this type.
    const TwStructMember vec4iMembers[] = {{"x", TW_TYPE_INT32, 0, intMemberDefinition},
                                           {"y", TW_TYPE_INT32, 4, intMemberDefinition},
                                           {"z", TW_TYPE_INT32, 8, intMemberDefinition},
                                           {"w", TW_TYPE_INT32, 12, intMemberDefinition}};
    TwDefineStruct("Vec4i", vec4iMembers, 4, 16, NULL, NULL);

    addRows(mainBar, table, BarId::mainOptions, 4, lastPlace, {vec2iType, TW_TYPE_UNDEF});
    // What the next frame asks for, worked out before it starts: a frame of
    // billions of primitives or pixel cycles takes hours.
    TwAddVarRO(mainBar, "Frame primitives", TW_TYPE_DOUBLE, &frameWork.primitives,
               "help='Primitives the next frame sends, redraws included'");
    TwAddVarRO(mainBar, "Frame loop cycles", TW_TYPE_DOUBLE, &frameWork.pixelCycles,
               "help='Slowdown loop cycles the next frame runs over all its pixels'");
}

void GLAppGPUTest::buildFreezyPointsBar() {
    const std::vector<SettingRow> table = settingTable(*this);
    freezeBar = TwNewBar("FreezyPoints");
    TwDefine(" FreezyPoints position='350 0' size='200 300' fontSize='1'  valuesWidth='80' ");
    addRows(freezeBar, table, BarId::freezyPoints, 1, lastPlace, {});

    const TwStructMember pointMembers[] = {
        {"PosX", TW_TYPE_INT32, offsetof(Point, PosX), intMemberDefinition},
        {"PosY", TW_TYPE_INT32, offsetof(Point, PosY), intMemberDefinition},
        {"SizeX", TW_TYPE_INT32, offsetof(Point, SizeX), intMemberDefinition},
        {"SizeY", TW_TYPE_INT32, offsetof(Point, SizeY), intMemberDefinition}};
    TwType pointType = TwDefineStruct("Point", pointMembers, 4, sizeof(Point), NULL, NULL);

    for (int i = 0; i < 4; ++i) {
        freezePointIds[i] = i;
        TwAddSeparator(freezeBar, indexedName("Point ", i).c_str(), "");
        addRows(freezeBar, table, BarId::pointGroup, i, i, {TW_TYPE_UNDEF, pointType});
        TwAddButton(freezeBar, indexedName("Unit Size P", i).c_str(), unitSizeButtonCallback,
                    &freezePointIds[i], "");
    }
}
