// The Tw* calls and the state behind them. Every forwarded mouse event, and
// every key typed into a field being edited, runs one ImGui frame at once
// (without drawing), so the widgets see each press, release, key and motion
// in order however long the program's frames take, and each event call knows
// its answer: whether the pointer is over a window shown in the last frame.
// ImGui 1.86 loses a press and a release set before one frame, so each gets a
// frame of its own. TwDraw runs one more frame, drawn inside the state guard.
#include "TweakBar.h"

#include <imgui.h>
#include <imgui_internal.h>
#include <backends/imgui_impl_opengl2.h>

#include <algorithm>
#include <cfloat>
#include <chrono>
#include <vector>

#include "BarWindows.h"
#include "GLStateGuard.h"

using namespace Vellumar::tweakbar;

namespace {

// GLUT's numbers.
constexpr int glutDown = 0;
constexpr int glutWheelUp = 3;
constexpr int glutWheelDown = 4;
constexpr int glutShift = 1;
constexpr int glutCtrl = 2;
constexpr int glutAlt = 4;

// GLUT's codes of backspace, tab, enter, escape and delete, which are also
// their slots in ImGui's key table.
constexpr unsigned char editingKeys[] = {8, 9, 13, 27, 127};

const ImVec2 nowhere(-FLT_MAX, -FLT_MAX);

// The state behind the calls.
struct Context {
    static constexpr int buttonSlots = 8;
    ImGuiContext* imgui = nullptr; // null before TwInit
    Registry registry;
    HelpWindow help;
    int width = 0;
    int height = 0;
    int (*modifiers)() = nullptr;
    std::chrono::steady_clock::time_point lastFrame;
    bool inFrame = false;
    unsigned long settledChanges = 0; // the registry's changes the layout last settled
    std::vector<ButtonPress> pressed; // buttons clicked in frames, called after them
    bool held[buttonSlots] = {};      // GLUT buttons down
    bool heldByBar[buttonSlots] = {}; // ... whose press a bar took
};

Context& context() {
    // Never destroyed: the GL context may be gone when the process ends.
    static Context* c = new Context();
    return *c;
}

bool started(const char* call) { return context().imgui || refuse(call, "called before TwInit"); }

bool ready() {
    const Context& c = context();
    return c.imgui != nullptr && c.width > 0 && c.height > 0 && !c.inFrame;
}

void frame(bool render) {
    Context& c = context();
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
    Context& c = context();
    if (c.registry.changes() != c.settledChanges) {
        c.settledChanges = c.registry.changes();
        frame(false);
    }
}

void callPressedButtons() {
    // Taken out first: a callback may run frames of its own (an event or a
    // draw), whose presses are called next.
    std::vector<ButtonPress> calls;
    calls.swap(context().pressed);
    for (const ButtonPress& press : calls) {
        press.callback(press.clientData);
    }
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
    int bits = std::max(context().modifiers ? context().modifiers() : 0, 0);
    ImGuiIO& io = ImGui::GetIO();
    io.KeyShift = (bits & glutShift) != 0;
    io.KeyCtrl = (bits & glutCtrl) != 0;
    io.KeyAlt = (bits & glutAlt) != 0;
}

void typeKey(unsigned char key) {
    ImGuiIO& io = ImGui::GetIO();
    if (key >= 32 && key < 127) {
        io.AddInputCharacter(key);
        frame(false);
    }
    for (unsigned char code : editingKeys) {
        if (key == code) {
            // Down in one frame, up in the next: a key held across a long gap
            // would repeat.
            io.KeysDown[code] = true;
            frame(false);
            io.KeysDown[code] = false;
            frame(false);
        }
    }
}

} // namespace

namespace Vellumar::tweakbar {

Registry& tweakBarRegistry() { return context().registry; }

const HelpWindow& tweakBarHelpWindow() { return context().help; }

} // namespace Vellumar::tweakbar

int TwInit(TwGraphAPI graphAPI, void* /*device*/) {
    if (graphAPI != TW_OPENGL) {
        return refuse("TwInit", "only TW_OPENGL is supported");
    }
    Context& c = context();
    if (c.imgui != nullptr) {
        ImGui::SetCurrentContext(c.imgui);
        ImGui_ImplOpenGL2_Shutdown();
        ImGui::DestroyContext(c.imgui);
    }
    c = Context();
    c.imgui = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr; // no files: the bars start from their definitions
    io.ConfigWindowsMoveFromTitleBarOnly = true;
    io.KeyMap[ImGuiKey_Backspace] = 8;
    io.KeyMap[ImGuiKey_Tab] = 9;
    io.KeyMap[ImGuiKey_Enter] = 13;
    io.KeyMap[ImGuiKey_Escape] = 27;
    io.KeyMap[ImGuiKey_Delete] = 127;
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
    Context& c = context();
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

bool Vellumar::tweakbar::addPlot(TwBar* bar, const char* name, const PlotData* data,
                                 const char* definition) {
    return started("addPlot") &&
           context().registry.add("addPlot", bar, EntryKind::Plot, name, definition, TW_TYPE_UNDEF,
                                  data, nullptr, nullptr);
}

bool Vellumar::tweakbar::addRamp(TwBar* bar, const char* name, const RampData* data,
                                 const char* definition) {
    return started("addRamp") &&
           context().registry.add("addRamp", bar, EntryKind::Ramp, name, definition, TW_TYPE_UNDEF,
                                  data, nullptr, nullptr);
}

bool Vellumar::tweakbar::barOpen(const TwBar* bar) {
    return context().registry.owns(bar) && bar->attributes.visible && !bar->attributes.iconified;
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
    if (context().inFrame || !context().registry.applyShortcut(glutKey, context().pressed)) {
        return 0;
    }
    callPressedButtons();
    return 1;
}

int TwEventMouseButtonGLUT(int glutButton, int glutState, int mouseX, int mouseY) {
    if (!ready()) {
        return 0;
    }
    settleLayout();
    Context& c = context();
    bool down = glutState == glutDown;
    bool taken = overBar(mouseX, mouseY);
    if (glutButton >= 0 && glutButton < Context::buttonSlots) {
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
    // ImGui's number for GLUT's left, middle and right buttons.
    int index = glutButton == 0 ? 0 : glutButton == 1 ? 2 : glutButton == 2 ? 1 : -1;
    if (index >= 0 && down && io.MouseDown[index]) {
        // The release of the last press went elsewhere (nothing is forwarded
        // in the program's test mode): let go first, nowhere, or this press
        // is lost and the old one completes a click.
        io.MousePos = nowhere;
        io.MouseDown[index] = false;
        frame(false);
    }
    // The program's presses reach ImGui as presses nowhere: they end an
    // edit, and act on no bar however close to one they land.
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
    Context& c = context();
    bool barDrag = false;
    bool programDrag = false;
    for (int i = 0; i < Context::buttonSlots; ++i) {
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
