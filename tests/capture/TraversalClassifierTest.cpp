// Paths between tiles named from the sequence of cells alone: directions,
// the fast axis, too few steps, and sequences no path explains.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "TraversalClassifier.h"

using Vellumar::capture::Axis;
using Vellumar::capture::TileCell;
using Vellumar::capture::Traversal;
namespace TraversalClassifier = Vellumar::capture::TraversalClassifier;
using Vellumar::capture::TraversalEstimate;

namespace {

std::vector<TileCell> sequenceOf(const std::vector<std::pair<int, int>>& cells) {
    std::vector<TileCell> sequence;
    for (const auto& [x, y] : cells) {
        sequence.push_back(TileCell{x, y, static_cast<std::uint32_t>(sequence.size())});
    }
    return sequence;
}

TEST(TraversalClassifier, RowsFromTheTopAndRightToLeftKeepTheirDirection) {
    // A rasteriser that starts at the window's top row, as one drawing into
    // a top-down framebuffer does.
    std::vector<std::pair<int, int>> cells;
    for (int y = 5; y >= 0; --y) {
        for (int x = 0; x < 8; ++x) {
            cells.emplace_back(x, y);
        }
    }
    TraversalEstimate estimate = TraversalClassifier::classify(8, 6, sequenceOf(cells));
    EXPECT_EQ(estimate.pattern, Traversal::rowMajor);
    EXPECT_EQ(estimate.xStep, 1);
    EXPECT_EQ(estimate.yStep, -1);
    EXPECT_DOUBLE_EQ(estimate.confidence, 1.0);

    for (auto& [x, y] : cells) {
        x = 7 - x;
    }
    estimate = TraversalClassifier::classify(8, 6, sequenceOf(cells));
    EXPECT_EQ(estimate.pattern, Traversal::rowMajor);
    EXPECT_EQ(estimate.xStep, -1);
    EXPECT_EQ(estimate.yStep, -1);
}

TEST(TraversalClassifier, ColumnsSerpentineAndZCurveWithYFirst) {
    std::vector<std::pair<int, int>> columns;
    std::vector<std::pair<int, int>> snake;
    for (int x = 0; x < 6; ++x) {
        for (int y = 0; y < 8; ++y) {
            columns.emplace_back(x, y);
            snake.emplace_back(x, x % 2 == 0 ? y : 7 - y);
        }
    }
    TraversalEstimate estimate = TraversalClassifier::classify(6, 8, sequenceOf(columns));
    EXPECT_EQ(estimate.pattern, Traversal::columnMajor);
    EXPECT_EQ(estimate.fastAxis, Axis::y);

    estimate = TraversalClassifier::classify(6, 8, sequenceOf(snake));
    EXPECT_EQ(estimate.pattern, Traversal::serpentine);
    EXPECT_EQ(estimate.fastAxis, Axis::y);

    // N curve: y takes the lowest bit.
    std::vector<std::pair<int, int>> curve;
    for (int i = 0; i < 64; ++i) {
        int x = 0;
        int y = 0;
        for (int bit = 0; bit < 3; ++bit) {
            y |= ((i >> (2 * bit)) & 1) << bit;
            x |= ((i >> (2 * bit + 1)) & 1) << bit;
        }
        curve.emplace_back(x, y);
    }
    estimate = TraversalClassifier::classify(8, 8, sequenceOf(curve));
    EXPECT_EQ(estimate.pattern, Traversal::zOrder);
    EXPECT_EQ(estimate.fastAxis, Axis::y);
    EXPECT_DOUBLE_EQ(estimate.confidence, 1.0);
}

TEST(TraversalClassifier, MissingCellsDoNotBreakAWalk) {
    // Cells with no covered pixel are not in the sequence; the walk skips them.
    std::vector<std::pair<int, int>> cells;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            if ((x + y) % 3 != 0) {
                cells.emplace_back(x, y);
            }
        }
    }
    const TraversalEstimate estimate = TraversalClassifier::classify(8, 6, sequenceOf(cells));
    EXPECT_EQ(estimate.pattern, Traversal::rowMajor);
    EXPECT_DOUBLE_EQ(estimate.confidence, 1.0);
}

TEST(TraversalClassifier, LargeGridsKeepTheirOrder) {
    // 400 x 300 cells: keys beyond 16 bits, as for 2 x 2 units of a window.
    std::vector<std::pair<int, int>> cells;
    for (int x = 0; x < 400; ++x) {
        for (int y = 0; y < 300; ++y) {
            cells.emplace_back(x, y);
        }
    }
    const std::vector<TileCell> sequence = sequenceOf(cells);
    const TraversalEstimate estimate = TraversalClassifier::classify(400, 300, sequence);
    EXPECT_EQ(estimate.pattern, Traversal::columnMajor);
    EXPECT_DOUBLE_EQ(estimate.confidence, 1.0);
    const std::vector<bool> hits =
        TraversalClassifier::predictedSteps(400, 300, sequence, estimate);
    EXPECT_EQ(std::count(hits.begin(), hits.end(), true), 400 * 300 - 1);
}

TEST(TraversalClassifier, PredictedStepsMarkWhereTheWalkBreaks) {
    // Row by row, with one cell out of place.
    std::vector<std::pair<int, int>> cells;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            cells.emplace_back(x, y);
        }
    }
    std::swap(cells[10], cells[20]);
    const std::vector<TileCell> sequence = sequenceOf(cells);
    const TraversalEstimate estimate = TraversalClassifier::classify(8, 4, sequence);
    ASSERT_EQ(estimate.pattern, Traversal::rowMajor);
    const std::vector<bool> hits = TraversalClassifier::predictedSteps(8, 4, sequence, estimate);
    ASSERT_EQ(hits.size(), 31u);
    for (std::size_t i = 0; i < hits.size(); ++i) {
        EXPECT_EQ(hits[i], i != 9 && i != 10 && i != 19 && i != 20) << i;
    }
    TraversalEstimate none;
    const std::vector<bool> noHits = TraversalClassifier::predictedSteps(8, 4, sequence, none);
    EXPECT_EQ(std::count(noHits.begin(), noHits.end(), true), 0);
}

TEST(TraversalClassifier, FewStepsGiveLittleConfidence) {
    const TraversalEstimate square =
        TraversalClassifier::classify(2, 2, sequenceOf({{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
    EXPECT_LT(square.confidence, 0.5);
    EXPECT_EQ(TraversalClassifier::classify(1, 1, sequenceOf({{0, 0}})).pattern,
              Traversal::unknown);
    EXPECT_EQ(TraversalClassifier::classify(3, 3, {}).pattern, Traversal::unknown);
}

TEST(TraversalClassifier, ShuffledCellsAreUnknown) {
    std::vector<std::pair<int, int>> cells;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            cells.emplace_back(x, y);
        }
    }
    std::shuffle(cells.begin(), cells.end(), std::mt19937(5));
    const TraversalEstimate estimate = TraversalClassifier::classify(8, 8, sequenceOf(cells));
    EXPECT_EQ(estimate.pattern, Traversal::unknown);
    EXPECT_EQ(estimate.confidence, 0.0);
}

} // namespace
