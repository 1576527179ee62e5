// The one tweak-bar context behind the Tw* calls: the registry of bars and
// types, the ImGui context, and the routing of forwarded GLUT events.
//
// Every forwarded mouse event, and every key typed into a field being
// edited, runs one ImGui frame at once (without drawing), so the widgets see
// each press, release, key and motion in order, however long the program's
// own frames take, and the answer of each event call is known inside it.
// TwDraw runs one more frame and draws it.
#pragma once

#include <chrono>
#include <vector>

#include "BarWindows.h"
#include "KeyboardShortcuts.h"
#include "Registry.h"
#include "ScreenRect.h"

struct ImGuiContext;

namespace tweakbar {

class TweakBarContext {
public:
    static TweakBarContext& instance();

    // Starts over: no bars, no types, a fresh ImGui context.
    void start();
    bool started() const { return imgui_ != nullptr; }

    Registry& registry() { return registry_; }
    const BarWindows& windows() const { return windows_; }

    void setWindowSize(int width, int height);
    void setModifiersFunction(int (*modifiers)()) { modifiers_ = modifiers; }

    void draw();
    bool keyboard(unsigned char key);
    bool mouseButton(int button, int state, int x, int y);
    bool mouseMotion(int x, int y);

private:
    TweakBarContext() = default;

    bool ready() const { return imgui_ != nullptr && width_ > 0 && height_ > 0; }
    void frame(bool render);
    // ImGui settles a new table's columns in its second frame: after a
    // change of bars or window size, one frame without input first.
    void settleLayout();
    bool editingText() const;
    void collectHitRects();
    void callPressedButtons();
    bool overBar(float x, float y) const;
    void readModifiers();
    void typeKey(unsigned char key);

    static constexpr int buttonSlots = 8;

    ImGuiContext* imgui_ = nullptr;
    Registry registry_;
    BarWindows windows_;
    int width_ = 0;
    int height_ = 0;
    int (*modifiers_)() = nullptr;
    std::chrono::steady_clock::time_point lastFrame_;
    bool inFrame_ = false;
    unsigned long settledChanges_ = 0;
    int settledWidth_ = 0;
    int settledHeight_ = 0;
    bool callingButtons_ = false;
    std::vector<ScreenRect> hitRects_;   // every window shown in the last frame
    std::vector<ButtonPress> pressed_;   // buttons pressed in frames, called after them
    bool held_[buttonSlots] = {};        // GLUT buttons down
    bool heldByBar_[buttonSlots] = {};   // ... whose press a bar took
};

} // namespace tweakbar
