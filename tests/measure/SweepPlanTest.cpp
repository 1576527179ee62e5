#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "SweepPlan.h"

using Vellumar::measure::Configuration;
using Vellumar::measure::parseSweepRange;
using Vellumar::measure::SweepPlan;
using Vellumar::measure::SweepRange;

namespace {

SweepRange parsed(const std::string& text) {
    SweepRange sweep;
    const std::optional<std::string> problem = parseSweepRange(text, sweep);
    EXPECT_EQ(problem, std::nullopt) << text;
    return sweep;
}

std::vector<int32_t> valuesOf(const SweepRange& sweep) {
    std::vector<int32_t> values;
    for (uint64_t k = 0; k < sweep.count(); ++k) {
        values.push_back(sweep.valueAt(k));
    }
    return values;
}

std::string refusal(const std::string& text) {
    SweepRange sweep;
    sweep.name = "untouched";
    const std::optional<std::string> problem = parseSweepRange(text, sweep);
    EXPECT_EQ(sweep.name, "untouched") << text;
    return problem.value_or("accepted");
}

TEST(SweepRange, WalksUpDownAndStopsBeforePassingTo) {
    const SweepRange up = parsed("loopsCount.x=0:100:25");
    EXPECT_EQ(up.name, "loopsCount.x");
    EXPECT_EQ(valuesOf(up), (std::vector<int32_t>{0, 25, 50, 75, 100}));
    EXPECT_EQ(valuesOf(parsed("a=0:10:4")), (std::vector<int32_t>{0, 4, 8}));
    EXPECT_EQ(valuesOf(parsed("a=5:-5:-5")), (std::vector<int32_t>{5, 0, -5}));
    EXPECT_EQ(valuesOf(parsed("a=-1:-8:-3")), (std::vector<int32_t>{-1, -4, -7}));
}

TEST(SweepRange, FromEqualToIsOneValueWhateverTheStepSign) {
    EXPECT_EQ(valuesOf(parsed("a=7:7:1")), (std::vector<int32_t>{7}));
    EXPECT_EQ(valuesOf(parsed("a=7:7:-3")), (std::vector<int32_t>{7}));
}

TEST(SweepRange, ExtremesOfThe32BitRangeDoNotOverflow) {
    const SweepRange wide = parsed("a=-2147483648:2147483647:2147483647");
    EXPECT_EQ(valuesOf(wide), (std::vector<int32_t>{INT32_MIN, -1, INT32_MAX - 1}));
    const SweepRange down = parsed("a=2147483647:-2147483648:-2147483648");
    EXPECT_EQ(valuesOf(down), (std::vector<int32_t>{INT32_MAX, -1}));
    EXPECT_EQ(parsed("a=-2147483648:2147483647:1").count(), 4294967296ull);
}

TEST(SweepRange, RefusesStepZeroWrongSignAndBadText) {
    EXPECT_EQ(refusal("a=0:10:0"), "STEP 0 never reaches TO");
    EXPECT_EQ(refusal("a=3:3:0"), "STEP 0 never reaches TO");
    EXPECT_EQ(refusal("a=0:10:-1"), "STEP -1 walks away from TO (FROM < TO needs STEP > 0)");
    EXPECT_EQ(refusal("a=10:0:2"), "STEP 2 walks away from TO (FROM > TO needs STEP < 0)");
    EXPECT_EQ(refusal("a=0:10"), "expected NAME=FROM:TO:STEP");
    EXPECT_EQ(refusal("a=0:10:1:2"), "expected NAME=FROM:TO:STEP");
    EXPECT_EQ(refusal("0:10:1"), "expected NAME=FROM:TO:STEP");
    EXPECT_EQ(refusal("=0:10:1"), "expected NAME=FROM:TO:STEP");
    EXPECT_EQ(refusal("a=x:10:1"), "FROM 'x' is not a whole number in the 32-bit range");
    EXPECT_EQ(refusal("a=0:2147483648:1"),
              "TO '2147483648' is not a whole number in the 32-bit range");
    EXPECT_EQ(refusal("a=0:1:"), "STEP '' is not a whole number in the 32-bit range");
}

TEST(SweepPlan, ProductWithTheFirstSweepOutermost) {
    const SweepPlan plan({parsed("a=1:2:1"), parsed("b=30:10:-10")});
    EXPECT_EQ(plan.count(), 6u);
    EXPECT_EQ(plan.names(), (std::vector<std::string>{"a", "b"}));
    const int32_t expected[6][2] = {{1, 30}, {1, 20}, {1, 10}, {2, 30}, {2, 20}, {2, 10}};
    for (size_t i = 0; i < 6; ++i) {
        const Configuration configuration = plan.at(i);
        ASSERT_EQ(configuration.size(), 2u);
        EXPECT_EQ(configuration[0].name, "a");
        EXPECT_EQ(configuration[0].value, expected[i][0]) << i;
        EXPECT_EQ(configuration[1].name, "b");
        EXPECT_EQ(configuration[1].value, expected[i][1]) << i;
    }
    EXPECT_EQ(SweepPlan::describe(plan.at(4)), "a=2 b=20");
}

TEST(SweepPlan, NoSweepIsOneEmptyConfiguration) {
    const SweepPlan plan;
    EXPECT_EQ(plan.count(), 1u);
    EXPECT_TRUE(plan.at(0).empty());
    EXPECT_EQ(SweepPlan::describe(plan.at(0)), "");
}

TEST(SweepPlan, GuardsAgainstAbsurdProductsAndRepeatedNames) {
    // 1001 * 1000 = 1,001,000 configurations: just over the limit.
    EXPECT_EQ(SweepPlan::check({parsed("a=0:1000:1"), parsed("b=1:1000:1")}),
              "the sweeps make more than 1000000 configurations");
    EXPECT_EQ(SweepPlan::check({parsed("a=1:1000:1"), parsed("b=1:1000:1")}), std::nullopt);
    // Products that would overflow 64 bits are refused too.
    const SweepRange huge = parsed("h=-2147483648:2147483647:1");
    EXPECT_TRUE(SweepPlan::check({huge, parsed("i=-2147483648:2147483647:1"),
                                  parsed("j=-2147483648:2147483647:1")})
                    .has_value());
    EXPECT_EQ(SweepPlan::check({parsed("a=0:1:1"), parsed("a=0:2:1")}), "'a' is swept twice");
    EXPECT_THROW(SweepPlan({huge}), std::invalid_argument);
    const SweepPlan limit({parsed("a=1:1000:1"), parsed("b=1:1000:1")});
    EXPECT_EQ(limit.count(), 1000000u);
    EXPECT_EQ(SweepPlan::describe(limit.at(999999)), "a=1000 b=1000");
    EXPECT_EQ(SweepPlan::describe(limit.at(1000)), "a=2 b=1");
}

} // namespace
