#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "FrameStatistics.h"
#include "FrameTimeRing.h"

using Vellumar::measure::FrameSeries;
using Vellumar::measure::FrameStatistics;
using Vellumar::measure::FrameTimeRing;
using Vellumar::measure::percentileOfSorted;
using Vellumar::measure::Summary;

namespace {

Summary summaryOf(std::vector<double> values) {
    FrameStatistics statistics(values.size());
    return statistics.summarise(values.data(), values.size());
}

TEST(Percentile, InterpolatesLinearlyBetweenClosestRanks) {
    const double sorted[] = {10, 20, 30, 40, 50};
    EXPECT_DOUBLE_EQ(percentileOfSorted(sorted, 5, 50), 30);
    EXPECT_DOUBLE_EQ(percentileOfSorted(sorted, 5, 0), 10);
    EXPECT_DOUBLE_EQ(percentileOfSorted(sorted, 5, 100), 50);
    // Rank 0.05 * 4 = 0.2: a fifth of the way from 10 to 20.
    EXPECT_DOUBLE_EQ(percentileOfSorted(sorted, 5, 5), 12);
    // Rank 3.8: eight tenths from 40 to 50.
    EXPECT_DOUBLE_EQ(percentileOfSorted(sorted, 5, 95), 48);
    EXPECT_DOUBLE_EQ(percentileOfSorted(sorted, 5, 25), 20);
    EXPECT_DOUBLE_EQ(percentileOfSorted(sorted, 5, 37.5), 25);
}

TEST(Percentile, ClampsThePercentAndAnswersNaNForNothing) {
    const double sorted[] = {1, 2};
    EXPECT_DOUBLE_EQ(percentileOfSorted(sorted, 2, -10), 1);
    EXPECT_DOUBLE_EQ(percentileOfSorted(sorted, 2, 250), 2);
    EXPECT_TRUE(std::isnan(percentileOfSorted(sorted, 0, 50)));
    EXPECT_TRUE(std::isnan(percentileOfSorted(sorted, 2, std::nan(""))));
    const double infinite[] = {1, std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::infinity()};
    EXPECT_EQ(percentileOfSorted(infinite, 3, 90), std::numeric_limits<double>::infinity());
}

TEST(FrameStatistics, OddCountUnsortedInput) {
    const Summary s = summaryOf({5, 1, 4, 2, 3});
    EXPECT_EQ(s.count, 5u);
    EXPECT_DOUBLE_EQ(s.median, 3);
    EXPECT_DOUBLE_EQ(s.min, 1);
    EXPECT_DOUBLE_EQ(s.max, 5);
    EXPECT_DOUBLE_EQ(s.p5, 1.2);
    EXPECT_DOUBLE_EQ(s.p95, 4.8);
}

TEST(FrameStatistics, EvenCountMedianIsTheMeanOfTheMiddleTwo) {
    const Summary s = summaryOf({0.004, 0.001, 0.003, 0.002});
    EXPECT_EQ(s.count, 4u);
    EXPECT_DOUBLE_EQ(s.median, 0.0025);
    EXPECT_DOUBLE_EQ(s.p5, 0.001 + 0.15 * 0.001);
    EXPECT_DOUBLE_EQ(s.p95, 0.003 + 0.85 * 0.001);
}

TEST(FrameStatistics, OneValueIsEveryFigure) {
    const Summary s = summaryOf({0.0125});
    EXPECT_EQ(s.count, 1u);
    for (double figure : {s.median, s.p5, s.p95, s.min, s.max}) {
        EXPECT_EQ(figure, 0.0125);
    }
}

TEST(FrameStatistics, AllEqualValuesGiveThatValueExactly) {
    const Summary s = summaryOf(std::vector<double>(7, 0.1));
    for (double figure : {s.median, s.p5, s.p95, s.min, s.max}) {
        EXPECT_EQ(figure, 0.1);
    }
}

TEST(FrameStatistics, NoValuesAndNaNValues) {
    const Summary empty = summaryOf({});
    EXPECT_EQ(empty.count, 0u);
    EXPECT_TRUE(std::isnan(empty.median));
    EXPECT_TRUE(std::isnan(empty.min));
    EXPECT_TRUE(std::isnan(empty.max));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Summary some = summaryOf({nan, 2, nan, 1, 3});
    EXPECT_EQ(some.count, 3u);
    EXPECT_DOUBLE_EQ(some.median, 2);
    EXPECT_DOUBLE_EQ(some.max, 3);
}

TEST(FrameStatistics, MoreValuesThanTheScratchCapacityStillCount) {
    std::vector<double> values;
    for (int i = 100; i >= 0; --i) {
        values.push_back(i);
    }
    FrameStatistics statistics(4);
    const Summary s = statistics.summarise(values.data(), values.size());
    EXPECT_EQ(s.count, 101u);
    EXPECT_DOUBLE_EQ(s.median, 50);
    EXPECT_DOUBLE_EQ(s.p95, 95);
}

TEST(FrameStatistics, RingSummaryCoversOnlyFramesSinceTheSettingsChanged) {
    FrameTimeRing ring(8);
    for (int i = 0; i < 5; ++i) {
        ring.push({100.0, 200.0});
    }
    ring.markSettingsChanged();
    ring.push({1.0, 10.0});
    ring.push({3.0, 30.0});
    ring.push({2.0, 20.0});
    FrameStatistics statistics;
    const Summary gpu = statistics.summarise(ring, FrameSeries::gpu);
    const Summary wall = statistics.summarise(ring, FrameSeries::wall);
    EXPECT_EQ(gpu.count, 3u);
    EXPECT_DOUBLE_EQ(gpu.median, 2.0);
    EXPECT_DOUBLE_EQ(gpu.max, 3.0);
    EXPECT_DOUBLE_EQ(wall.median, 20.0);
    EXPECT_DOUBLE_EQ(wall.min, 10.0);
}

} // namespace
