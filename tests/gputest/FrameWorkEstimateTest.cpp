// The work a frame asks for, worked out before it, and the one warning when
// the settings make it enormous.
#include <gtest/gtest.h>

#include <string>

#include "CapturedSink.h"
#include "GPUTestFixture.h"

namespace {

using namespace testsupport;

TEST_F(GPUTestFrame, TheEstimateFollowsTheTestsLoops) {
    // Start values: the big quad in fast mode.
    runFrame();
    EXPECT_EQ(test.frameWork.primitives, 1.0);
    EXPECT_EQ(test.frameWork.pixelCycles, 0.0);

    // One 512 x 512 quad, and a 1 x 1 freeze point running its own count.
    test.fastMode = false;
    test.estimateFrameWorkAndWarn(!test.fastMode);
    EXPECT_EQ(test.frameWork.pixelCycles, 512.0 * 512.0 * 200000.0 + (2000000.0 - 200000.0));
    // Where a capture saw the driver stop loops, no loop runs past the cut.
    test.loopsCutAt = 65535;
    test.estimateFrameWorkAndWarn(!test.fastMode);
    EXPECT_EQ(test.frameWork.pixelCycles, 512.0 * 512.0 * 65535.0);
    test.loopsCutAt = 0;
    test.blockingEnable = false;
    test.estimateFrameWorkAndWarn(!test.fastMode);
    EXPECT_EQ(test.frameWork.pixelCycles, 512.0 * 512.0 * 200000.0);

    // 16 x 16 tiles of 4 x 4 quads of 8 x 8 pixels, three times over.
    test.curTest = TEST_SMALL_PRIMITIVES;
    test.primRedrawCount = 3;
    test.loopsCount = {0, 10};
    test.estimateFrameWorkAndWarn(!test.fastMode);
    EXPECT_EQ(test.frameWork.primitives, 16.0 * 16.0 * 16.0 * 3.0);
    EXPECT_EQ(test.frameWork.pixelCycles, 16.0 * 16.0 * 16.0 * 3.0 * 64.0 * 10.0);
    // Wide, short tiles: a swapped axis would give another count.
    test.primTilingSize = {100, 20};
    test.primStep = {30, 7};
    test.primRedrawCount = 1;
    test.estimateFrameWorkAndWarn(!test.fastMode);
    EXPECT_EQ(test.frameWork.primitives, 6.0 * 26.0 * 4.0 * 3.0);

    // Sizes and steps below 1 draw nothing; negative loop counts run none.
    test.primStep = {0, 7};
    test.estimateFrameWorkAndWarn(!test.fastMode);
    EXPECT_EQ(test.frameWork.primitives, 0.0);
    test.primStep = {8, 8};
    test.loopsCount = {-5, -5};
    test.estimateFrameWorkAndWarn(!test.fastMode);
    EXPECT_EQ(test.frameWork.pixelCycles, 0.0);
}

TEST_F(GPUTestFrame, AnEnormousFrameIsAnnouncedOnceBeforeItStarts) {
    CapturedSink sink;
    test.curTest = TEST_SMALL_PRIMITIVES;
    test.primTilingSize = {2000000000, 2000000000}; // a few y presses with a large increment
    test.estimateFrameWorkAndWarn(!test.fastMode);
    EXPECT_GT(test.frameWork.primitives, 1.0e16);
    const std::string text = sink.text();
    EXPECT_EQ(text.rfind("INFO: the next frame draws about ", 0), 0u) << text;
    EXPECT_NE(text.find("the window does not answer"), std::string::npos) << text;
    test.estimateFrameWorkAndWarn(!test.fastMode);
    EXPECT_EQ(sink.text(), text) << "said once";

    // Back to a normal frame, then enormous again: said again.
    test.primTilingSize = {32, 32};
    test.estimateFrameWorkAndWarn(!test.fastMode);
    EXPECT_EQ(sink.text(), text);
    test.primRedrawCount = 1000000000;
    test.estimateFrameWorkAndWarn(!test.fastMode);
    EXPECT_NE(sink.text(), text);
    EXPECT_EQ(sink.text().find("CRITICAL"), std::string::npos) << "no pause";
}

} // namespace
