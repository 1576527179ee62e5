// The Tw* calls. Every forwarded mouse event, and every key typed into a
// field being edited, runs one ImGui frame at once (without drawing), so the
// widgets see each press, release, key and motion in order however long the
// program's own frames take, and each event call knows its answer: whether
// the pointer is over a window shown in the last frame. ImGui 1.86 loses a
// press and a release set before one frame, so each gets a frame of its own.
// TwDraw runs one more frame and draws it inside the GL state guard.
#include "TweakBar.h"

#include <imgui.h>
#include <imgui_internal.h>
#include <backends/imgui_impl_opengl2.h>

#include <cfloat>

#include "GLStateGuard.h"
#include "TweakBarContext.h"

using namespace Vellumar::tweakbar;

namespace {

// GLUT's numbers.
constexpr int glutDown = 0;
constexpr int glutWheelUp = 3;
constexpr int glutWheelDown = 4;
constexpr int glutShift = 1;
constexpr int glutCtrl = 2;
constexpr int glutAlt = 4;

// GLUT key codes of the editing keys, also used as ImGui key slots.
constexpr unsigned char keyBackspace = 8;
constexpr unsigned char keyTab = 9;
constexpr unsigned char keyEnter = 13;
constexpr unsigned char keyEscape = 27;
constexpr unsigned char keyDelete = 127;

const ImVec2 nowhere(-FLT_MAX, -FLT_MAX);

TweakBarContext& context() {
    return TweakBarContext::instance();
}

bool started(const char* call) {
    return context().imgui || refuse(call, "called before TwInit");
}

bool ready() {
    const TweakBarContext& c = context();
    return c.imgui != nullptr && c.width > 0 && c.height > 0 && !c.inFrame;
}

void frame(bool render) {
    TweakBarContext& c = context();
    c.inFrame = true;
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(float(c.width), float(c.height));
    auto now = std::chrono::steady_clock::now();
    float elapsed = std::chrono::duration<float>(now - c.lastFrame).count();
    io.DeltaTime = elapsed > 1e-6f ? elapsed : 1e-6f; // ImGui wants time to pass
    c.lastFrame = now;

    ImGui::NewFrame();
    buildBars(c.registry, io.DisplaySize.x, io.DisplaySize.y, c.help, c.pressed);
    if (render) {
        ImGui::Render();
    } else {
        ImGui::EndFrame();
    }
    c.inFrame = false;
}

// After a change of bars or window size, one frame without input first, so
// that hit tests and the probe see the new layout.
void settleLayout() {
    TweakBarContext& c = context();
    if (c.registry.changes() != c.settledChanges) {
        c.settledChanges = c.registry.changes();
        frame(false);
    }
}

void callPressedButtons() {
    // A callback may run frames of its own (an event or a draw); their
    // presses join this loop instead of starting another.
    TweakBarContext& c = context();
    if (c.callingButtons) {
        return;
    }
    c.callingButtons = true;
    for (size_t i = 0; i < c.pressed.size(); ++i) {
        ButtonPress press = c.pressed[i];
        press.callback(press.clientData);
    }
    c.pressed.clear();
    c.callingButtons = false;
}

// Over a window shown in the last frame; half-open, so the first pixel right
// of or below a bar is the program's.
bool overBar(int x, int y) {
    constexpr ImGuiWindowFlags inside = ImGuiWindowFlags_ChildWindow | ImGuiWindowFlags_Tooltip;
    for (const ImGuiWindow* w : GImGui->Windows) {
        ScreenRect r{w->Pos.x, w->Pos.y, w->Size.x, w->Size.y};
        if (w->Active && !w->Hidden && (w->Flags & inside) == 0 && r.contains(x, y)) {
            return true;
        }
    }
    return false;
}

void readModifiers() {
    // glutGetModifiers answers only inside keyboard and mouse-button
    // callbacks (elsewhere it warns on the console), so it is asked only
    // when the answer matters; a negative answer counts as no modifier.
    int bits = context().modifiers ? context().modifiers() : 0;
    bits = bits < 0 ? 0 : bits;
    ImGuiIO& io = ImGui::GetIO();
    io.KeyShift = (bits & glutShift) != 0;
    io.KeyCtrl = (bits & glutCtrl) != 0;
    io.KeyAlt = (bits & glutAlt) != 0;
}

void typeKey(unsigned char key) {
    ImGuiIO& io = ImGui::GetIO();
    if (key >= 32 && key < keyDelete) {
        io.AddInputCharacter(key);
        frame(false);
        return;
    }
    if (key == keyBackspace || key == keyTab || key == keyEnter || key == keyEscape ||
        key == keyDelete) {
        // Down in one frame, up in the next: a key held across a long gap
        // would repeat.
        io.KeysDown[key] = true;
        frame(false);
        io.KeysDown[key] = false;
        frame(false);
    }
}

// ImGui's button number for a GLUT button (left, middle, right), -1 for none.
int imguiButton(int glutButton) {
    return glutButton == 0 ? 0 : glutButton == 1 ? 2 : glutButton == 2 ? 1 : -1;
}

} // namespace

