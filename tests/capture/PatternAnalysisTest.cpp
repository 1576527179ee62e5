// Tile size, walk and blocks found in order maps built with a known layout:
// each walk, other tile sizes, threads, partial edge tiles, nested blocks,
// gaps from overdraw, holes in the coverage, sparse grids and points, a
// handful of pixels, and data with no structure; and the text that tells the
// findings.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "FindingsText.h"
#include "PatternAnalysis.h"
#include "SyntheticCapture.h"

using testsupport::makeCapture;
using testsupport::makeNoise;
using testsupport::SyntheticLayout;
using testsupport::Unit;
using testsupport::Walk;
using Vellumar::capture::Axis;
using Vellumar::capture::findingsLine;
using Vellumar::capture::FragmentCapture;
namespace PatternAnalysis = Vellumar::capture::PatternAnalysis;
using Vellumar::capture::PatternReport;
using Vellumar::capture::subgroupText;
using Vellumar::capture::tileText;
using Vellumar::capture::Traversal;
using Vellumar::capture::traversalName;

namespace {

PatternReport analyse(const SyntheticLayout& layout) {
    return PatternAnalysis::analyse(makeCapture(layout));
}

void expectTile(const PatternReport& report, int width, int height) {
    EXPECT_EQ(report.tile.size.width, width);
    EXPECT_EQ(report.tile.size.height, height);
}

TEST(PatternAnalysis, FindsTheTileAndEachWalkBetweenTiles) {
    struct Case {
        Walk walk;
        Walk pixels;
        Traversal expected;
        Axis fastAxis;
    };
    // Column-major tiles walk their pixels column by column too: with rows
    // inside, the tile height would not show in the data (see the next test).
    const Case cases[] = {
        {Walk::rowMajor, Walk::rowMajor, Traversal::rowMajor, Axis::x},
        {Walk::columnMajor, Walk::columnMajor, Traversal::columnMajor, Axis::y},
        {Walk::serpentine, Walk::rowMajor, Traversal::serpentine, Axis::x},
        {Walk::zOrder, Walk::rowMajor, Traversal::zOrder, Axis::x},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(traversalName(c.expected));
        SyntheticLayout layout;
        layout.tileWalk = c.walk;
        layout.pixelWalk = c.pixels;
        const PatternReport report = analyse(layout);
        expectTile(report, 64, 64);
        EXPECT_GT(report.tile.confidence, 0.9);
        EXPECT_EQ(report.traversal.pattern, c.expected);
        EXPECT_GT(report.traversal.confidence, 0.95);
        EXPECT_EQ(report.traversal.fastAxis, c.fastAxis);
        EXPECT_EQ(report.traversal.xStep, 1);
        EXPECT_EQ(report.traversal.yStep, 1);
        EXPECT_EQ(report.tile.measure.fullTiles, 64);
        EXPECT_DOUBLE_EQ(report.tile.measure.tightness, 1.0);
        // Pixel by pixel inside: no block larger than a pixel.
        EXPECT_EQ(report.block.width, 1);
        EXPECT_EQ(report.block.height, 1);
    }
}

TEST(PatternAnalysis, RowsThatContinueAColumnWalkShowNoTileHeight) {
    // Rows of 64 pixels going up a column of tiles, then the next column:
    // the same order as 64-wide columns of rows, whatever the tile height.
    SyntheticLayout layout;
    layout.tileWalk = Walk::columnMajor;
    const PatternReport report = analyse(layout);
    expectTile(report, 64, 1);
    EXPECT_EQ(report.traversal.pattern, Traversal::columnMajor);
}

TEST(PatternAnalysis, FindsOtherTileSizes) {
    for (auto [w, h] : {std::pair{32, 16}, std::pair{8, 8}, std::pair{16, 32}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        SyntheticLayout layout;
        layout.tileWidth = w;
        layout.tileHeight = h;
        const PatternReport report = analyse(layout);
        expectTile(report, w, h);
        EXPECT_EQ(report.traversal.pattern, Traversal::rowMajor);
    }
}

TEST(PatternAnalysis, PartialTilesAtTheWindowEdgeDoNotDisturb) {
    SyntheticLayout layout;
    layout.width = 500;
    layout.height = 300;
    const PatternReport report = analyse(layout);
    expectTile(report, 64, 64);
    EXPECT_GT(report.tile.confidence, 0.9);
    EXPECT_EQ(report.traversal.pattern, Traversal::rowMajor);
    EXPECT_GT(report.traversal.confidence, 0.95);
    // Only the 7 x 4 whole tiles are scored; the cut ones still walk.
    EXPECT_EQ(report.tile.measure.fullTiles, 28);
    EXPECT_EQ(report.fragments, 500u * 300u);
}

TEST(PatternAnalysis, TilesAlignedToTheTopEdgeOfTheWindow) {
    // A rasteriser that tiles a top-down framebuffer: whole tiles hang from
    // the top edge, the cut row is at the bottom, and the walk goes down.
    SyntheticLayout layout;
    layout.width = 500;
    layout.height = 300;
    layout.fromTop = true;
    layout.inside = {Unit{16, 16, Walk::rowMajor}, Unit{4, 4, Walk::rowMajor}};
    const PatternReport report = analyse(layout);
    expectTile(report, 64, 64);
    EXPECT_EQ(report.tile.offsetX, 0);
    EXPECT_EQ(report.tile.offsetY, 300 % 64);
    EXPECT_GT(report.tile.confidence, 0.9);
    EXPECT_EQ(report.tile.measure.fullTiles, 28);
    EXPECT_EQ(report.traversal.pattern, Traversal::rowMajor);
    EXPECT_EQ(report.traversal.xStep, 1);
    EXPECT_EQ(report.traversal.yStep, -1);
    EXPECT_EQ(report.block.width, 16);
    EXPECT_EQ(report.block.height, 16);
}

TEST(PatternAnalysis, ThreadsTakingTilesInTurnAreInterleaved) {
    // Fragments mixed one by one, and in runs of 8 with which two threads
    // keep pace: a pair of tiles side by side then finishes together, and
    // looks like one tight tile whose order nearly repeats.
    for (auto [threads, run] : {std::pair{2, 1}, std::pair{4, 1}, std::pair{2, 8}}) {
        SCOPED_TRACE(std::to_string(threads) + " threads, runs of " + std::to_string(run));
        SyntheticLayout layout;
        layout.threads = threads;
        layout.run = run;
        layout.seed = 11u + static_cast<std::uint32_t>(threads);
        const PatternReport report = analyse(layout);
        // Each thread's tile keeps its inner order, so the tile still shows;
        // about `threads` tiles are in flight at once, and which of them
        // comes first is chance.
        expectTile(report, 64, 64);
        EXPECT_NEAR(report.tile.measure.concurrency, threads, 0.3);
        EXPECT_LT(report.tile.measure.tightness, 0.6);
        EXPECT_EQ(report.traversal.pattern, Traversal::interleaved);
        EXPECT_LT(report.traversal.confidence, 0.5);
        EXPECT_GT(report.traversal.confidence, 0.1);
        EXPECT_LT(report.tile.confidence, 0.5);
        EXPECT_GT(report.tile.confidence, 0.1);
    }
}

TEST(PatternAnalysis, ATileLeftHalfDoneMeansTilesInFlightTogether) {
    // A thread stops halfway through the first tile while another shades
    // all the others, then finishes it: every other tile is one tight run,
    // yet two tiles were in flight all the time. Not a confident row-major.
    FragmentCapture capture = makeCapture(SyntheticLayout{});
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            std::uint32_t& order = capture.order[capture.pixelIndex(x, y)];
            if (order >= 2048) {
                order += 512 * 512;
            }
        }
    }
    const PatternReport report = PatternAnalysis::analyse(capture);
    expectTile(report, 64, 64);
    EXPECT_GT(report.tile.measure.tightness, 0.9);
    EXPECT_GT(report.tile.measure.concurrency, 1.5);
    EXPECT_EQ(report.traversal.pattern, Traversal::interleaved);
    EXPECT_LT(report.traversal.confidence, 0.5);
    EXPECT_LT(report.tile.confidence, 0.5);
}

