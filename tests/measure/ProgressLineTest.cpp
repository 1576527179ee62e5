#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ProgressLine.h"

using Vellumar::measure::formatDuration;
using Vellumar::measure::Progress;
using Vellumar::measure::progressBar;
using Vellumar::measure::progressPlainLine;
using Vellumar::measure::secondsLeft;

namespace {

TEST(ProgressLine, DurationsRoundUpToWholeSeconds) {
    EXPECT_EQ(formatDuration(0), "0:00");
    EXPECT_EQ(formatDuration(0.2), "0:01");
    EXPECT_EQ(formatDuration(59), "0:59");
    EXPECT_EQ(formatDuration(61), "1:01");
    EXPECT_EQ(formatDuration(3600), "1:00:00");
    EXPECT_EQ(formatDuration(3 * 3600 + 5 * 60 + 9), "3:05:09");
    EXPECT_EQ(formatDuration(-1), "?");
    EXPECT_EQ(formatDuration(std::nan("")), "?");
    EXPECT_EQ(formatDuration(1e300), "?");
}

TEST(ProgressLine, EstimateScalesTheAverageOfTheFinishedConfigurations) {
    EXPECT_LT(secondsLeft({0, 10, "", 5.0}), 0.0); // nothing finished yet
    EXPECT_DOUBLE_EQ(secondsLeft({2, 10, "", 5.0}), 20.0);
    EXPECT_DOUBLE_EQ(secondsLeft({10, 10, "", 30.0}), 0.0);
    EXPECT_DOUBLE_EQ(secondsLeft({12, 10, "", 30.0}), 0.0); // past the end: nothing left
}

TEST(ProgressLine, PlainLineForLogs) {
    EXPECT_EQ(progressPlainLine({2, 12, "loopsCount.x=100 curTest=1", 40.0}),
              "configuration 3/12: loopsCount.x=100 curTest=1 (3:20 left)\n");
    EXPECT_EQ(progressPlainLine({0, 1, "", 0.0}), "configuration 1/1 (? left)\n");
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