int TwInit(TwGraphAPI graphAPI, void* /*device*/) {
    if (graphAPI != TW_OPENGL) {
        return refuse("TwInit", "only TW_OPENGL is supported");
    }
    TweakBarContext& c = context();
    if (c.imgui != nullptr) {
        ImGui::SetCurrentContext(c.imgui);
        ImGui_ImplOpenGL2_Shutdown();
        ImGui::DestroyContext(c.imgui);
    }
    c = TweakBarContext();
    c.pressed.reserve(8);
    c.imgui = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr; // no files: the bars start from their definitions
    io.LogFilename = nullptr;
    io.ConfigWindowsMoveFromTitleBarOnly = true;
    io.KeyMap[ImGuiKey_Tab] = keyTab;
    io.KeyMap[ImGuiKey_Backspace] = keyBackspace;
    io.KeyMap[ImGuiKey_Enter] = keyEnter;
    io.KeyMap[ImGuiKey_Escape] = keyEscape;
    io.KeyMap[ImGuiKey_Delete] = keyDelete;
    // Built here, on the processor, so frames can run before the first draw
    // uploads the font texture.
    io.Fonts->Build();
    ImGui_ImplOpenGL2_Init();
    c.lastFrame = std::chrono::steady_clock::now();
    return 1;
}

int TwWindowSize(int width, int height) {
    if (width < 0 || height < 0) {
        return refuse("TwWindowSize", "a negative size");
    }
    if (!started("TwWindowSize")) {
        return 0;
    }
    TweakBarContext& c = context();
    // A new size wants a new layout as much as a change of bars does.
    c.settledChanges = c.width == width && c.height == height ? c.settledChanges : ~0ul;
    c.width = width;
    c.height = height;
    return 1;
}

int TwGLUTModifiersFunc(int (*glutGetModifiersFunc)(void)) {
    if (!started("TwGLUTModifiersFunc")) {
        return 0;
    }
    context().modifiers = glutGetModifiersFunc;
    return 1;
}

int TwDefine(const char* definition) {
    return started("TwDefine") && context().registry.define(definition);
}

TwBar* TwNewBar(const char* barName) {
    return started("TwNewBar") ? context().registry.newBar(barName) : nullptr;
}

int TwAddVarRW(TwBar* bar, const char* name, TwType type, void* var, const char* definition) {
    return started("TwAddVarRW") &&
           context().registry.add("TwAddVarRW", bar, EntryKind::ReadWrite, name, definition, type,
                                  var, nullptr, nullptr);
}

int TwAddVarRO(TwBar* bar, const char* name, TwType type, const void* var, const char* definition) {
    return started("TwAddVarRO") &&
           context().registry.add("TwAddVarRO", bar, EntryKind::ReadOnly, name, definition, type,
                                  var, nullptr, nullptr);
}

TwType TwDefineEnum(const char* name, const TwEnumVal* enumValues, unsigned int valueCount) {
    return started("TwDefineEnum") ? context().registry.defineEnum(name, enumValues, valueCount)
                                   : TW_TYPE_UNDEF;
}

TwType TwDefineStruct(const char* name, const TwStructMember* members, unsigned int memberCount,
                      size_t structSize, TwSummaryCallback summaryCallback,
                      void* /*summaryClientData*/) {
    return started("TwDefineStruct") ? context().registry.defineStruct(name, members, memberCount,
                                                                       structSize, summaryCallback)
                                     : TW_TYPE_UNDEF;
}

