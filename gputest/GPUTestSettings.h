// The test's settings, each described once in one table: its name, the
// member of GLAppGPUTest that holds it, how that member is stored, its start
// value, an enumeration's values with their labels, and its entry in the
// tweak bars. The settings by name (command line, settings files, sweeps and
// --help), the start values and the bars all read the table, so none of them
// can disagree with another about a setting.
//
// The registry writes the members only: after applying winPos or winSize the
// caller moves or resizes the window itself (reshapeWindow), and changes of
// macros reach the shader at the next frame as they do from the keys.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SettingRegistry.h"
#include "TweakBar.h"

class GLAppGPUTest;

// How a setting's member is stored: this decides how it is named, which
// values it takes by name and how a bar shows it.
enum class SettingShape {
    integer,     // an int32 that takes any 32-bit value, as the keys do
    boolean,     // a bool
    flag,        // an int32 the keys set to 0 or 1, shown in a bar as a check box
    enumeration, // an int32 holding one of the row's values
    pair,        // a Vec2i, named NAME.x and NAME.y
    point        // a Point, named NAME.PosX, NAME.PosY, NAME.SizeX and NAME.SizeY
};

enum class BarId {
    none,
    mainOptions,
    freezyPoints,
    // The group of one freeze point in FreezyPoints, between the point's
    // separator and its "Unit Size P" button.
    pointGroup
};

struct BarEntry {
    BarId bar = BarId::none;
    // A bar's rows go in by place, rows of one place in table order; in a
    // point group the place is the point's index.
    int place = 0;
    std::string label;
    const char* definition = "";
    bool readOnly = false;
};

struct SettingRow {
    std::string name;
    SettingShape shape = SettingShape::integer;
    void* member = nullptr;
    // Reached by name. Interaction state (the mode of the keys, the current
    // freeze point) stands in the table for its bar entry only: it steers the
    // keys and the mouse, not what a frame measures.
    bool named = true;
    // An enumeration's values with their labels, in the order a bar offers them.
    std::vector<TwEnumVal> values;
    // The start value, one number per int32 or bool of the member; none where
    // setStartValues works it out from other values.
    std::optional<std::array<int32_t, 4>> start;
    BarEntry bar;

    // The table's way of writing a row: what it adds to the shape and member.
    SettingRow& startingAt(std::array<int32_t, 4> value);
    SettingRow& inBar(BarId id, int place, std::string label, const char* definition = "");
    SettingRow& shownInBar(BarId id, int place, std::string label);
    SettingRow& unnamed();
};

// Every setting of `app`, bound to its members: first the named ones in the
// order of the settings by name (the settings file's keys, the --help list,
// the sweep columns), then the interaction state that has a bar entry.
std::vector<SettingRow> settingTable(GLAppGPUTest& app);

// Registers the named rows of the table, in table order; a pair or a point as
// its int32 members (NAME.x, NAME.y; NAME.PosX, ...), so that NAME is a group
// that takes them all.
void registerSettings(GLAppGPUTest& app, Vellumar::measure::SettingRegistry& registry);
