// Subgroup footprints from ballot data, and freeze point timings from the
// shader clock; both absent, not invented, when the driver gave no data.
#include <gtest/gtest.h>

#include "FreezePointAnalysis.h"
#include "PatternAnalysis.h"
#include "SubgroupAnalysis.h"
#include "SyntheticCapture.h"

using testsupport::addClock;
using testsupport::makeCapture;
using testsupport::SyntheticLayout;
using testsupport::Unit;
using testsupport::Walk;
using Vellumar::capture::FragmentCapture;
using Vellumar::capture::FragmentLog;
using Vellumar::capture::FreezePoint;
namespace FreezePointAnalysis = Vellumar::capture::FreezePointAnalysis;
using Vellumar::capture::FreezePointTiming;
namespace PatternAnalysis = Vellumar::capture::PatternAnalysis;
namespace SubgroupAnalysis = Vellumar::capture::SubgroupAnalysis;
using Vellumar::capture::SubgroupFootprint;

namespace {

SyntheticLayout eightLaneLayout() {
    SyntheticLayout layout;
    layout.inside = {Unit{4, 2, Walk::rowMajor}};
    layout.subgroupSize = 8;
    return layout;
}

TEST(SubgroupAnalysis, EightLanesShadeFourByTwoPixels) {
    const std::optional<SubgroupFootprint> footprint =
        SubgroupAnalysis::analyse(makeCapture(eightLaneLayout()));
    ASSERT_TRUE(footprint.has_value());
    EXPECT_EQ(footprint->lanes, 8);
    EXPECT_EQ(footprint->active, 8);
    EXPECT_EQ(footprint->width, 4);
    EXPECT_EQ(footprint->height, 2);
    EXPECT_DOUBLE_EQ(footprint->consistency, 1.0);
    EXPECT_EQ(footprint->subgroups, 512 * 512 / 8);
}

TEST(SubgroupAnalysis, EdgeSubgroupsDoNotHideTheTypicalOne) {
    // Lanes at a primitive's edge are off: some subgroups cover fewer pixels.
    FragmentCapture capture = makeCapture(eightLaneLayout());
    for (int y = 0; y < capture.height; ++y) {
        for (int x = 0; x < capture.width; ++x) {
            if (x + y < 200 && (x + y) % 2 == 0) {
                capture.order[capture.pixelIndex(x, y)] = FragmentCapture::notCovered;
            }
        }
    }
    const std::optional<SubgroupFootprint> footprint = SubgroupAnalysis::analyse(capture);
    ASSERT_TRUE(footprint.has_value());
    EXPECT_EQ(footprint->active, 8);
    EXPECT_EQ(footprint->width, 4);
    EXPECT_EQ(footprint->height, 2);
    EXPECT_LT(footprint->consistency, 1.0);
}

TEST(SubgroupAnalysis, NoBallotNoFootprint) {
    SyntheticLayout layout = eightLaneLayout();
    layout.subgroupSize = 0;
    EXPECT_FALSE(SubgroupAnalysis::analyse(makeCapture(layout)).has_value());
    EXPECT_FALSE(PatternAnalysis::analyse(makeCapture(layout)).subgroup.has_value());
    // Ballot on, but nothing covered.
    FragmentCapture empty = FragmentCapture::blank(8, 8);
    empty.enableBallot();
    EXPECT_FALSE(SubgroupAnalysis::analyse(empty).has_value());
}

TEST(FreezePointAnalysis, RatioOfInsideToOutsideCycles) {
    FragmentCapture capture = makeCapture(SyntheticLayout{});
    capture.freezePoints = {FreezePoint{0, 100, 200, 32, 16}, FreezePoint{2, 400, 10, 8, 8}};
    addClock(capture, 150, 1500);
    const std::vector<FreezePointTiming> timings = FreezePointAnalysis::analyse(capture);
    ASSERT_EQ(timings.size(), 2u);
    EXPECT_EQ(timings[0].point.index, 0);
    EXPECT_EQ(timings[0].insidePixels, 32u * 16u);
    EXPECT_EQ(timings[0].insideCyclesMedian, 1500u);
    EXPECT_EQ(timings[0].outsideCyclesMedian, 150u);
    ASSERT_TRUE(timings[0].ratio.has_value());
    EXPECT_DOUBLE_EQ(*timings[0].ratio, 10.0);
    EXPECT_EQ(timings[1].point.index, 2);
    EXPECT_EQ(timings[1].insidePixels, 64u);
    EXPECT_DOUBLE_EQ(timings[1].ratio.value_or(0.0), 10.0);
}

TEST(FreezePointAnalysis, FitsTheCostOfALoopIterationAndFindsWhereLoopsWereCut) {
    // A 64 x 64 frame whose freeze point asked 100000 iterations and got 700,
    // the rest asked 500 and ran them all; a fragment costs 40 cycles plus 3
    // an iteration.
    FreezePoint point{0, 16, 16, 16, 16};
    FragmentLog log;
    log.shaded = 64 * 64;
    for (std::uint32_t p = 0; p < 64 * 64; ++p) {
        const int x = static_cast<int>(p % 64);
        const int y = static_cast<int>(p / 64);
        const bool inside = x >= 16 && x < 32 && y >= 16 && y < 32;
        const std::uint32_t loops = inside ? 700 : 500;
        log.pixel.push_back(p);
        log.order.push_back(p);
        log.loops.push_back(loops);
        log.clockStart.push_back(1000 * p);
        log.clockEnd.push_back(1000 * p + 40 + 3 * loops);
    }
    FragmentCapture capture = FragmentCapture::fromLog(64, 64, log);
    capture.freezePoints = {point};
    capture.standardLoopsAsked = 500;
    capture.freezingLoopsAsked = 100000;
    const FreezePointTiming timing = FreezePointAnalysis::analyse(capture).at(0);
    EXPECT_EQ(timing.insideLoopsMedian, 700u);
    EXPECT_EQ(timing.outsideLoopsMedian, 500u);
    EXPECT_DOUBLE_EQ(timing.cyclesPerLoop.value_or(0.0), 3.0);
    EXPECT_DOUBLE_EQ(timing.fixedCycles.value_or(0.0), 40.0);
    EXPECT_EQ(FreezePointAnalysis::loopsCutAt(capture), 700u);
    EXPECT_EQ(PatternAnalysis::analyse(capture).loopsCutAt, 700u);

    // Asked no more than they ran: nothing was cut.
    capture.freezingLoopsAsked = 700;
    EXPECT_FALSE(FreezePointAnalysis::loopsCutAt(capture).has_value());
}

TEST(FreezePointAnalysis, MedianIgnoresAFewSlowPixels) {
    FragmentCapture capture = makeCapture(SyntheticLayout{});
    capture.freezePoints = {FreezePoint{1, 0, 0, 10, 10}};
    addClock(capture, 100, 400);
    // A handful of stalled pixels outside and inside.
    for (int x = 200; x < 220; ++x) {
        capture.clockEnd[capture.pixelIndex(x, 300)] += 1000000;
    }
    capture.clockEnd[capture.pixelIndex(3, 3)] += 1000000;
    const FreezePointTiming timing = FreezePointAnalysis::analyse(capture).at(0);
    EXPECT_EQ(timing.insideCyclesMedian, 400u);
    EXPECT_EQ(timing.outsideCyclesMedian, 100u);
}

TEST(FreezePointAnalysis, OutsideMeansOutsideEveryPoint) {
    // Two large points cover most of the window; the rest sets the baseline.
    FragmentCapture capture = makeCapture(SyntheticLayout{});
    capture.freezePoints = {FreezePoint{0, 0, 0, 512, 200}, FreezePoint{1, 0, 200, 300, 250}};
    addClock(capture, 100, 700);
    for (const FreezePointTiming& timing : FreezePointAnalysis::analyse(capture)) {
        EXPECT_EQ(timing.insideCyclesMedian, 700u);
        EXPECT_EQ(timing.outsideCyclesMedian, 100u);
    }
}

TEST(FreezePointAnalysis, WithoutClockTimingsAreAbsent) {
    FragmentCapture capture = makeCapture(SyntheticLayout{});
    capture.freezePoints = {FreezePoint{0, 10, 10, 4, 4}};
    const std::vector<FreezePointTiming> timings = FreezePointAnalysis::analyse(capture);
    ASSERT_EQ(timings.size(), 1u);
    EXPECT_EQ(timings[0].insidePixels, 16u);
    EXPECT_FALSE(timings[0].insideCyclesMedian.has_value());
    EXPECT_FALSE(timings[0].outsideCyclesMedian.has_value());
    EXPECT_FALSE(timings[0].ratio.has_value());
    EXPECT_FALSE(PatternAnalysis::analyse(capture).clockAvailable);
}

TEST(FreezePointAnalysis, RectanglesAreClippedToTheWindow) {
    FragmentCapture capture = makeCapture(SyntheticLayout{});
    capture.freezePoints = {
        FreezePoint{0, 500, 505, 100, 100},                  // 12 x 7 inside
        FreezePoint{1, -2147483647 - 1, -5, 2147483647, 10}, // reaches x = -1
        FreezePoint{2, 10, 10, -4, 8},                       // negative width
        FreezePoint{3, 2147483647, 0, 2147483647, 1},        // far right
    };
    addClock(capture, 100, 100);
    const std::vector<FreezePointTiming> timings = FreezePointAnalysis::analyse(capture);
    ASSERT_EQ(timings.size(), 4u);
    EXPECT_EQ(timings[0].insidePixels, 12u * 7u);
    for (std::size_t i = 1; i < timings.size(); ++i) {
        EXPECT_EQ(timings[i].insidePixels, 0u);
        EXPECT_FALSE(timings[i].insideCyclesMedian.has_value());
        EXPECT_FALSE(timings[i].ratio.has_value());
        EXPECT_TRUE(timings[i].outsideCyclesMedian.has_value());
    }
}

} // namespace
