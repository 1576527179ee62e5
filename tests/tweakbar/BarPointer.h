// Drives the bars the way the program's GLUT handlers do: forwarded mouse
// and keyboard events, at places taken from the last frame's layout.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "TweakBar.h"
#include "TweakBarProbe.h"

namespace tweakbartest {

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

inline void click(const TwRect& r, int modifiers = 0) { clickAt(centreX(r), centreY(r), modifiers); }

// Ctrl+click turns a number field into a text field; the text replaces its
// value and Enter ends the edit.
inline void typeInto(const TwRect& r, const std::string& text) {
    click(r, 2);
    for (char c : text) {
        EXPECT_EQ(TwEventKeyboardGLUT(static_cast<unsigned char>(c), 0, 0), 1) << c;
    }
    EXPECT_EQ(TwEventKeyboardGLUT(13, 0, 0), 1);
}

} // namespace tweakbartest
