#include <gtest/gtest.h>

#include <vector>

#include "FrameTimeRing.h"

using Vellumar::measure::FrameSeries;
using Vellumar::measure::FrameTime;
using Vellumar::measure::FrameTimeRing;

namespace {

// Frame i has gpu i and wall 10 * i, so every slot tells where it came from.
void pushFrames(FrameTimeRing& ring, int first, int last) {
    for (int i = first; i <= last; ++i) {
        ring.push({static_cast<double>(i), 10.0 * i});
    }
}

std::vector<double> gpuSinceChange(const FrameTimeRing& ring) {
    std::vector<double> values;
    for (size_t i = 0; i < ring.sizeSinceChange(); ++i) {
        values.push_back(ring.sinceChange(i).gpuSeconds);
    }
    return values;
}

TEST(FrameTimeRing, FillsThenWrapsKeepingTheNewestOldestFirst) {
    FrameTimeRing ring(4);
    EXPECT_EQ(ring.capacity(), 4u);
    EXPECT_EQ(ring.size(), 0u);
    pushFrames(ring, 1, 3);
    EXPECT_EQ(ring.size(), 3u);
    EXPECT_EQ(ring.fromOldest(0).gpuSeconds, 1.0);
    EXPECT_EQ(ring.fromOldest(2).wallSeconds, 30.0);
    pushFrames(ring, 4, 10);
    EXPECT_EQ(ring.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(ring.fromOldest(i).gpuSeconds, 7.0 + static_cast<double>(i));
        EXPECT_EQ(ring.fromOldest(i).wallSeconds, 70.0 + 10.0 * static_cast<double>(i));
    }
}

TEST(FrameTimeRing, DefaultCapacityIs256AndZeroBecomesOne) {
    EXPECT_EQ(FrameTimeRing().capacity(), 256u);
    FrameTimeRing tiny(0);
    EXPECT_EQ(tiny.capacity(), 1u);
    pushFrames(tiny, 1, 3);
    EXPECT_EQ(tiny.size(), 1u);
    EXPECT_EQ(tiny.fromOldest(0).gpuSeconds, 3.0);
}

TEST(FrameTimeRing, ResetPointSplitsTheFramesAcrossWrapAround) {
    FrameTimeRing ring(4);
    pushFrames(ring, 1, 3);
    EXPECT_EQ(ring.sizeSinceChange(), 3u);
    ring.markSettingsChanged();
    EXPECT_EQ(ring.sizeSinceChange(), 0u);
    EXPECT_EQ(ring.size(), 3u); // a plot still shows them
    pushFrames(ring, 4, 5);     // wraps: slots hold 2 3 4 5
    EXPECT_EQ(gpuSinceChange(ring), (std::vector<double>{4, 5}));
    pushFrames(ring, 6, 9); // the change point has scrolled out of the ring
    EXPECT_EQ(ring.sizeSinceChange(), 4u);
    EXPECT_EQ(gpuSinceChange(ring), (std::vector<double>{6, 7, 8, 9}));
}

TEST(FrameTimeRing, ClearForgetsEverything) {
    FrameTimeRing ring(3);
    pushFrames(ring, 1, 5);
    ring.clear();
    EXPECT_EQ(ring.size(), 0u);
    EXPECT_EQ(ring.sizeSinceChange(), 0u);
    pushFrames(ring, 7, 7);
    EXPECT_EQ(ring.fromOldest(0).gpuSeconds, 7.0);
}

TEST(FrameTimeRing, CopiesTheLastKOfOneSeriesOldestFirst) {
    FrameTimeRing ring(5);
    pushFrames(ring, 1, 8); // holds 4..8
    float plot[3] = {};
    EXPECT_EQ(ring.copyLast(FrameSeries::wall, 3, plot), 3u);
    EXPECT_EQ(plot[0], 60.0f);
    EXPECT_EQ(plot[1], 70.0f);
    EXPECT_EQ(plot[2], 80.0f);
    double all[10] = {};
    EXPECT_EQ(ring.copyLast(FrameSeries::gpu, 10, all), 5u);
    EXPECT_EQ(all[0], 4.0);
    EXPECT_EQ(all[4], 8.0);
    EXPECT_EQ(all[5], 0.0); // untouched past what it copied
    EXPECT_EQ(ring.copyLast(FrameSeries::gpu, 0, all), 0u);
}

} // namespace
