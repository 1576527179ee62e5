#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "FrameTimeRing.h"
#include "TimerCoverage.h"

using Vellumar::measure::Coverage;
using Vellumar::measure::CoverageRule;
using Vellumar::measure::FrameTime;
using Vellumar::measure::FrameTimeRing;
using Vellumar::measure::TimerCoverage;

namespace {

Coverage evaluate(const std::vector<FrameTime>& frames, CoverageRule rule = {}) {
    return TimerCoverage(rule).evaluate(frames.data(), frames.size());
}

TEST(TimerCoverage, FiresWhenTheTimerSeesLessThanHalfOfTheWallTime) {
    // What a CPU rasteriser reports: a fraction of a millisecond of 56 ms.
    const Coverage low = evaluate({{0.0002, 0.056}, {0.0003, 0.060}, {0.0002, 0.058}});
    EXPECT_TRUE(low.judged());
    EXPECT_EQ(low.judgedFrames, 3u);
    EXPECT_NEAR(low.ratio, 0.0007 / 0.174, 1e-12);
    EXPECT_TRUE(low.fires);
    EXPECT_EQ(TimerCoverage::message(low),
              "the GPU timer covers only 0 % of the frame's wall time on this renderer");

    const Coverage justBelow = evaluate({{0.0049, 0.01}, {0.0049, 0.01}, {0.0049, 0.01}});
    EXPECT_TRUE(justBelow.fires);
    EXPECT_EQ(TimerCoverage::message(justBelow),
              "the GPU timer covers only 49 % of the frame's wall time on this renderer");
    // Rounded down: 49.99 % fires and must not read 50.
    const Coverage almostHalf = evaluate({{0.04999, 0.1}, {0.04999, 0.1}, {0.04999, 0.1}});
    EXPECT_TRUE(almostHalf.fires);
    EXPECT_EQ(TimerCoverage::message(almostHalf),
              "the GPU timer covers only 49 % of the frame's wall time on this renderer");
}

TEST(TimerCoverage, DoesNotFireWhenTheTimerCoversTheFrame) {
    const Coverage good = evaluate({{0.009, 0.010}, {0.0095, 0.010}, {0.005, 0.010}});
    EXPECT_FALSE(good.fires);
    EXPECT_NEAR(good.ratio, 0.0235 / 0.03, 1e-12);
    const Coverage half = evaluate({{0.005, 0.010}, {0.005, 0.010}, {0.005, 0.010}});
    EXPECT_FALSE(half.fires); // exactly one half is not below it
}

TEST(TimerCoverage, SumsRatherThanAveragingRatios) {
    // Ratios 0.9, 0.1, 0.1 average to 0.37, but the long frame dominates the
    // sums: 0.1 s of timer for 0.12 s of wall.
    const Coverage coverage = evaluate({{0.09, 0.1}, {0.001, 0.01}, {0.001, 0.01}});
    EXPECT_FALSE(coverage.fires);
    EXPECT_NEAR(coverage.ratio, 0.092 / 0.12, 1e-12);
}

TEST(TimerCoverage, TooShortFramesAreIgnored) {
    // Only the two frames of at least 1 ms count; the short ones would pull
    // the ratio down to below a half.
    std::vector<FrameTime> frames = {{0.0009, 0.001}, {0.0018, 0.002}};
    for (int i = 0; i < 20; ++i) {
        frames.push_back({0.00001, 0.0009});
    }
    const Coverage twoLong = evaluate(frames);
    EXPECT_FALSE(twoLong.judged()); // two are fewer than the three needed
    EXPECT_FALSE(twoLong.fires);
    EXPECT_EQ(twoLong.judgedFrames, 2u);
    frames.push_back({0.0027, 0.003});
    const Coverage threeLong = evaluate(frames);
    EXPECT_TRUE(threeLong.judged());
    EXPECT_FALSE(threeLong.fires);
    EXPECT_NEAR(threeLong.ratio, 0.9, 1e-12);
}

TEST(TimerCoverage, NoFramesOrUnusableTimesJudgeNothing) {
    EXPECT_FALSE(evaluate({}).judged());
    const double nan = std::nan("");
    const Coverage coverage =
        evaluate({{nan, 0.01}, {0.001, nan}, {-1.0, 0.01}, {0.0, 0.0}}, CoverageRule{0.0, 1, 0.5});
    EXPECT_EQ(coverage.judgedFrames, 1u); // only {0, 0} is usable, and its wall sum is 0
    EXPECT_FALSE(coverage.judged());
    EXPECT_FALSE(coverage.fires);
}

TEST(TimerCoverage, RingFormLooksAtFramesSinceTheChange) {
    FrameTimeRing ring(16);
    for (int i = 0; i < 5; ++i) {
        ring.push({0.0001, 0.05});
    }
    TimerCoverage rule;
    EXPECT_TRUE(rule.evaluate(ring).fires);
    ring.markSettingsChanged();
    for (int i = 0; i < 3; ++i) {
        ring.push({0.01, 0.011});
    }
    const Coverage after = rule.evaluate(ring);
    EXPECT_EQ(after.judgedFrames, 3u);
    EXPECT_FALSE(after.fires);
}

// Frame by frame, the sums reach what the whole set gives.
TEST(TimerCoverage, RunningSumsJudgeLikeTheWholeSet) {
    const double nan = std::nan("");
    const std::vector<FrameTime> frames = {{0.0001, 0.05}, {0.0002, 0.0005}, {nan, 0.02},
                                           {0.003, 0.04},  {0.02, 0.03},     {0.001, 0.002}};
    const TimerCoverage rule;
    Vellumar::measure::CoverageSums sums;
    for (size_t count = 1; count <= frames.size(); ++count) {
        rule.add(sums, frames[count - 1]);
        const Coverage whole = rule.evaluate(frames.data(), count);
        const Coverage running = rule.judge(sums);
        EXPECT_EQ(running.judgedFrames, whole.judgedFrames) << count;
        EXPECT_EQ(running.fires, whole.fires) << count;
        EXPECT_EQ(running.judged(), whole.judged()) << count;
        if (whole.judged()) {
            EXPECT_DOUBLE_EQ(running.ratio, whole.ratio) << count;
        }
    }
    EXPECT_EQ(sums.judgedFrames, 4u);
    EXPECT_TRUE(rule.judge(sums).fires);
}

TEST(TimerCoverage, LatchReportsOnceUntilReset) {
    TimerCoverage rule;
    Coverage firing;
    firing.ratio = 0.2;
    firing.fires = true;
    Coverage fine;
    fine.ratio = 0.9;
    EXPECT_FALSE(rule.shouldReport(fine));
    EXPECT_FALSE(rule.reported());
    EXPECT_TRUE(rule.shouldReport(firing));
    EXPECT_TRUE(rule.reported());
    EXPECT_FALSE(rule.shouldReport(firing));
    EXPECT_FALSE(rule.shouldReport(fine));
    rule.resetLatch();
    EXPECT_FALSE(rule.reported());
    EXPECT_TRUE(rule.shouldReport(firing));
}

} // namespace
