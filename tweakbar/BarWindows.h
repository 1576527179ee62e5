// Submits the visible bars, each an ImGui window of entry rows with a help
// button at its bottom left, and the help window, to the current ImGui
// frame. Keeps each bar inside the display.
#pragma once

#include <string>
#include <vector>

#include "KeyboardShortcuts.h"
#include "Registry.h"
#include "ScreenRect.h"

namespace tweakbar {

class BarWindows {
public:
    void build(Registry& registry, float displayWidth, float displayHeight,
               std::vector<ButtonPress>& pressed);
    void reset();

    // The help window as last laid out; width 0 while it is closed.
    const ScreenRect& helpWindowRect() const { return helpRect_; }

private:
    void bar(TwBar& bar, const TypeRegistry& types, float displayWidth, float displayHeight,
             std::vector<ButtonPress>& pressed);
    void helpWindow(float displayWidth, float displayHeight);
    // The help text, gathered when the window opens so that drawing it
    // costs no allocation.
    void gatherHelp(const Registry& registry);

    struct HelpLine {
        bool heading;
        std::string text;
    };
    bool helpOpen_ = false;
    std::vector<HelpLine> helpLines_;
    ScreenRect helpRect_;
};

} // namespace tweakbar
