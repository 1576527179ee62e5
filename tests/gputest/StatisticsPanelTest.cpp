// The Statistics bar: its figures read where the bar reads them (the
// addresses its entries are bound to), from known frame times and from real
// frames, held test-mode frames included.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BarPointer.h"
#include "CapturedSink.h"
#include "GPUTestFixture.h"
#include "ResultsFiles.h"
#include "TweakBarProbe.h"

namespace {

using namespace testsupport;

// What an entry of the Statistics bar shows, read through its binding.
const void* boundAddress(const char* label) {
    auto bar = TwInspectBar("Statistics");
    if (!bar) {
        ADD_FAILURE() << "no Statistics bar";
        return nullptr;
    }
    for (const TwEntryInfo& entry : bar->entries) {
        if (entry.label == label) {
            return entry.address;
        }
    }
    ADD_FAILURE() << "no entry " << label;
    return nullptr;
}

double shownNumber(const char* label) {
    const void* address = boundAddress(label);
    return address ? *static_cast<const double*>(address) : -1.0;
}

int shownCount() {
    const void* address = boundAddress("Count");
    return address ? *static_cast<const int32_t*>(address) : -1;
}

std::string shownText(const char* label) {
    const void* address = boundAddress(label);
    const char* text = address ? *static_cast<const char* const*>(address) : nullptr;
    return text ? text : "(null)";
}

const Vellumar::tweakbar::PlotData& shownPlot() {
    static const Vellumar::tweakbar::PlotData none;
    const void* address = boundAddress("Wall times");
    return address ? *static_cast<const Vellumar::tweakbar::PlotData*>(address) : none;
}

// The bar open, as a click on its title line leaves it.
class StatisticsBar : public GPUTestFrame {
protected:
    void SetUp() override {
        GPUTestFrame::SetUp();
        TwDefine(" Statistics iconified=false ");
    }
};

TEST_F(StatisticsBar, ShowsTheFiguresOfTheFramesSinceTheChangeInMilliseconds) {
    Vellumar::measure::FrameLog& log = test.measurements.frameLog();
    log.add({0.0005, 0.0025}, 1); // the first frame: plotted, not counted
    for (int i = 1; i <= 5; ++i) {
        log.add({0.0001 * i, 0.001 * i}, 1);
    }
    test.measurements.updateStatisticsPanel();

    EXPECT_EQ(shownText("Frames"), "since the last change");
    EXPECT_EQ(shownCount(), 5);
    EXPECT_DOUBLE_EQ(shownNumber("Wall median ms"), 3.0);
    EXPECT_DOUBLE_EQ(shownNumber("Wall p5"), 1.2);
    EXPECT_DOUBLE_EQ(shownNumber("Wall p95"), 4.8);
    EXPECT_DOUBLE_EQ(shownNumber("Wall min"), 1.0);
    EXPECT_DOUBLE_EQ(shownNumber("Wall max"), 5.0);
    EXPECT_DOUBLE_EQ(shownNumber("GPU median ms"), 0.3);
    EXPECT_DOUBLE_EQ(shownNumber("GPU p5"), 0.12);
    EXPECT_DOUBLE_EQ(shownNumber("GPU p95"), 0.48);
    EXPECT_DOUBLE_EQ(shownNumber("GPU min"), 0.1);
    EXPECT_DOUBLE_EQ(shownNumber("GPU max"), 0.5);
    EXPECT_EQ(shownText("Timer coverage"), "10 % of the wall time: trust the wall time");
    // Every frame the log holds, the first too, up to the largest; the guide
    // at the median of those since the change.
    const Vellumar::tweakbar::PlotData& plot = shownPlot();
    EXPECT_EQ(std::vector<float>(plot.values, plot.values + plot.count),
              (std::vector<float>{2.5f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f}));
    EXPECT_FLOAT_EQ(plot.top, 5.0f);
    EXPECT_FLOAT_EQ(plot.guide, 3.0f);
    EXPECT_STREQ(plot.caption, "top 5, median 3 ms");
}

TEST_F(StatisticsBar, SaysWhenTooFewFramesToJudgeTheTimer) {
    test.measurements.frameLog().add({0.001, 0.002}, 1);
    test.measurements.frameLog().add({0.001, 0.002}, 1);
    test.measurements.frameLog().add({0.001, 0.0005}, 1); // too short to judge
    test.measurements.updateStatisticsPanel();
    EXPECT_EQ(shownCount(), 2);
    EXPECT_EQ(shownText("Timer coverage"), "not judged: needs 3 frames of 1 ms or more");
    test.measurements.frameLog().add({0.0019, 0.002}, 1);
    test.measurements.frameLog().add({0.0019, 0.002}, 1);
    test.measurements.updateStatisticsPanel();
    // (1 + 1.9 + 1.9) / (2 + 2 + 2): the short frame does not count.
    EXPECT_EQ(shownText("Timer coverage"), "80 % of the wall time");
}

// The console line, the panel and --report say the same of the same frames:
// a timer that sees 3.9 % of the wall time covers 4 % of it.
TEST_F(StatisticsBar, TheCoverageReadsTheSameOnTheConsoleThePanelAndTheReport) {
    CapturedSink sink;
    test.measurements.recordFrame(0.5, 1.0); // the first frame: out
    for (int i = 0; i < 3; ++i) {
        test.measurements.recordFrame(0.039, 1.0);
    }
    test.measurements.updateStatisticsPanel();
    EXPECT_EQ(sink.text(), "INFO: the GPU timer covers only 4 % of the frame's wall time on this "
                           "renderer\n");
    EXPECT_EQ(shownText("Timer coverage"), "4 % of the wall time: trust the wall time");
    Vellumar::measure::ConfigurationResult result;
    result.coverage = test.measurements.frameLog().live().coverage();
    EXPECT_NE(Vellumar::measure::configurationReport(result, 1, "")
                  .find("  timer coverage: 4 % (trust wall_s)\n"),
              std::string::npos);
}

TEST_F(StatisticsBar, BackFromTestModeItShowsTheTestModeFramesUntilASettingChanges) {
    test.configMode = false;
    for (int i = 0; i < 5; ++i) {
        runFrame();
    }
    // The middle two of the four counted test-mode frames.
    std::vector<double> walls;
    for (size_t i = 0; i < test.measurements.frameLog().live().size(); ++i) {
        walls.push_back(test.measurements.frameLog().live()[i].wallSeconds * 1000.0);
    }
    ASSERT_EQ(walls.size(), 4u);
    std::sort(walls.begin(), walls.end());
    const double testModeMedian = (walls[1] + walls[2]) / 2.0;

    test.keyboard(' ');
    ASSERT_TRUE(test.configMode);
    runFrame();
    runFrame();
    EXPECT_EQ(shownText("Frames"), "test mode, until a change");
    EXPECT_EQ(shownCount(), 4);
    EXPECT_DOUBLE_EQ(shownNumber("Wall median ms"), testModeMedian);

    test.loopsCount.y = 5;
    runFrame(); // the first frame of the new settings
    runFrame();
    EXPECT_EQ(shownText("Frames"), "since the last change");
    EXPECT_EQ(shownCount(), 1);
    EXPECT_GT(shownNumber("Wall median ms"), 0.0);
}

// Folded, as at start, the bar costs the frame nothing: its figures stay as
// they were until a click on its title line opens it.
TEST_F(GPUTestFrame, TheFoldedStatisticsBarWorksNothingOutUntilAClickOpensIt) {
    TwDefine(" Statistics iconified=false ");
    runFrame();
    runFrame();
    TwDefine(" Statistics iconified=true ");
    const int32_t countWhenFolded = shownCount();
    const int plottedWhenFolded = shownPlot().count;
    for (int i = 0; i < 3; ++i) {
        runFrame();
    }
    EXPECT_EQ(shownCount(), countWhenFolded);
    EXPECT_EQ(shownPlot().count, plottedWhenFolded);

    const TwRect title = drawnBar("Statistics");
    ASSERT_LT(title.height, 30);
    test.passiveMotion(centreX(title), centreY(title));
    test.mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, centreX(title), centreY(title));
    test.mouse(GLUT_LEFT_BUTTON, GLUT_UP, centreX(title), centreY(title));
    runFrame();
    EXPECT_EQ(shownCount(), static_cast<int32_t>(test.measurements.frameLog().shown().size()));
    EXPECT_EQ(shownCount(), countWhenFolded + 4);
    EXPECT_GT(drawnBar("Statistics").height, 200);
    EXPECT_EQ(test.freezePoints[0].PosX, 0) << "the click was the bar's";
}

} // namespace
