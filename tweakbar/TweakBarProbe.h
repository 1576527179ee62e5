// A read-only view of what the program built with the tweak-bar calls, for
// tests and benchmarks only (the tweakbar_probe library; the layer itself
// never includes it): bars, their entries in order, types, bound addresses,
// help texts, and where the last frame laid things out. TwInit starts
// everything over, so a test can begin with it. Texts and pointers handed out
// stay valid until the next TwInit.
//
// Implements: reading only. Refuses: nothing; unknown names give empty answers.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Registry.h"
#include "TweakBar.h"

using TwEntryKind = Vellumar::tweakbar::EntryKind;

struct TwEntryInfo {
    TwEntryKind kind;
    std::string label;
    TwType type;            // TW_TYPE_UNDEF for separators, buttons, plots and ramps
    const void* address;    // the bound variable, PlotData or RampData; null otherwise
    std::string definition; // the definition string as given
    std::string help;
    TwButtonCallback callback; // buttons only
    void* clientData;          // buttons only
};

struct TwBarInfo {
    std::string name;
    bool visible;
    bool iconified;          // folded to the title line, as defined or as the user left it
    int x, y, width, height; // position and size as last defined, window pixels
    std::string help;
    std::vector<TwEntryInfo> entries;
};

// A snapshot of the bar; empty when no bar of that name exists.
std::optional<TwBarInfo> TwInspectBar(const char* barName);
std::vector<std::string> TwInspectBarNames();
std::string TwInspectGlobalHelp();

// Name of a type made by TwDefineEnum or TwDefineStruct ("" for others).
std::string TwInspectTypeName(TwType type);
// (value, label) pairs of an enumeration type in declared order.
std::vector<TwEnumVal> TwInspectEnumValues(TwType type);
// Members of a struct type with their offsets and definition strings.
std::vector<TwStructMember> TwInspectStructMembers(TwType type);
size_t TwInspectStructSize(TwType type);

// Where the last frame (drawn, or run for an event) laid things out, in
// window pixels from the top-left, so that a test can point at them. Empty
// when the thing was not shown.
struct TwRect {
    int x, y, width, height;
};
std::optional<TwRect> TwInspectDrawnBar(const char* barName);
// The value widget of an entry (the whole line of a separator or button);
// with item, the widget of that struct member (the group must be open) or
// that label's line in the open list of an enumeration.
std::optional<TwRect> TwInspectDrawnEntry(const char* barName, const char* label,
                                          const char* item = nullptr);
// An entry's label as laid out, and the room its line gives it (up to the
// value column, or the whole line of a separator or button).
struct TwDrawnLabel {
    TwRect text;
    TwRect room;
};
std::optional<TwDrawnLabel> TwInspectDrawnLabel(const char* barName, const char* label);
std::optional<TwRect> TwInspectDrawnHelpButton(const char* barName);
std::optional<TwRect> TwInspectDrawnHelpWindow();
