// Drives the bars the way the program's GLUT handlers do: forwarded mouse
// and keyboard events, at places taken from the last frame's layout; and
// catches what the layer writes to standard error.
#pragma once

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <utility>

#include "TweakBar.h"
#include "TweakBarProbe.h"

namespace testsupport {

constexpr int glutDown = 0;
constexpr int glutUp = 1;

// What the modifiers function given to TwGLUTModifiersFunc answers.
inline int& modifierBits() {
    static int bits = 0;
    return bits;
}
inline int fakeModifiers() { return modifierBits(); }

inline int centreX(const TwRect& r) { return r.x + r.width / 2; }
inline int centreY(const TwRect& r) { return r.y + r.height / 2; }

inline TwRect drawnEntry(const char* bar, const char* label, const char* item = nullptr) {
    auto r = TwInspectDrawnEntry(bar, label, item);
    EXPECT_TRUE(r) << bar << '/' << label << (item ? std::string("/") + item : std::string());
    return r.value_or(TwRect{-100, -100, 1, 1});
}

inline TwRect drawnBar(const char* bar) {
    auto r = TwInspectDrawnBar(bar);
    EXPECT_TRUE(r) << bar;
    return r.value_or(TwRect{-100, -100, 1, 1});
}

// Pointer there, press, release; the answers of the press and the release.
inline std::pair<int, int> clickAt(int x, int y, int modifiers = 0) {
    TwEventMouseMotionGLUT(x, y);
    modifierBits() = modifiers;
    int pressed = TwEventMouseButtonGLUT(0, glutDown, x, y);
    int released = TwEventMouseButtonGLUT(0, glutUp, x, y);
    modifierBits() = 0;
    return {pressed, released};
}

inline void click(const TwRect& r, int modifiers = 0) {
    clickAt(centreX(r), centreY(r), modifiers);
}

// Ctrl+click turns a number field into a text field; the text replaces its
// value and Enter ends the edit.
inline void typeInto(const TwRect& r, const std::string& text) {
    click(r, 2);
    for (char c : text) {
        EXPECT_EQ(TwEventKeyboardGLUT(static_cast<unsigned char>(c), 0, 0), 1) << c;
    }
    EXPECT_EQ(TwEventKeyboardGLUT(13, 0, 0), 1);
}

// The bar lies inside a window of the given size, and every label of it lies
// whole inside the room its line gives it: inside the bar, and left of the
// entry's value where one stands beside it.
inline void expectLabelsReadWhole(const char* barName, int windowWidth, int windowHeight) {
    auto info = TwInspectBar(barName);
    ASSERT_TRUE(info) << barName;
    TwRect bar = drawnBar(barName);
    EXPECT_GE(bar.x, 0) << barName;
    EXPECT_GE(bar.y, 0) << barName;
    EXPECT_LE(bar.x + bar.width, windowWidth) << barName;
    EXPECT_LE(bar.y + bar.height, windowHeight) << barName;
    for (const TwEntryInfo& e : info->entries) {
        if (e.label.empty()) {
            continue;
        }
        SCOPED_TRACE(e.label);
        auto label = TwInspectDrawnLabel(barName, e.label.c_str());
        ASSERT_TRUE(label);
        const TwRect& text = label->text;
        const TwRect& room = label->room;
        EXPECT_GE(text.x, room.x);
        EXPECT_LE(text.x + text.width, room.x + room.width);
        EXPECT_GE(room.x, bar.x);
        EXPECT_LE(room.x + room.width, bar.x + bar.width);
        bool valueBeside = (e.kind == TwEntryKind::ReadWrite || e.kind == TwEntryKind::ReadOnly) &&
                           TwInspectStructSize(e.type) == 0;
        if (valueBeside) {
            EXPECT_LE(room.x + room.width, drawnEntry(barName, e.label.c_str()).x);
        }
    }
}

// Redirects std::cerr while alive.
class CerrCapture {
public:
    CerrCapture() : previous(std::cerr.rdbuf(buffer.rdbuf())) {}
    ~CerrCapture() { std::cerr.rdbuf(previous); }
    std::string text() const { return buffer.str(); }

private:
    std::ostringstream buffer;
    std::streambuf* previous;
};

} // namespace testsupport
