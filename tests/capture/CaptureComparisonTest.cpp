// Two captures compared: one with itself, one with its order reversed, and
// two of different sizes over their common lower-left area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "CaptureComparison.h"

using Vellumar::capture::CaptureComparison;
using Vellumar::capture::FragmentCapture;
using Vellumar::capture::TileEstimate;

namespace {

// Every pixel covered, rows bottom to top, in `width`-wide rows.
FragmentCapture rowMajor(int width, int height) {
    FragmentCapture capture = FragmentCapture::blank(width, height);
    for (std::size_t p = 0; p < capture.pixelCount(); ++p) {
        capture.order[p] = static_cast<std::uint32_t>(p);
        capture.overdraw[p] = 1;
    }
    return capture;
}

TileEstimate tiles(int side) {
    TileEstimate tile;
    tile.size = {side, side};
    return tile;
}

TEST(CaptureComparison, OneOrderWithItselfAndReversed) {
    const FragmentCapture capture = rowMajor(8, 8);
    const CaptureComparison same(capture, tiles(4), capture, tiles(4));
    EXPECT_EQ(same.sharedPixels(), 64u);
    EXPECT_DOUBLE_EQ(*same.rankCorrelation(), 1.0);
    EXPECT_DOUBLE_EQ(*same.sameTileShare(), 1.0);
    for (const auto& pixel : same.differencePicture().pixels) {
        EXPECT_EQ(pixel.r + pixel.g + pixel.b, 0);
    }

    FragmentCapture reversed = capture;
    std::reverse(reversed.order.begin(), reversed.order.end());
    const CaptureComparison opposite(capture, tiles(4), reversed, tiles(4));
    EXPECT_DOUBLE_EQ(*opposite.rankCorrelation(), -1.0);
    // Four tiles walked backwards: none keeps its place.
    EXPECT_DOUBLE_EQ(*opposite.sameTileShare(), 0.0);
    EXPECT_EQ(opposite.differencePicture().pixels[0].r, 255);
    // Without a tile in one of them there is no tile place to compare.
    EXPECT_FALSE(CaptureComparison(capture, tiles(4), capture, TileEstimate{}).sameTileShare());
}

TEST(CaptureComparison, DifferentSizesCompareOverTheCommonArea) {
    // 8 wide and 4 wide, both row by row: the common 4 x 4 comes in the same
    // order, but for the pixel B never reached.
    const FragmentCapture wide = rowMajor(8, 4);
    FragmentCapture tall = rowMajor(4, 6);
    tall.order[tall.pixelIndex(3, 3)] = FragmentCapture::notCovered;
    const CaptureComparison comparison(wide, tiles(2), tall, tiles(2));
    EXPECT_EQ(comparison.width(), 4);
    EXPECT_EQ(comparison.height(), 4);
    EXPECT_EQ(comparison.sharedPixels(), 15u);
    EXPECT_DOUBLE_EQ(*comparison.rankCorrelation(), 1.0);
    EXPECT_DOUBLE_EQ(*comparison.sameTileShare(), 1.0);
    const auto picture = comparison.differencePicture();
    EXPECT_EQ(picture.pixels[3 * 4 + 3].b, CaptureComparison::oneCaptureOnly.b);
    EXPECT_EQ(picture.pixels[0].b, 0);
}

} // namespace