TEST(PatternAnalysis, BlocksAreReadInsideEachTileOnItsOwn) {
    // Rows of 4 x 4 blocks across each tile, as llvmpipe shades a wholly
    // covered tile: 16 x 4 is one run too, but only as a piece of a row. The
    // same block at any window size and with threads mixing their tiles.
    for (auto [w, h, threads] : {std::tuple{500, 300, 1}, std::tuple{512, 512, 2}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + ", threads " +
                     std::to_string(threads));
        SyntheticLayout layout;
        layout.width = w;
        layout.height = h;
        layout.threads = threads;
        layout.inside = {Unit{4, 4, Walk::rowMajor}};
        const PatternReport report = analyse(layout);
        expectTile(report, 64, 64);
        EXPECT_EQ(report.block.width, 4);
        EXPECT_EQ(report.block.height, 4);
    }
    SyntheticLayout nested;
    nested.threads = 2;
    nested.inside = {Unit{16, 16, Walk::rowMajor}, Unit{4, 4, Walk::rowMajor}};
    PatternReport report = analyse(nested);
    EXPECT_EQ(report.traversal.pattern, Traversal::interleaved);
    expectTile(report, 64, 64);
    EXPECT_EQ(report.block.width, 16);
    EXPECT_EQ(report.block.height, 16);

    // Every other tile goes by rows of 4 x 4 blocks: 16 x 4 is shaded in one
    // go in every tile, but in those only as a piece of a row.
    nested.threads = 1;
    nested.otherEvery = 2;
    nested.otherInside = {Unit{4, 4, Walk::rowMajor}};
    report = analyse(nested);
    EXPECT_EQ(report.block.width, 4);
    EXPECT_EQ(report.block.height, 4);
    // Every eighth tile goes by columns of them: most 16 x 16 blocks are
    // still shaded in one go, but not every tile's.
    nested.otherEvery = 8;
    nested.otherInside = {Unit{4, 4, Walk::columnMajor}};
    report = analyse(nested);
    EXPECT_EQ(report.block.width, 4);
    EXPECT_EQ(report.block.height, 4);
}

