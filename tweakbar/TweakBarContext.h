// The state behind the Tw* calls, which TweakBar.cpp runs: the registry, the
// ImGui context, what the last frame showed, and the forwarded GLUT buttons.
// The probe reads it too.
//
// Implements: state only. Refuses: nothing.
#pragma once

#include <chrono>
#include <vector>

#include "BarWindows.h"
#include "Registry.h"

struct ImGuiContext;

namespace Vellumar::tweakbar {

struct TweakBarContext {
    static constexpr int buttonSlots = 8;

    // Never destroyed: the GL context may be gone when the process ends.
    static TweakBarContext& instance() {
        static TweakBarContext* context = new TweakBarContext();
        return *context;
    }

    ImGuiContext* imgui = nullptr; // null before TwInit
    Registry registry;
    HelpWindow help;
    int width = 0;
    int height = 0;
    int (*modifiers)() = nullptr;
    std::chrono::steady_clock::time_point lastFrame;
    bool inFrame = false;
    bool callingButtons = false;
    unsigned long settledChanges = 0; // the registry's changes the layout last settled
    std::vector<ButtonPress> pressed; // buttons clicked in frames, called after them
    bool held[buttonSlots] = {};      // GLUT buttons down
    bool heldByBar[buttonSlots] = {}; // ... whose press a bar took
};

} // namespace Vellumar::tweakbar
