// Repeated captures compared: a frame that repeats itself exactly, one whose
// two fragments swapped places in one tile, and one read otherwise.
#include <gtest/gtest.h>

#include <utility>

#include "PatternAnalysis.h"
#include "RepeatComparison.h"
#include "SyntheticCapture.h"

using Vellumar::capture::FragmentCapture;
using Vellumar::capture::PatternReport;
using Vellumar::capture::RepeatComparison;
namespace PatternAnalysis = Vellumar::capture::PatternAnalysis;

namespace {

TEST(RepeatComparison, CountsTheFragmentsAndTilesThatKeptTheirOrder) {
    // 512 x 512 in 64 x 64 tiles, row-major.
    const FragmentCapture first = testsupport::makeCapture(testsupport::SyntheticLayout{});
    const PatternReport report = PatternAnalysis::analyse(first);
    RepeatComparison comparison(first, report);
    comparison.add(first, report);
    EXPECT_EQ(comparison.sameOrderShare(), 1.0);
    EXPECT_EQ(comparison.tiles().count, 64u);
    EXPECT_EQ(comparison.tiles().stable, 64u);
    EXPECT_TRUE(comparison.findingsAgree());

    // Two pixels of the tile at (128, 64) swap their order numbers.
    FragmentCapture swapped = first;
    std::swap(swapped.order[swapped.pixelIndex(130, 70)],
              swapped.order[swapped.pixelIndex(131, 70)]);
    comparison.add(swapped, PatternAnalysis::analyse(swapped));
    EXPECT_EQ(comparison.captures(), 3);
    EXPECT_DOUBLE_EQ(comparison.sameOrderShare(), (512.0 * 512.0 - 2.0) / (512.0 * 512.0));
    EXPECT_EQ(comparison.tiles().stable, 63u);
    EXPECT_DOUBLE_EQ(comparison.tiles().leastShare, (64.0 * 64.0 - 2.0) / (64.0 * 64.0));
    EXPECT_TRUE(comparison.findingsAgree());

    const FragmentCapture noise = testsupport::makeNoise(512, 512, 5);
    comparison.add(noise, PatternAnalysis::analyse(noise));
    EXPECT_FALSE(comparison.findingsAgree());
    EXPECT_LT(comparison.sameOrderShare(), 0.01);
}

} // namespace
