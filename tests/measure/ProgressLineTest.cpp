#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ProgressLine.h"

using Vellumar::measure::Progress;
using Vellumar::measure::progressBar;
using Vellumar::measure::progressPlainLine;

namespace {

// Half done after ELAPSED seconds: as many seconds left.
std::string leftAfter(double elapsed) {
    const std::string line = progressPlainLine({1, 2, "", elapsed});
    return line.substr(line.find('(') + 1);
}

TEST(ProgressLine, EstimateScalesTheFinishedConfigurationsAndRoundsUp) {
    EXPECT_EQ(leftAfter(0), "0:00 left)\n");
    EXPECT_EQ(leftAfter(0.2), "0:01 left)\n");
    EXPECT_EQ(leftAfter(61), "1:01 left)\n");
    EXPECT_EQ(leftAfter(3 * 3600 + 5 * 60 + 9), "3:05:09 left)\n");
    EXPECT_EQ(leftAfter(std::nan("")), "? left)\n");
    EXPECT_EQ(leftAfter(1e300), "? left)\n");
    EXPECT_EQ(progressPlainLine({2, 12, "loopsCount.x=100 curTest=1", 40.0}),
              "configuration 3/12: loopsCount.x=100 curTest=1 (3:20 left)\n");
    EXPECT_EQ(progressPlainLine({0, 1, "", 5.0}), "configuration 1/1 (? left)\n");
    EXPECT_EQ(progressPlainLine({12, 10, "", 30.0}), "configuration 10/10 (0:00 left)\n");
}

TEST(ProgressLine, BarRedrawsInPlaceAtTheGivenWidth) {
    const std::string bar = progressBar({5, 20, "curPrim=4", 50.0}, 60);
    EXPECT_EQ(bar, "\r[#####...............]  6/20  curPrim=4  2:30 left" + std::string(9, ' '));
    EXPECT_EQ(bar.size(), 60u); // '\r' and 59 columns
    const std::string done = progressBar({20, 20, "", 10.0}, 40);
    EXPECT_EQ(done.substr(0, 23), "\r[####################]");
}

TEST(ProgressLine, LongConfigurationTextIsCutToFit) {
    const std::string text(200, 'x');
    const std::string bar = progressBar({1, 3, text, 1.0}, 60);
    EXPECT_EQ(bar.size(), 60u);
    EXPECT_NE(bar.find("xxx...  0:02 left"), std::string::npos) << bar;
    // Too narrow for any text: the fixed parts still come out whole.
    const std::string narrow = progressBar({1, 3, text, 1.0}, 10);
    EXPECT_EQ(narrow.find('x'), std::string::npos);
    EXPECT_NE(narrow.find("0:02 left"), std::string::npos);
    EXPECT_EQ(progressBar({0, 0, "", 0.0}, 0).substr(0, 4), "\r[..");
}

} // namespace
