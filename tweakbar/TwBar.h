// One bar: its attributes as defined, its entries in order, and where the
// last frame placed it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "DefinitionParser.h"
#include "Entry.h"
#include "ScreenRect.h"

struct TwBar {
    struct Attributes {
        bool visible = true;
        int x = 0, y = 0, width = 0, height = 0; // window pixels from the top-left
        int fontSize = 2;                        // 1 small, 2 medium, 3 large
        int valuesWidth = 0;                     // 0: a share of the bar's width
        std::string help;
    };

    TwBar(std::string barName, int creationIndex);

    // Back to a bar with no entries and default attributes (a second
    // TwNewBar with the same name).
    void reset();

    // Bar attributes: position, size, fontSize, valuesWidth, help, hide,
    // show. All or nothing: false, and nothing changed, for an unknown name
    // or a bad value.
    bool applyAttributes(const std::vector<tweakbar::DefinitionAttribute>& attributes);

    tweakbar::Entry* findEntry(std::string_view label);
    float fontScale() const;

    std::string name;
    int index; // creation order; staggers the default positions
    Attributes attributes;
    std::vector<tweakbar::Entry> entries;

    // The frame builder moves the window to the defined position and size at
    // the next frame when set; otherwise the user's moves and resizes stay.
    bool placementPending = true;
    tweakbar::ScreenRect drawnRect; // as last built; width 0 before the first frame
    tweakbar::ScreenRect helpButtonRect;
};
