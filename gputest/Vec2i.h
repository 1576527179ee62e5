// A pair of signed 32-bit integers: window positions and sizes, loop counts,
// tile sizes. The tweak bars bind to it as a struct of two int32 at offsets
// 0 and 4, so its layout is fixed.
#pragma once

#include <cstdint>

struct Vec2i {
    int32_t x;
    int32_t y;

    // Truncated Euclidean distance, computed in float like the picking expects.
    int32_t distance(const Vec2i& other) const;
};

Vec2i operator-(const Vec2i& a, const Vec2i& b);
Vec2i operator+(const Vec2i& a, const Vec2i& b);
Vec2i operator*(const Vec2i& a, int32_t factor);

static_assert(sizeof(Vec2i) == 8, "tweak-bar struct Vec2i is 8 bytes");
