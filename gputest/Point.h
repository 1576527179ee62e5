// A freeze-point rectangle in window pixels, origin at the window's lower-left
// corner. (PosX, PosY) is the corner the mouse picks and drags; the opposite
// corner is (PosX + SizeX, PosY + SizeY), so sizes may be zero or negative.
// The tweak bars bind to it as four int32 at offsets 0, 4, 8 and 12.
#pragma once

#include <cstddef>
#include <cstdint>

struct Point {
    int32_t PosX;
    int32_t PosY;
    int32_t SizeX;
    int32_t SizeY;
};

static_assert(sizeof(Point) == 16, "tweak-bar struct Point is 16 bytes");
static_assert(offsetof(Point, SizeY) == 12, "tweak-bar struct Point member offsets");
