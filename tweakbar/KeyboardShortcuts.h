// The keyIncr / keyDecr / key shortcuts of the visible bars: a key that
// matches one is applied at once, inside the keyboard event.
#pragma once

#include "Registry.h"

namespace tweakbar {

// A button whose shortcut was pressed; called once the search is over, so
// that the callback may change the bars.
struct ButtonPress {
    TwButtonCallback callback;
    void* clientData;
};

// Looks for the first read-write variable (or member of a read-write group)
// or button of a visible bar, in bar and entry order, whose shortcut is key
// (case matters). Steps the variable, or returns the button to press in
// button. False when no shortcut matches.
bool applyShortcut(Registry& registry, unsigned char key, ButtonPress& button);

} // namespace tweakbar
