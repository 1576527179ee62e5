// The order in which the small-primitives test sends its primitives: tiles
// row by row from the lower-left corner, and inside each tile the primitives
// row by row from the tile's lower-left corner. The rasteriser's order is read
// against this one, so it is checked on the GL stream itself.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "GLCallCounter.h"
#include "GPUTestFixture.h"

using namespace testsupport;

namespace {

using PixelPosition = std::pair<int, int>;

class SmallPrimitiveOrder : public GPUTestFrame {
protected:
    // The pixel each point lands on, in the order the frame sent them.
    std::vector<PixelPosition> pointsSent() {
        testsupport::GLCallCounter counter;
        test.display();
        std::vector<PixelPosition> points;
        for (const auto& call : counter.callsOf("glVertex4f")) {
            points.emplace_back(static_cast<int>(std::lround((call.args[0] + 1.0) * 256.0)),
                                static_cast<int>(std::lround((call.args[1] + 1.0) * 256.0)));
        }
        return points;
    }
};

TEST_F(SmallPrimitiveOrder, TilesGoRowByRowAndSoDoThePrimitivesInsideEachTile) {
    test.curTest = TEST_SMALL_PRIMITIVES;
    test.curPrim = PRIM_POINTS;
    // Wide, short tiles and unequal steps, so that a swapped pair of loops
    // sends another sequence.
    test.primTilingSize = {64, 16};
    test.primStep = {16, 8};
    const std::vector<PixelPosition> points = pointsSent();
    ASSERT_EQ(points.size(), 8u * 32u * 4u * 2u); // 8 x 32 tiles of 4 x 2 points

    std::vector<PixelPosition> expected;
    for (int tileRow = 0; tileRow < 2; ++tileRow) {
        for (int tileColumn = 0; tileColumn < 8; ++tileColumn) {
            for (int y : {0, 8}) {
                for (int x : {0, 16, 32, 48}) {
                    expected.emplace_back(tileColumn * 64 + x, tileRow * 16 + y);
                }
            }
        }
    }
    EXPECT_EQ(std::vector<PixelPosition>(points.begin(), points.begin() + expected.size()),
              expected);
    EXPECT_EQ(points.back(), PixelPosition(7 * 64 + 48, 31 * 16 + 8));
}

} // namespace
