#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "ScreenRect.h"
#include "TypeRegistry.h"
#include "ValueRules.h"

using namespace tweakbar;

namespace {

EntryOptions limits(double min, double max, double step = 1.0) {
    EntryOptions o;
    o.min = min;
    o.max = max;
    o.step = step;
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
}

TEST(ValueRules, NumbersStepByTheirStepWithinLimits) {
    TypeRegistry types;
    int value = 10;
    stepValue(&value, TW_TYPE_INT32, {}, types, +1);
    EXPECT_EQ(value, 11);
    stepValue(&value, TW_TYPE_INT32, limits(0, 12, 5), types, +1);
    EXPECT_EQ(value, 12);
    stepValue(&value, TW_TYPE_INT32, limits(0, 12, 5), types, -1);
    EXPECT_EQ(value, 7);
    value = INT_MAX;
    stepValue(&value, TW_TYPE_INT32, {}, types, +1);
    EXPECT_EQ(value, INT_MAX);

    float f = 0.5f;
    stepValue(&f, TW_TYPE_FLOAT, limits(-1, 1, 0.25), types, +1);
    EXPECT_FLOAT_EQ(f, 0.75f);
    stepValue(&f, TW_TYPE_FLOAT, limits(-1, 1, 0.25), types, +1);
    stepValue(&f, TW_TYPE_FLOAT, limits(-1, 1, 0.25), types, +1);
    EXPECT_FLOAT_EQ(f, 1.0f);
}

TEST(ValueRules, EnumerationsStepInDeclaredOrderAndWrap) {
    TypeRegistry types;
    TwEnumVal prims[] = {{7, "Quads"}, {4, "Triangles"}, {1, "Lines"}, {0, "Points"}};
    TwType type = types.defineEnum("curPrim", prims, 4);
    int value = 7;
    int forwards[4];
    for (int& seen : forwards) {
        stepValue(&value, type, {}, types, +1);
        seen = value;
    }
    EXPECT_EQ(forwards[0], 4);
    EXPECT_EQ(forwards[1], 1);
    EXPECT_EQ(forwards[2], 0);
    EXPECT_EQ(forwards[3], 7);
    stepValue(&value, type, {}, types, -1);
    EXPECT_EQ(value, 0);

    // A value set elsewhere with no label enters the list at an end.
    value = 99;
    stepValue(&value, type, {}, types, +1);
    EXPECT_EQ(value, 7);
    value = 99;
    stepValue(&value, type, {}, types, -1);
    EXPECT_EQ(value, 0);
}

TEST(ValueRules, BoolStepsTouchOnlyTheirByte) {
    TypeRegistry types;
    // A 32-bit flag shown as a bool: the bar writes 1 or 0 into its first
    // byte and leaves the others alone.
    std::uint32_t flag = 0;
    stepValue(&flag, TW_TYPE_BOOLCPP, {}, types, +1);
    EXPECT_EQ(flag, 1u);
    stepValue(&flag, TW_TYPE_BOOLCPP, {}, types, -1);
    EXPECT_EQ(flag, 0u);
    std::uint32_t marked = 0xABCD0000u;
    stepValue(&marked, TW_TYPE_BOOLCPP, {}, types, +1);
    EXPECT_EQ(marked, 0xABCD0001u);
}

TEST(ValueRules, RectanglesAreKeptInsideTheDisplay) {
    ScreenRect inside = keptInside({350, 300, 250, 260}, 512, 512);
    EXPECT_EQ(inside, (ScreenRect{262, 252, 250, 260}));
    EXPECT_EQ(keptInside({-20, -5, 100, 100}, 512, 512), (ScreenRect{0, 0, 100, 100}));
    EXPECT_EQ(keptInside({10, 10, 800, 100}, 512, 512), (ScreenRect{0, 10, 512, 100}));
    EXPECT_EQ(keptInside({10, 20, 30, 40}, 512, 512), (ScreenRect{10, 20, 30, 40}));
}

TEST(ValueRules, DefinedBarsGiveUpHeightBeforeTheyMoveUp) {
    // The program's two bars in a 512 x 512 window: moved left, MainOptions
    // shortened so that it stays below FreezyPoints.
    EXPECT_EQ(placedInside({350, 300, 250, 260}, 512, 512), (ScreenRect{262, 300, 250, 212}));
    EXPECT_EQ(placedInside({350, 0, 200, 300}, 512, 512), (ScreenRect{312, 0, 200, 300}));
    // Below the floor it moves up instead.
    EXPECT_EQ(placedInside({10, 500, 100, 300}, 512, 512), (ScreenRect{10, 392, 100, 120}));
    EXPECT_EQ(placedInside({10, 450, 100, 100}, 512, 512), (ScreenRect{10, 412, 100, 100}));
    EXPECT_EQ(placedInside({10, 20, 30, 40}, 512, 512), (ScreenRect{10, 20, 30, 40}));
    EXPECT_EQ(placedInside({0, 0, 900, 900}, 512, 512), (ScreenRect{0, 0, 512, 512}));
}
