// Submits the visible bars to the current ImGui frame, each a window of entry
// rows with a help button at its bottom left, and the help window. Reads
// every bound value as it draws and writes a value the moment it is edited.
//
// Implements: rows of a label wrapped inside its room, so it reads whole, and
//   a value in a column valuesWidth wide (a share of the bar by default):
//   checkboxes, drag fields for int32 and float, a slider snapped to its step
//   for a float with both limits, combo lists for enumerations, collapsible
//   member rows for structs, read-only values disabled (doubles as numbers,
//   strings as wrapped text), full-width buttons, labelled separators, plots
//   and colour ramps across the bar, help as
//   tooltips and in the help window, fontSize, bars placed and kept inside.
// Refuses nothing: the registry let in only what is drawn here.
#pragma once

#include <string>
#include <vector>

#include "Registry.h"

namespace Vellumar::tweakbar {

struct HelpWindow {
    struct Line {
        bool heading;
        std::string text;
    };
    bool open = false;
    std::vector<Line> lines; // gathered when it opens, so drawing it allocates nothing
    ScreenRect rect;         // as last laid out; width 0 while closed
};

// The help window of the Tw* calls (TweakBar.cpp keeps it).
const HelpWindow& tweakBarHelpWindow();

// Clicked buttons join pressed, to be called after the frame.
void buildBars(const Registry& registry, float displayWidth, float displayHeight, HelpWindow& help,
               std::vector<ButtonPress>& pressed);

} // namespace Vellumar::tweakbar
