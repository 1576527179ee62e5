// Tests of the value types: the integer pair's distance and wrapping
// arithmetic, the float pair's operations, and the layouts the bars bind.
#include <gtest/gtest.h>

#include <climits>
#include <cstddef>

#include "Point.h"
#include "Vec2f.h"
#include "Vec2i.h"

namespace {

TEST(Vec2i, DistanceIsTruncatedTowardZero) {
    EXPECT_EQ((Vec2i{0, 0}).distance({3, 4}), 5);
    EXPECT_EQ((Vec2i{0, 0}).distance({1, 1}), 1); // 1.414...
    EXPECT_EQ((Vec2i{10, 10}).distance({10 + 511, 10}), 511);
    EXPECT_EQ((Vec2i{0, 0}).distance({362, 362}), 511); // 511.95...
    EXPECT_EQ((Vec2i{-5, -5}).distance({-5, -5}), 0);
}

TEST(Vec2i, DistanceOfExtremePointsStaysDefined) {
    EXPECT_EQ((Vec2i{INT_MIN, INT_MIN}).distance({INT_MAX, INT_MAX}), INT_MAX);
    EXPECT_GT((Vec2i{INT_MIN, 0}).distance({0, 0}), 2000000000);
}

TEST(Vec2i, ArithmeticIsComponentWiseAndWrapsInsteadOfOverflowing) {
    Vec2i a{7, -3}, b{2, 5};
    Vec2i d = a - b, s = a + b, k = a * 3;
    EXPECT_EQ(d.x, 5);
    EXPECT_EQ(d.y, -8);
    EXPECT_EQ(s.x, 9);
    EXPECT_EQ(s.y, 2);
    EXPECT_EQ(k.x, 21);
    EXPECT_EQ(k.y, -9);
    Vec2i big = Vec2i{INT_MAX, INT_MIN} + Vec2i{1, -1};
    EXPECT_EQ(big.x, INT_MIN);
    EXPECT_EQ(big.y, INT_MAX);
    Vec2i scaled = Vec2i{1000000000, 3} * 10;
    EXPECT_EQ(scaled.x, static_cast<int>(10000000000LL - 3 * 4294967296LL));
}

TEST(Vec2f, ComponentWiseOperations) {
    Vec2f a{2.0f, 8.0f}, b{4.0f, 2.0f};
    EXPECT_FLOAT_EQ((a + b).x, 6.0f);
    EXPECT_FLOAT_EQ((a / b).x, 0.5f);
    EXPECT_FLOAT_EQ((a / b).y, 4.0f);
    EXPECT_FLOAT_EQ((a * b).y, 16.0f);
    EXPECT_FLOAT_EQ((a * 0.5f).y, 4.0f);
}

TEST(ValueTypes, LayoutsMatchTheTweakBarStructTypes) {
    EXPECT_EQ(offsetof(Vec2i, x), 0u);
    EXPECT_EQ(offsetof(Vec2i, y), 4u);
    EXPECT_EQ(offsetof(Vec2f, y), 4u);
    EXPECT_EQ(offsetof(Point, PosX), 0u);
    EXPECT_EQ(offsetof(Point, PosY), 4u);
    EXPECT_EQ(offsetof(Point, SizeX), 8u);
    EXPECT_EQ(offsetof(Point, SizeY), 12u);
}

} // namespace