int TwAddSeparator(TwBar* bar, const char* name, const char* definition) {
    return started("TwAddSeparator") &&
           context().registry.add("TwAddSeparator", bar, EntryKind::Separator, name, definition,
                                  TW_TYPE_UNDEF, nullptr, nullptr, nullptr);
}

int TwAddButton(TwBar* bar, const char* name, TwButtonCallback callback, void* clientData,
                const char* definition) {
    return started("TwAddButton") &&
           context().registry.add("TwAddButton", bar, EntryKind::Button, name, definition,
                                  TW_TYPE_UNDEF, nullptr, callback, clientData);
}

int TwDraw() {
    if (!started("TwDraw")) {
        return 0;
    }
    if (ready()) {
        settleLayout();
        GLStateGuard guard;
        ImGui_ImplOpenGL2_NewFrame();
        frame(true);
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    }
    callPressedButtons();
    return 1;
}

int TwEventKeyboardGLUT(unsigned char glutKey, int /*mouseX*/, int /*mouseY*/) {
    const ImGuiContext* g = context().imgui ? GImGui : nullptr;
    if (ready() && g->ActiveId != 0 && g->InputTextState.ID == g->ActiveId) {
        // A field being edited takes every key.
        settleLayout();
        readModifiers();
        typeKey(glutKey);
        callPressedButtons();
        return 1;
    }
    ButtonPress button;
    if (context().inFrame || !context().registry.applyShortcut(glutKey, button)) {
        return 0;
    }
    if (button.callback != nullptr) {
        button.callback(button.clientData);
    }
    return 1;
}

int TwEventMouseButtonGLUT(int glutButton, int glutState, int mouseX, int mouseY) {
    if (!ready()) {
        return 0;
    }
    settleLayout();
    TweakBarContext& c = context();
    bool down = glutState == glutDown;
    bool taken = overBar(mouseX, mouseY);
    if (glutButton >= 0 && glutButton < TweakBarContext::buttonSlots) {
        if (down) {
            c.held[glutButton] = true;
            c.heldByBar[glutButton] = taken;
        } else if (c.held[glutButton]) {
            // A release belongs to whoever took its press.
            taken = c.heldByBar[glutButton];
            c.held[glutButton] = c.heldByBar[glutButton] = false;
        }
    }
    ImGuiIO& io = ImGui::GetIO();
    if (down && taken) {
        readModifiers(); // Ctrl+click turns a number field into a text field
    }
    int index = imguiButton(glutButton);
    if (index >= 0 && down && io.MouseDown[index]) {
        // The release of the last press went elsewhere (nothing is forwarded
        // in the program's test mode): let go first, nowhere, or this press
        // is lost and the old one completes a click.
        io.MousePos = nowhere;
        io.MouseDown[index] = false;
        frame(false);
    }
    // The program's presses reach ImGui as presses nowhere: they end an
    // edit, but never grab the edge of a bar next to them.
    io.MousePos = taken ? ImVec2(float(mouseX), float(mouseY)) : nowhere;
    if (index >= 0) {
        io.MouseDown[index] = down;
    } else if (down && taken && (glutButton == glutWheelUp || glutButton == glutWheelDown)) {
        io.MouseWheel += glutButton == glutWheelUp ? 1.0f : -1.0f;
    }
    frame(false);
    callPressedButtons();
    return taken;
}

int TwEventMouseMotionGLUT(int mouseX, int mouseY) {
    if (!ready()) {
        return 0;
    }
    settleLayout();
    TweakBarContext& c = context();
    bool barDrag = false;
    bool programDrag = false;
    for (int i = 0; i < TweakBarContext::buttonSlots; ++i) {
        barDrag = barDrag || c.heldByBar[i];
        programDrag = programDrag || (c.held[i] && !c.heldByBar[i]);
    }
    // A drag the program started stays the program's over a bar.
    bool taken = barDrag || (!programDrag && overBar(mouseX, mouseY));
    bool programs = programDrag && !barDrag;
    ImGui::GetIO().MousePos = programs ? nowhere : ImVec2(float(mouseX), float(mouseY));
    frame(false);
    callPressedButtons();
    return taken;
}