TEST(PatternAnalysis, SparseGridsAndPointsReadAsTheDenseFrameDoes) {
    // 4 x 4 primitives every 8 pixels over 64 x 64 tiles of 4 x 4 blocks:
    // a quarter of the pixels, none of them on a tile's edge.
    SyntheticLayout layout;
    layout.inside = {Unit{4, 4, Walk::rowMajor}};
    layout.subgroupSize = 8;
    layout.coverStep = 8;
    layout.coverSide = 4;
    PatternReport report = analyse(layout);
    expectTile(report, 64, 64);
    EXPECT_GT(report.tile.confidence, 0.5);
    EXPECT_EQ(report.traversal.pattern, Traversal::rowMajor);
    EXPECT_EQ(report.block.width, 4);
    EXPECT_EQ(report.block.height, 4);
    EXPECT_EQ(subgroupText(report), "8 lanes (8 active), 4x2");

    // Points: one pixel in 64, one to a subgroup. No block and no subgroup
    // size can show.
    layout.coverSide = 1;
    report = analyse(layout);
    EXPECT_EQ(report.fragments, 64u * 64u);
    expectTile(report, 64, 64);
    EXPECT_EQ(report.traversal.pattern, Traversal::rowMajor);
    EXPECT_FALSE(report.block.known());
    EXPECT_EQ(subgroupText(report), "lanes unknown (1 active)");
}

TEST(PatternAnalysis, AHandfulOfPixelsReadsNothing) {
    // One 8 x 8 primitive drawn on one spot.
    SyntheticLayout layout;
    layout.inside = {Unit{4, 4, Walk::rowMajor}};
    FragmentCapture capture = makeCapture(layout);
    for (int y = 0; y < capture.height; ++y) {
        for (int x = 0; x < capture.width; ++x) {
            if (x < 256 || x >= 264 || y < 256 || y >= 264) {
                capture.order[capture.pixelIndex(x, y)] = FragmentCapture::notCovered;
                capture.overdraw[capture.pixelIndex(x, y)] = 0;
            }
        }
    }
    const PatternReport report = PatternAnalysis::analyse(capture);
    EXPECT_EQ(report.fragments, 64u);
    EXPECT_FALSE(report.tile.size.known());
    EXPECT_EQ(report.tile.confidence, 0.0);
    EXPECT_EQ(report.traversal.pattern, Traversal::unknown);
    EXPECT_EQ(report.traversal.confidence, 0.0);
    EXPECT_FALSE(report.block.known());
}

