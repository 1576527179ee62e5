#include "TweakBarContext.h"

#include <imgui.h>
#include <imgui_internal.h>
#include <backends/imgui_impl_opengl2.h>

#include <cfloat>

#include "GLStateGuard.h"

namespace tweakbar {

namespace {

// GLUT's numbers.
constexpr int glutDown = 0;
constexpr int glutWheelUp = 3;
constexpr int glutWheelDown = 4;
constexpr int glutShift = 1;
constexpr int glutCtrl = 2;
constexpr int glutAlt = 4;

// GLUT key codes of the editing keys, also used as ImGui key slots; with
// Ctrl held GLUT gives letters as 1 to 26.
constexpr unsigned char keyBackspace = 8;
constexpr unsigned char keyTab = 9;
constexpr unsigned char keyEnter = 13;
constexpr unsigned char keyEscape = 27;
constexpr unsigned char keyDelete = 127;

// ImGui's button number for a GLUT button (left, middle, right), -1 for none.
int imguiButton(int glutButton) {
    switch (glutButton) {
    case 0:
        return 0;
    case 1:
        return 2;
    case 2:
        return 1;
    default:
        return -1;
    }
}

void configure(ImGuiIO& io) {
    io.IniFilename = nullptr; // no files: the bars start from their definitions
    io.LogFilename = nullptr;
    io.ConfigWindowsMoveFromTitleBarOnly = true;
    io.KeyMap[ImGuiKey_Tab] = keyTab;
    io.KeyMap[ImGuiKey_Backspace] = keyBackspace;
    io.KeyMap[ImGuiKey_Enter] = keyEnter;
    io.KeyMap[ImGuiKey_Escape] = keyEscape;
    io.KeyMap[ImGuiKey_Delete] = keyDelete;
    io.KeyMap[ImGuiKey_A] = 'A';
    io.KeyMap[ImGuiKey_C] = 'C';
    io.KeyMap[ImGuiKey_V] = 'V';
    io.KeyMap[ImGuiKey_X] = 'X';
    io.KeyMap[ImGuiKey_Y] = 'Y';
    io.KeyMap[ImGuiKey_Z] = 'Z';
    // Built here, on the processor, so frames can run before the first draw
    // uploads the font texture.
    io.Fonts->Build();
}

} // namespace

TweakBarContext& TweakBarContext::instance() {
    // Never destroyed: the GL context may be gone when the process ends.
    static TweakBarContext* context = new TweakBarContext();
    return *context;
}

void TweakBarContext::start() {
    if (imgui_ != nullptr) {
        ImGui::SetCurrentContext(imgui_);
        ImGui_ImplOpenGL2_Shutdown();
        ImGui::DestroyContext(imgui_);
        imgui_ = nullptr;
    }
    registry_.clear();
    settledChanges_ = registry_.changes();
    windows_.reset();
    hitRects_.clear();
    hitRects_.reserve(16);
    pressed_.clear();
    pressed_.reserve(8);
    for (int i = 0; i < buttonSlots; ++i) {
        held_[i] = heldByBar_[i] = false;
    }
    imgui_ = ImGui::CreateContext();
    ImGui::SetCurrentContext(imgui_);
    configure(ImGui::GetIO());
    ImGui_ImplOpenGL2_Init();
    lastFrame_ = std::chrono::steady_clock::now();
}

void TweakBarContext::setWindowSize(int width, int height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
}

void TweakBarContext::frame(bool render) {
    inFrame_ = true;
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(float(width_), float(height_));
    auto now = std::chrono::steady_clock::now();
    float elapsed = std::chrono::duration<float>(now - lastFrame_).count();
    io.DeltaTime = elapsed > 1e-6f ? elapsed : 1e-6f; // ImGui wants time to pass
    lastFrame_ = now;

    ImGui::NewFrame();
    windows_.build(registry_, io.DisplaySize.x, io.DisplaySize.y, pressed_);
    if (render) {
        ImGui::Render();
    } else {
        ImGui::EndFrame();
    }
    collectHitRects();
    inFrame_ = false;
}

void TweakBarContext::settleLayout() {
    if (registry_.changes() == settledChanges_ && width_ == settledWidth_ &&
        height_ == settledHeight_) {
        return;
    }
    settledChanges_ = registry_.changes();
    settledWidth_ = width_;
    settledHeight_ = height_;
    frame(false);
}

bool TweakBarContext::editingText() const {
    const ImGuiContext& g = *GImGui;
    return g.ActiveId != 0 && g.InputTextState.ID == g.ActiveId;
}

void TweakBarContext::collectHitRects() {
    hitRects_.clear();
    constexpr ImGuiWindowFlags inside = ImGuiWindowFlags_ChildWindow | ImGuiWindowFlags_Tooltip;
    for (ImGuiWindow* window : GImGui->Windows) {
        if (window->Active && !window->Hidden && (window->Flags & inside) == 0) {
            hitRects_.push_back({window->Pos.x, window->Pos.y, window->Size.x, window->Size.y});
        }
    }
}

void TweakBarContext::callPressedButtons() {
    // A callback may run frames of its own (an event or a draw); their
    // presses join this loop instead of starting another.
    if (callingButtons_) {
        return;
    }
    callingButtons_ = true;
    for (size_t i = 0; i < pressed_.size(); ++i) {
        ButtonPress press = pressed_[i];
        if (press.callback != nullptr) {
            press.callback(press.clientData);
        }
    }
    pressed_.clear();
    callingButtons_ = false;
}

bool TweakBarContext::overBar(float x, float y) const {
    for (const ScreenRect& r : hitRects_) {
        if (r.contains(x, y)) {
            return true;
        }
    }
    return false;
}

void TweakBarContext::readModifiers() {
    // glutGetModifiers answers only inside keyboard and mouse-button
    // callbacks (elsewhere it warns on the console), so it is asked only
    // when the answer matters; a negative answer counts as no modifier.
    int bits = modifiers_ ? modifiers_() : 0;
    bits = bits < 0 ? 0 : bits;
    ImGuiIO& io = ImGui::GetIO();
    io.KeyShift = (bits & glutShift) != 0;
    io.KeyCtrl = (bits & glutCtrl) != 0;
    io.KeyAlt = (bits & glutAlt) != 0;
}

void TweakBarContext::draw() {
    if (!ready() || inFrame_) {
        return;
    }
    settleLayout();
    {
        GLStateGuard guard;
        ImGui_ImplOpenGL2_NewFrame();
        frame(true);
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    }
    callPressedButtons();
}

bool TweakBarContext::keyboard(unsigned char key) {
    if (!started() || inFrame_) {
        return false;
    }
    if (ready() && editingText()) {
        settleLayout();
        readModifiers();
        typeKey(key);
        callPressedButtons();
        return true;
    }
    ButtonPress button;
    if (!applyShortcut(registry_, key, button)) {
        return false;
    }
    if (button.callback != nullptr) {
        button.callback(button.clientData);
    }
    return true;
}

void TweakBarContext::typeKey(unsigned char key) {
    ImGuiIO& io = ImGui::GetIO();
    if (key >= 32 && key < keyDelete) {
        io.AddInputCharacter(key);
        frame(false);
        return;
    }
    int slot = -1;
    if (key == keyBackspace || key == keyTab || key == keyEnter || key == keyEscape ||
        key == keyDelete) {
        slot = key;
    } else if (key >= 1 && key <= 26 && io.KeyCtrl) {
        slot = 'A' + key - 1;
    }
    if (slot < 0) {
        return;
    }
    // Down in one frame, up in the next: a key held across a long gap
    // would repeat.
    io.KeysDown[slot] = true;
    frame(false);
    io.KeysDown[slot] = false;
    frame(false);
}

bool TweakBarContext::mouseButton(int button, int state, int x, int y) {
    if (!ready() || inFrame_) {
        return false;
    }
    settleLayout();
    bool down = state == glutDown;
    bool hit = overBar(float(x), float(y));
    bool taken = hit;
    if (button >= 0 && button < buttonSlots) {
        if (down) {
            held_[button] = true;
            heldByBar_[button] = hit;
        } else if (held_[button]) {
            // A release belongs to whoever took its press.
            taken = heldByBar_[button];
            held_[button] = heldByBar_[button] = false;
        }
    }

    ImGuiIO& io = ImGui::GetIO();
    if (down && hit) {
        readModifiers(); // Ctrl+click turns a number field into a text field
    }
    int index = imguiButton(button);
    if (index >= 0 && down && io.MouseDown[index]) {
        // The release of the last press went elsewhere (nothing is forwarded
        // in the program's test mode): let go first, or this press is lost,
        // and let go nowhere, so the old press completes no click.
        io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
        io.MouseDown[index] = false;
        frame(false);
    }
    io.MousePos = ImVec2(float(x), float(y));
    if (index >= 0) {
        io.MouseDown[index] = down;
    } else if (down && hit && (button == glutWheelUp || button == glutWheelDown)) {
        io.MouseWheel += button == glutWheelUp ? 1.0f : -1.0f;
    }
    frame(false);
    callPressedButtons();
    return taken;
}

bool TweakBarContext::mouseMotion(int x, int y) {
    if (!ready() || inFrame_) {
        return false;
    }
    settleLayout();
    bool barDrag = false;
    bool programDrag = false;
    for (int i = 0; i < buttonSlots; ++i) {
        barDrag = barDrag || heldByBar_[i];
        programDrag = programDrag || (held_[i] && !heldByBar_[i]);
    }
    // A drag the program started stays the program's over a bar.
    bool taken = barDrag || (!programDrag && overBar(float(x), float(y)));
    ImGui::GetIO().MousePos = ImVec2(float(x), float(y));
    frame(false);
    callPressedButtons();
    return taken;
}

} // namespace tweakbar
