// The building blocks of the tile search on hand-made order maps: line
// jumps and the separation they give, also across gaps in the coverage, and
// tile grids with their alignment.
#include <gtest/gtest.h>

#include "FragmentCapture.h"
#include "LineJumps.h"
#include "OrderIndex.h"
#include "TileScorer.h"

using Vellumar::capture::Axis;
using Vellumar::capture::FragmentCapture;
using Vellumar::capture::LineJumps;
using Vellumar::capture::OrderIndex;
using Vellumar::capture::TileGrid;

namespace {

// One row of pixels with the given order values.
FragmentCapture row(const std::vector<std::uint32_t>& order) {
    FragmentCapture capture = FragmentCapture::blank(static_cast<int>(order.size()), 1);
    capture.order = order;
    std::fill(capture.overdraw.begin(), capture.overdraw.end(), 1u);
    return capture;
}

TEST(LineJumps, SeparationSpeaksAgainstACandidateWhenLinesDisagree) {
    // Jumps over the lines x = 1..7: 1 5 1 5 1 1 1.
    const FragmentCapture capture = row({0, 1, 6, 7, 2, 3, 4, 5});
    const OrderIndex index(capture);
    const LineJumps jumps(capture, index);

    // Width 4: the edge at x = 4 jumps 5, but inside, the place 2 has lines
    // jumping 5 (x = 2) and 1 (x = 6): the larger counts.
    EXPECT_DOUBLE_EQ(jumps.separation(Axis::x, 4, 0), 1.0);
    // Width 4 with edges at x = 2 and 6: one jumps 5, the other 1; the
    // smaller counts, against the largest place inside (x = 4: 5).
    EXPECT_DOUBLE_EQ(jumps.separation(Axis::x, 4, 2), 0.2);
    // Width 2 with edges on the odd lines, which jump 1, inside 5.
    EXPECT_DOUBLE_EQ(jumps.separation(Axis::x, 2, 1), 0.2);

    EXPECT_DOUBLE_EQ(jumps.separation(Axis::x, 1, 0), 1.0);
    EXPECT_DOUBLE_EQ(jumps.separation(Axis::x, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(jumps.separation(Axis::x, 4, 4), 0.0);
    EXPECT_DOUBLE_EQ(jumps.separation(Axis::x, 4, -1), 0.0);
    // No line of that size inside the window, or no rows at all.
    EXPECT_DOUBLE_EQ(jumps.separation(Axis::x, 9, 0), 0.0);
    EXPECT_DOUBLE_EQ(jumps.separation(Axis::y, 2, 0), 0.0);
}

TEST(LineJumps, NeighboursAcrossAGapStandForTheLinesBetween) {
    // Two 8-wide units of 2-pixel primitives with 2-pixel gaps: x = 0 1, 4 5
    // in the first, 8 9, 12 13 in the second, walked right to left. No
    // covered pixels meet at the edge x = 8, but 5 and 8 are neighbours and
    // jump 4, all other neighbours 1.
    FragmentCapture capture = row({0, 1, 0, 0, 2, 3, 0, 0, 7, 6, 0, 0, 5, 4, 0, 0});
    for (int x : {2, 3, 6, 7, 10, 11, 14, 15}) {
        capture.order[static_cast<std::size_t>(x)] = FragmentCapture::notCovered;
    }
    const OrderIndex index(capture);
    const LineJumps jumps(capture, index);
    EXPECT_DOUBLE_EQ(jumps.separation(Axis::x, 8, 0), 4.0);
    // A gap of 3 lines cannot tell where the edge of a 4-wide unit lies.
    EXPECT_DOUBLE_EQ(jumps.separation(Axis::x, 4, 0), 0.0);
}

TEST(TileGrid, OffsetsPlaceTheEdges) {
    // 64-wide tiles ending at the right edge of a 500-wide window.
    const TileGrid grid{64, 64, 500 % 64, 0};
    EXPECT_EQ(grid.columns(500), 8);
    EXPECT_EQ(grid.column(0), 0);
    EXPECT_EQ(grid.column(51), 0);
    EXPECT_EQ(grid.column(52), 1);
    EXPECT_EQ(grid.column(499), 7);
    EXPECT_EQ(grid.left(0), -12);
    EXPECT_EQ(grid.left(7), 500 - 64);
    EXPECT_EQ(grid.rows(128), 2);
    EXPECT_EQ(grid.bottom(1), 64);
}

TEST(TileGrid, HoldsOnlyGridsThatShareItsEdges) {
    const TileGrid tile{64, 64, 0, 44};
    EXPECT_TRUE(tile.holds(TileGrid{16, 16, 0, 12}));
    EXPECT_TRUE(tile.holds(TileGrid{64, 4, 0, 0}));
    EXPECT_TRUE(tile.holds(tile));
    EXPECT_FALSE(tile.holds(TileGrid{16, 16, 0, 0}));  // edges 12 rows apart
    EXPECT_FALSE(tile.holds(TileGrid{16, 16, 4, 12})); // and 4 columns
    EXPECT_FALSE(tile.holds(TileGrid{48, 16, 0, 12}));
    const TileGrid block{16, 16, 0, 12};
    EXPECT_FALSE(block.holds(tile));
}

} // namespace
