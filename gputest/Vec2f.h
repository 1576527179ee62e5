// A pair of 32-bit floats, used for the small-primitives test's geometry. The
// tweak-bar struct Vec2f has the same layout.
#pragma once

struct Vec2f {
    float x;
    float y;
};

inline Vec2f operator+(const Vec2f& a, const Vec2f& b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2f operator/(const Vec2f& a, const Vec2f& b) { return {a.x / b.x, a.y / b.y}; }
inline Vec2f operator*(const Vec2f& a, const Vec2f& b) { return {a.x * b.x, a.y * b.y}; }
inline Vec2f operator*(const Vec2f& a, float factor) { return {a.x * factor, a.y * factor}; }

static_assert(sizeof(Vec2f) == 8, "tweak-bar struct Vec2f is 8 bytes");
