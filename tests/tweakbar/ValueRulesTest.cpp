#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "Registry.h"
#include "ScreenRect.h"

using namespace Vellumar::tweakbar;

namespace {

EntryOptions limits(double min, double max) {
    EntryOptions o;
    o.min = min;
    o.max = max;
    return o;
}

} // namespace

TEST(ValueRules, EditsAreLimitedToMinAndMax) {
    EntryOptions o = limits(0, 2048);
    EXPECT_EQ(limitInt32(5000, o), 2048);
    EXPECT_EQ(limitInt32(-7, o), 0);
    EXPECT_EQ(limitInt32(17, o), 17);
    EXPECT_EQ(limitInt32(int64_t(INT_MAX) + 10, {}), INT_MAX);
    EXPECT_EQ(limitInt32(int64_t(INT_MIN) - 10, {}), INT_MIN);
    EXPECT_FLOAT_EQ(limitFloat(1.5, limits(-1, 1)), 1.0f);
    EXPECT_FLOAT_EQ(limitFloat(-3.0, limits(-1, 1)), -1.0f);
    EXPECT_FLOAT_EQ(limitFloat(1e300, {}), 3.402823466e38f);
    EXPECT_FLOAT_EQ(limitFloat(-1e300, {}), -3.402823466e38f);
}

TEST(ValueRules, RectanglesAreHalfOpen) {
    ScreenRect r{40, 60, 150, 100};
    EXPECT_TRUE(r.contains(40, 60));
    EXPECT_TRUE(r.contains(189, 159));
    EXPECT_FALSE(r.contains(190, 100)); // the first pixel to the right
    EXPECT_FALSE(r.contains(100, 160)); // the first pixel below
    EXPECT_FALSE(r.contains(39, 100));
    EXPECT_FALSE(r.contains(100, 59));
}

TEST(ValueRules, RectanglesAreKeptInsideTheDisplay) {
    EXPECT_EQ(keptInside({350, 300, 250, 260}, 512, 512), (ScreenRect{262, 252, 250, 260}));
    EXPECT_EQ(keptInside({-20, -5, 100, 100}, 512, 512), (ScreenRect{0, 0, 100, 100}));
    EXPECT_EQ(keptInside({10, 10, 800, 100}, 512, 512), (ScreenRect{0, 10, 512, 100}));
    EXPECT_EQ(keptInside({10, 20, 30, 40}, 512, 512), (ScreenRect{10, 20, 30, 40}));
}

TEST(ValueRules, DefinedBarsGiveUpHeightBeforeTheyMoveUp) {
    // Two bars stacked for a taller window, in a 512 x 512 one: moved left,
    // the lower one shortened so that it stays below the other.
    EXPECT_EQ(placedInside({350, 300, 250, 260}, 512, 512), (ScreenRect{262, 300, 250, 212}));
    EXPECT_EQ(placedInside({350, 0, 200, 300}, 512, 512), (ScreenRect{312, 0, 200, 300}));
    // Below the floor it moves up instead.
    EXPECT_EQ(placedInside({10, 500, 100, 300}, 512, 512), (ScreenRect{10, 392, 100, 120}));
    EXPECT_EQ(placedInside({10, 450, 100, 100}, 512, 512), (ScreenRect{10, 412, 100, 100}));
    EXPECT_EQ(placedInside({10, 20, 30, 40}, 512, 512), (ScreenRect{10, 20, 30, 40}));
    EXPECT_EQ(placedInside({0, 0, 900, 900}, 512, 512), (ScreenRect{0, 0, 512, 512}));
}
