// Rectangles in window pixels (origin at the top-left corner, y downwards)
// and the rules that keep bars inside the window.
//
// Implements: half-open hit testing (the first pixel right of or below a
//   rectangle is outside it), bars kept inside a display of any size, defined
//   bars giving up height before they move. Refuses: nothing.
#pragma once

namespace Vellumar::tweakbar {

struct ScreenRect {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;

    bool contains(float px, float py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
    bool operator==(const ScreenRect& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
    bool operator!=(const ScreenRect& o) const { return !(*this == o); }
};

// Moved (and, when larger than the display, shrunk) to lie inside it.
inline ScreenRect keptInside(ScreenRect r, float displayWidth, float displayHeight) {
    r.width = r.width < displayWidth ? r.width : displayWidth;
    r.height = r.height < displayHeight ? r.height : displayHeight;
    r.x = r.x + r.width > displayWidth ? displayWidth - r.width : r.x;
    r.y = r.y + r.height > displayHeight ? displayHeight - r.height : r.y;
    r.x = r.x < 0.0f ? 0.0f : r.x;
    r.y = r.y < 0.0f ? 0.0f : r.y;
    return r;
}

// A bar placed by its definition gives up height (down to a floor) to keep
// its top edge, so bars stacked for a taller window stay one above the other.
inline ScreenRect placedInside(ScreenRect r, float displayWidth, float displayHeight) {
    constexpr float minHeight = 120.0f;
    float room = displayHeight - r.y;
    if (r.height > room) {
        r.height = room >= minHeight ? room : (r.height < minHeight ? r.height : minHeight);
    }
    return keptInside(r, displayWidth, displayHeight);
}

} // namespace Vellumar::tweakbar
