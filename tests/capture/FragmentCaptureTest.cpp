// The capture's own checks and the ranking every analysis starts from.
#include <gtest/gtest.h>

#include <stdexcept>

#include "FragmentCapture.h"
#include "OrderIndex.h"

using Vellumar::capture::FragmentCapture;
using Vellumar::capture::OrderIndex;

namespace {

TEST(FragmentCapture, BlankCaptureIsUncoveredWithNothingOptional) {
    const FragmentCapture capture = FragmentCapture::blank(5, 3);
    EXPECT_EQ(capture.pixelCount(), 15u);
    EXPECT_EQ(capture.pixelIndex(4, 2), 14u);
    for (std::size_t p = 0; p < capture.pixelCount(); ++p) {
        EXPECT_FALSE(capture.covered(p));
        EXPECT_EQ(capture.overdraw[p], 0u);
    }
    EXPECT_FALSE(capture.clockAvailable || capture.ballotAvailable || capture.primitiveAvailable ||
                 capture.threadGroupAvailable);
    EXPECT_TRUE(capture.clockStart.empty() && capture.subgroup.empty() &&
                capture.primitive.empty() && capture.smId.empty());
    EXPECT_NO_THROW(capture.validate());
    EXPECT_NO_THROW(FragmentCapture::blank(0, 0).validate());
}

TEST(FragmentCapture, SizesOutsideTheRangeAreRefused) {
    EXPECT_THROW(FragmentCapture::blank(-1, 4), std::invalid_argument);
    EXPECT_THROW(FragmentCapture::blank(4, FragmentCapture::maxSide + 1), std::invalid_argument);
    FragmentCapture capture = FragmentCapture::blank(2, 2);
    capture.width = -2;
    EXPECT_THROW(capture.validate(), std::invalid_argument);
}

TEST(FragmentCapture, ValidateNamesArraysThatDoNotFitTheWindow) {
    FragmentCapture capture = FragmentCapture::blank(4, 4);
    capture.enableClock();
    capture.enableBallot();
    capture.enablePrimitive();
    capture.enableThreadGroup();
    EXPECT_NO_THROW(capture.validate());

    FragmentCapture shortLane = capture;
    shortLane.lane.pop_back();
    try {
        shortLane.validate();
        FAIL() << "a short lane array passed";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("lane"), std::string::npos) << e.what();
    }

    FragmentCapture shortOrder = FragmentCapture::blank(4, 4);
    shortOrder.order.resize(3);
    EXPECT_THROW(shortOrder.validate(), std::invalid_argument);

    // Values in a part marked unavailable would be shown as if measured.
    FragmentCapture fakeClock = FragmentCapture::blank(4, 4);
    fakeClock.clockStart.assign(16, 1);
    EXPECT_THROW(fakeClock.validate(), std::invalid_argument);
    FragmentCapture fakeWarp = FragmentCapture::blank(4, 4);
    fakeWarp.warpId.assign(16, 1);
    EXPECT_THROW(fakeWarp.validate(), std::invalid_argument);
}

TEST(OrderIndex, RanksCloseGapsAndSkipUncoveredPixels) {
    FragmentCapture capture = FragmentCapture::blank(3, 2);
    // Counter values with gaps (overdraw took the others), one pixel uncovered.
    const std::uint32_t order[] = {70, 5, FragmentCapture::notCovered, 1000000, 6, 0x10000};
    capture.order.assign(std::begin(order), std::end(order));
    const OrderIndex index(capture);
    EXPECT_EQ(index.fragments(), 5u);
    const std::vector<std::uint32_t> ranks{2, 0, OrderIndex::noRank, 4, 1, 3};
    EXPECT_EQ(index.ranks(), ranks);
    const std::vector<std::uint32_t> inOrder{1, 4, 0, 5, 3};
    EXPECT_EQ(index.pixelsInOrder(), inOrder);
}

TEST(OrderIndex, EqualValuesKeepPixelOrderAndHighBitsCount) {
    FragmentCapture capture = FragmentCapture::blank(4, 1);
    // The high 16 bits decide before the low ones; ties go by pixel index.
    const std::uint32_t order[] = {0x00020000, 0x0001ffff, 0x00020000, 0xfffffffe};
    capture.order.assign(std::begin(order), std::end(order));
    const OrderIndex index(capture);
    const std::vector<std::uint32_t> inOrder{1, 0, 2, 3};
    EXPECT_EQ(index.pixelsInOrder(), inOrder);
}

TEST(OrderIndex, InconsistentCaptureIsRefused) {
    FragmentCapture capture = FragmentCapture::blank(4, 4);
    capture.overdraw.clear();
    EXPECT_THROW(OrderIndex{capture}, std::invalid_argument);
}

} // namespace
