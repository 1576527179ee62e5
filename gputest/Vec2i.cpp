// The integer pair's distance (in float, as the picking expects) and its
// wrapping component-wise operators.
#include "Vec2i.h"

#include <cmath>
#include <cstdint>

int32_t Vec2i::distance(const Vec2i& other) const {
    // Differences in 64 bits so that far-apart points cannot overflow.
    float dx = static_cast<float>(static_cast<int64_t>(x) - other.x);
    float dy = static_cast<float>(static_cast<int64_t>(y) - other.y);
    float d = std::sqrt(dx * dx + dy * dy);
    // Beyond the int32 range the truncation would be undefined; such points
    // are as far as anything can be.
    if (!(d < 2147483648.0f)) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(d);
}

Vec2i operator-(const Vec2i& a, const Vec2i& b) {
    return {wrappingSub(a.x, b.x), wrappingSub(a.y, b.y)};
}

Vec2i operator+(const Vec2i& a, const Vec2i& b) {
    return {wrappingAdd(a.x, b.x), wrappingAdd(a.y, b.y)};
}

Vec2i operator*(const Vec2i& a, int32_t factor) {
    return {wrappingMul(a.x, factor), wrappingMul(a.y, factor)};
}
