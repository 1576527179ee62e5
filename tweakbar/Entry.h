// One line of a bar: a variable bound to the program's memory, a separator
// or a button, with what its last frame left of its layout.
#pragma once

#include <string>
#include <vector>

#include "EntryOptions.h"
#include "ScreenRect.h"
#include "TweakBar.h"
#include "TweakBarProbe.h"

namespace tweakbar {

struct Entry {
    TwEntryKind kind = TwEntryKind::Separator;
    std::string label;
    TwType type = TW_TYPE_UNDEF;
    const void* address = nullptr;
    std::string definition;
    EntryOptions options;
    TwButtonCallback callback = nullptr;
    void* clientData = nullptr;

    // Layout as last built: the value widget (the whole line for separators
    // and buttons), and one rectangle per struct member or per item of an
    // open enumeration list; a width of 0 means not shown.
    ScreenRect widgetRect;
    std::vector<ScreenRect> itemRects;

    // Only read-write variables are ever written.
    void* writableAddress() const {
        return kind == TwEntryKind::ReadWrite ? const_cast<void*>(address) : nullptr;
    }
};

} // namespace tweakbar
