// A pair of signed 32-bit integers: window positions and sizes, loop counts,
// tile sizes. The tweak bars bind to it as a struct of two int32 at offsets
// 0 and 4, so its layout is fixed. With it the wrapping 32-bit arithmetic that
// its operators and the keys use.
#pragma once

#include <cstdint>

// 32-bit signed arithmetic that wraps around instead of overflowing: the keys
// apply no limits, so a value pressed past the range must stay defined.
inline int32_t wrappingAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

inline int32_t wrappingSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

inline int32_t wrappingMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

struct Vec2i {
    int32_t x;
    int32_t y;

    // Truncated Euclidean distance, computed in float like the picking expects.
    int32_t distance(const Vec2i& other) const;
};

Vec2i operator-(const Vec2i& a, const Vec2i& b);
Vec2i operator+(const Vec2i& a, const Vec2i& b);
Vec2i operator*(const Vec2i& a, int32_t factor);
inline bool operator==(const Vec2i& a, const Vec2i& b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(const Vec2i& a, const Vec2i& b) { return !(a == b); }

static_assert(sizeof(Vec2i) == 8, "tweak-bar struct Vec2i is 8 bytes");