TEST(PatternAnalysis, BlocksInsideTilesAreFound) {
    SyntheticLayout layout;
    layout.inside = {Unit{2, 2, Walk::rowMajor}};
    PatternReport report = analyse(layout);
    expectTile(report, 64, 64);
    EXPECT_EQ(report.block.width, 2);
    EXPECT_EQ(report.block.height, 2);

    layout.inside = {Unit{4, 2, Walk::rowMajor}};
    report = analyse(layout);
    expectTile(report, 64, 64);
    EXPECT_EQ(report.block.width, 4);
    EXPECT_EQ(report.block.height, 2);
}

TEST(PatternAnalysis, NestedBlocksKeepTheOutermostAsTheTile) {
    // 64 x 64 tiles of 16 x 16 blocks of 4 x 4 blocks of 4 x 2 halves of
    // 2 x 2 quads, like a CPU rasteriser: every level is tight and has edges.
    SyntheticLayout layout;
    layout.inside = {Unit{16, 16, Walk::rowMajor}, Unit{4, 4, Walk::rowMajor},
                     Unit{4, 2, Walk::rowMajor}, Unit{2, 2, Walk::rowMajor}};
    const PatternReport report = analyse(layout);
    expectTile(report, 64, 64);
    EXPECT_GT(report.tile.confidence, 0.9);
    EXPECT_EQ(report.traversal.pattern, Traversal::rowMajor);
    EXPECT_EQ(report.block.width, 16);
    EXPECT_EQ(report.block.height, 16);
    auto hasLevel = [&](int w, int h) {
        for (const auto& level : report.levels) {
            if (level.width == w && level.height == h) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(hasLevel(2, 2));
    EXPECT_TRUE(hasLevel(4, 4));
    EXPECT_TRUE(hasLevel(16, 16));
    EXPECT_TRUE(hasLevel(64, 64));
    EXPECT_FALSE(hasLevel(8, 8));
}

TEST(PatternAnalysis, CounterGapsFromOverdrawChangeNothing) {
    SyntheticLayout layout;
    layout.inside = {Unit{2, 2, Walk::rowMajor}};
    const PatternReport dense = analyse(layout);
    layout.orderStep = 7;
    const PatternReport sparse = analyse(layout);
    expectTile(sparse, dense.tile.size.width, dense.tile.size.height);
    EXPECT_EQ(sparse.traversal.pattern, dense.traversal.pattern);
    EXPECT_EQ(sparse.block.width, dense.block.width);
    EXPECT_DOUBLE_EQ(sparse.tile.confidence, dense.tile.confidence);
}

TEST(PatternAnalysis, UncoveredPixelsLeaveTheTileVisible) {
    // The right half of the window stays empty, and a thin stripe too.
    FragmentCapture capture = makeCapture(SyntheticLayout{});
    for (int y = 0; y < capture.height; ++y) {
        for (int x = 0; x < capture.width; ++x) {
            if (x >= 256 || y == 100) {
                capture.order[capture.pixelIndex(x, y)] = FragmentCapture::notCovered;
                capture.overdraw[capture.pixelIndex(x, y)] = 0;
            }
        }
    }
    const PatternReport report = PatternAnalysis::analyse(capture);
    expectTile(report, 64, 64);
    EXPECT_EQ(report.traversal.pattern, Traversal::rowMajor);
    EXPECT_EQ(report.fragments, 256u * 511u);
}

TEST(PatternAnalysis, TilesThatBreakTheInnerOrderLowerTheConfidence) {
    // Two tiles shaded back to front (another primitive took over, say).
    FragmentCapture capture = makeCapture(SyntheticLayout{});
    for (auto [tileX, tileY] : {std::pair{1, 1}, std::pair{2, 6}}) {
        std::vector<std::uint32_t> orders;
        for (int y = tileY * 64; y < tileY * 64 + 64; ++y) {
            for (int x = tileX * 64; x < tileX * 64 + 64; ++x) {
                orders.push_back(capture.order[capture.pixelIndex(x, y)]);
            }
        }
        for (int y = tileY * 64; y < tileY * 64 + 64; ++y) {
            for (int x = tileX * 64; x < tileX * 64 + 64; ++x) {
                capture.order[capture.pixelIndex(x, y)] = orders.back();
                orders.pop_back();
            }
        }
    }
    const PatternReport report = PatternAnalysis::analyse(capture);
    expectTile(report, 64, 64);
    EXPECT_EQ(report.traversal.pattern, Traversal::rowMajor);
    EXPECT_LT(report.tile.confidence, 0.97);
    EXPECT_GT(report.tile.confidence, 0.85);
}

TEST(PatternAnalysis, RandomOrderIsUnknown) {
    const PatternReport report = PatternAnalysis::analyse(makeNoise(256, 256, 3));
    EXPECT_FALSE(report.tile.size.known());
    EXPECT_LT(report.tile.confidence, 0.2);
    EXPECT_EQ(report.traversal.pattern, Traversal::unknown);
    EXPECT_FALSE(report.block.known());
    EXPECT_EQ(report.fragments, 256u * 256u);
}

TEST(PatternAnalysis, TooLittleDataGivesUnknownWithoutFailing) {
    // Smaller than one tile: plain rows, no tile to see.
    SyntheticLayout small;
    small.width = 40;
    small.height = 40;
    EXPECT_FALSE(analyse(small).tile.size.known());

    for (auto [w, h] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{7, 0}, std::pair{1, 300}}) {
        FragmentCapture capture = FragmentCapture::blank(w, h);
        if (capture.pixelCount() > 0) {
            capture.order[0] = 0;
            capture.overdraw[0] = 1;
        }
        const PatternReport report = PatternAnalysis::analyse(capture);
        EXPECT_FALSE(report.tile.size.known());
        EXPECT_EQ(report.traversal.pattern, Traversal::unknown);
        EXPECT_EQ(report.fragments, capture.pixelCount() > 0 ? 1u : 0u);
    }
}

TEST(PatternAnalysis, OneWholeTileGivesHalfTheConfidence) {
    // 100 x 100 holds one whole 64 x 64 tile: tight, but nothing to compare.
    SyntheticLayout layout;
    layout.width = 100;
    layout.height = 100;
    const PatternReport report = analyse(layout);
    expectTile(report, 64, 64);
    EXPECT_LE(report.tile.confidence, 0.5);
    EXPECT_GT(report.tile.confidence, 0.2);
    EXPECT_LT(report.traversal.confidence, 0.5); // 4 tiles, 3 steps
}

TEST(FindingsText, TellsWhatWasFoundAndWhatWasNot) {
    SyntheticLayout layout;
    layout.inside = {Unit{4, 2, Walk::rowMajor}};
    layout.subgroupSize = 8;
    const PatternReport found = analyse(layout);
    EXPECT_EQ(findingsLine(found),
              "262144 fragments on 262144 pixels; tile 64x64 (confidence 1.00), row-major; "
              "block 4x2; subgroup 8 lanes (8 active), 4x2");
    EXPECT_EQ(tileText(found.tile), "64x64 (1.00)"); // the Capture bar's short form

    PatternReport nothing = PatternAnalysis::analyse(makeNoise(64, 64, 3));
    nothing.shaded = 5000;
    nothing.dropped = 904;
    nothing.loopsCutAt = 65535;
    EXPECT_EQ(findingsLine(nothing),
              "5000 fragments on 4096 pixels, 904 dropped, loops cut at 65535; tile unknown, "
              "unknown; block unknown; subgroup unavailable");
    EXPECT_EQ(tileText(nothing.tile), "unknown");
}

} // namespace
