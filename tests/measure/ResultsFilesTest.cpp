// What a batch run writes: the CSV rows with the swept values, the JSON
// summary that reads back exactly, the --report text and the progress lines.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "MeasureTestSupport.h"
#include "ResultsFiles.h"

using Vellumar::measure::configurationReport;
using Vellumar::measure::ConfigurationResult;
using Vellumar::measure::FrameLog;
using Vellumar::measure::FrameSeries;
using Vellumar::measure::progressBar;
using Vellumar::measure::progressPlainLine;
using Vellumar::measure::resultsJson;
using Vellumar::measure::SweepPlan;

namespace {

// A configuration's result as the batch makes it, from a log of these frames.
ConfigurationResult resultOf(const std::vector<Vellumar::measure::FrameTime>& frames,
                             const testsupport::SampleSettings& sample) {
    FrameLog log;
    log.add({}, 1); // the stretch's first frame, which stays out
    for (const Vellumar::measure::FrameTime& frame : frames) {
        log.add(frame, 1);
    }
    ConfigurationResult result;
    result.frames = log.live().size();
    result.settings = sample.registry.snapshot();
    result.gpu = log.live().summary(FrameSeries::gpu);
    result.wall = log.live().summary(FrameSeries::wall);
    result.coverage = log.live().coverage();
    return result;
}

TEST(ResultsFiles, CsvHasAColumnPerSweepAndNineDigits) {
    const SweepPlan plan({{"loopsCount.x", 100, 200, 100}, {"fastMode", 1, 0, -1}});
    EXPECT_EQ(Vellumar::measure::csvHeader(plan.names()),
              "config,frame,loopsCount.x,fastMode,gpu_s,wall_s\n");
    EXPECT_EQ(Vellumar::measure::csvRow(3, 1, plan.at(3), {1.0 / 3.0, 0.25}),
              "3,1,200,0,0.333333333,0.25\n");
    EXPECT_EQ(Vellumar::measure::csvRow(0, 0, {}, {0.001, 0.0015}), "0,0,0.001,0.0015\n");
}

TEST(ResultsFiles, JsonHoldsEachConfigurationAndTrustsNothingUnjudged) {
    testsupport::SampleSettings sample;
    sample.fastMode = false;
    sample.loopsCount.x = 250;
    ConfigurationResult judged =
        resultOf({{0.0001, 0.011}, {0.0003, 0.013}, {0.0002, 0.012}}, sample);
    judged.index = 4;
    judged.swept = {{"curTest", 1}, {"loopsCount.x", 250}};
    // Two frames, the GPU 1.5 % of the wall time: too few to judge.
    ConfigurationResult unjudged = resultOf({{0.0002, 0.013}, {0.0002, 0.013}}, sample);
    unjudged.index = 5;
    ConfigurationResult empty;
    empty.frames = 2; // drawn, but no timing could be read

    const Vellumar::measure::ContextRecord surfaceless{"egl-surfaceless", std::nullopt, "Mesa",
                                                       "llvmpipe", "4.5"};
    const nlohmann::json document =
        nlohmann::json::parse(resultsJson("0.1.0", surfaceless, {judged, unjudged, empty}));
    EXPECT_EQ(document["version"], "0.1.0");
    EXPECT_EQ(document["context"],
              nlohmann::json::parse(R"({"platform": "egl-surfaceless", "device": null,
                                        "vendor": "Mesa", "renderer": "llvmpipe",
                                        "version": "4.5"})"));
    ASSERT_EQ(document["configurations"].size(), 3u);
    const nlohmann::json& first = document["configurations"][0];
    EXPECT_EQ(first["config"], 4);
    EXPECT_EQ(first["frames"], 3);
    EXPECT_EQ(first["swept"]["loopsCount.x"], 250);
    EXPECT_EQ(first["settings"].size(), sample.registry.all().size());
    EXPECT_EQ(first["settings"]["fastMode"], false);
    EXPECT_EQ(first["settings"]["curPrim"], 7);
    // Exactly the numbers computed, not rounded on the way.
    EXPECT_EQ(first["gpu_s"]["median"].get<double>(), judged.gpu.median);
    EXPECT_EQ(first["gpu_s"]["p5"].get<double>(), judged.gpu.p5);
    EXPECT_EQ(first["wall_s"]["min"].get<double>(), 0.011);
    EXPECT_EQ(first["wall_s"]["max"].get<double>(), 0.013);
    EXPECT_EQ(first["timer_coverage"].get<double>(), judged.coverage.ratio);
    EXPECT_EQ(first["timer_coverage_fires"], true);
    EXPECT_EQ(first["trust"], "wall_s");

    for (int i : {1, 2}) {
        const nlohmann::json& configuration = document["configurations"][i];
        EXPECT_TRUE(configuration["timer_coverage"].is_null());
        EXPECT_EQ(configuration["timer_coverage_fires"], false);
        EXPECT_EQ(configuration["trust"], "unknown");
        EXPECT_EQ(configuration["frames"], 2);
    }
    EXPECT_TRUE(document["configurations"][2]["gpu_s"]["median"].is_null());
}

TEST(ResultsFiles, ReportGivesTheFiguresAndTheCoverageAsThePanelDoes) {
    testsupport::SampleSettings sample;
    // The timer sees 3.9 % of the wall time: rounded, not cut.
    ConfigurationResult result = resultOf({{0.039, 1}, {0.078, 2}, {0.117, 3}}, sample);
    result.index = 1;
    EXPECT_EQ(configurationReport(result, 3, "loopsCount.y=100"),
              "configuration 2/3: loopsCount.y=100: 3 frames\n"
              "  wall_s: median 2  p5 1.1  p95 2.9  min 1  max 3\n"
              "  gpu_s : median 0.078  p5 0.0429  p95 0.1131  min 0.039  max 0.117\n"
              "  timer coverage: 4 % (trust wall_s)\n");
    result.coverage = {};
    EXPECT_EQ(configurationReport(result, 3, "").substr(0, 25), "configuration 2/3: 3 fram");
    EXPECT_NE(configurationReport(result, 3, "").find("  timer coverage: not judged"),
              std::string::npos);
}

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
