// The per-frame log: stretches of frames since a settings change in a ring
// that wraps, their statistics on the percentile rule, the timer coverage
// and its warning that speaks once, the frames held for the panel, and the
// `w` recording with its file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "FrameLog.h"
#include "MeasureTestSupport.h"
#include "Percentile.h"
#include "WholeFile.h"

using testsupport::readFile;
using testsupport::ScratchDirectory;
using Vellumar::measure::Coverage;
using Vellumar::measure::FrameLog;
using Vellumar::measure::FrameRecording;
using Vellumar::measure::FrameSeries;
using Vellumar::measure::FrameTime;
using Vellumar::measure::percentile;
using Vellumar::measure::Summary;

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// A frame whose timer sees a twentieth of the wall time, and one it covers.
constexpr FrameTime uncovered = {0.001, 0.020};
constexpr FrameTime covered = {0.019, 0.020};

std::vector<double> gpuSinceChange(const FrameLog& log) {
    std::vector<double> values;
    for (size_t i = 0; i < log.live().size(); ++i) {
        values.push_back(log.live()[i].gpuSeconds);
    }
    return values;
}

// The log's coverage of these frames, all of one stretch.
Coverage coverageOf(const std::vector<FrameTime>& frames) {
    FrameLog log;
    log.add({}, 1); // the stretch's first frame, which stays out
    for (const FrameTime& frame : frames) {
        log.add(frame, 1);
    }
    return log.live().coverage();
}

TEST(Percentile, InterpolatesBetweenClosestRanksForAnySampleType) {
    std::vector<double> values = {50, 10, 40, 20, 30};
    EXPECT_DOUBLE_EQ(percentile(values, 50), 30);
    EXPECT_DOUBLE_EQ(percentile(values, 0), 10);
    EXPECT_DOUBLE_EQ(percentile(values, 100), 50);
    EXPECT_DOUBLE_EQ(percentile(values, 5), 12); // a fifth of the way from 10 to 20
    EXPECT_DOUBLE_EQ(percentile(values, 95), 48);
    EXPECT_DOUBLE_EQ(percentile(values, 37.5), 25);
    EXPECT_DOUBLE_EQ(percentile(values, -10), 10);
    EXPECT_DOUBLE_EQ(percentile(values, 250), 50);
    EXPECT_TRUE(std::isnan(percentile(values, nan)));
    std::vector<double> none;
    EXPECT_TRUE(std::isnan(percentile(none, 50)));
    std::vector<double> infinite = {1, infinity, infinity};
    EXPECT_EQ(percentile(infinite, 90), infinity);
    // Counts of a capture: the mean of the two middle ones, past 32 bits.
    std::vector<uint64_t> cycles = {4000000000, 7, 4000000002, 9};
    EXPECT_DOUBLE_EQ(percentile(cycles, 50), (9.0 + 4000000000.0) / 2.0);
}

TEST(FrameLog, StretchesStartAfterTheFirstFrameOfNewSettingsAndSurviveTheWrap) {
    FrameLog log(4);
    log.add({1.0, 1.0}, 1); // the very first frame: its timer may hold garbage
    EXPECT_EQ(log.live().size(), 0u);
    log.add({2.0, 2.0}, 1);
    log.add({3.0, 3.0}, 1);
    EXPECT_EQ(gpuSinceChange(log), (std::vector<double>{2, 3}));

    log.add({5.0, 5.0}, 2); // rebuilds the program: in the ring, not in the stretch
    log.add({6.0, 6.0}, 2); // the ring wraps: it holds 3 5 6 ... then 5 6 7 8
    log.add({7.0, 7.0}, 2);
    log.add({8.0, 8.0}, 2);
    EXPECT_EQ(gpuSinceChange(log), (std::vector<double>{6, 7, 8}));
    log.add({9.0, 9.0}, 2); // the change has scrolled out: a full ring
    EXPECT_EQ(gpuSinceChange(log), (std::vector<double>{6, 7, 8, 9}));

    // restart() after frames of these settings (a warm-up) counts the very
    // next frame; before any (no warm-up), that frame is the first after the
    // change and stays out.
    EXPECT_TRUE(log.restart(3));
    log.add({0.5, 0.6}, 3);
    EXPECT_EQ(log.live().size(), 0u);
    EXPECT_FALSE(log.restart(3));
    log.add({0.7, 0.8}, 3);
    EXPECT_EQ(gpuSinceChange(log), (std::vector<double>{0.7}));
    FrameLog fresh;
    EXPECT_TRUE(fresh.restart(1));
    fresh.add({4421.0, 0.25}, 1); // the very first timer result after start-up
    EXPECT_EQ(fresh.live().size(), 0u);

    // The plot's series reaches back before the change.
    double plot[3] = {};
    EXPECT_EQ(log.live().last(FrameSeries::wall, 3, plot), 3u);
    EXPECT_EQ(plot[0], 9.0);
    EXPECT_EQ(plot[2], 0.8);
}

TEST(FrameLog, SummariesOfTheStretchLeaveNaNOut) {
    FrameLog log;
    log.add({9.0, 9.0}, 1); // not in the stretch
    for (double wall : {5.0, 1.0, 4.0, 2.0, 3.0}) {
        log.add({nan, wall}, 1);
    }
    const Summary wall = log.live().summary(FrameSeries::wall);
    EXPECT_EQ(wall.count, 5u);
    EXPECT_DOUBLE_EQ(wall.median, 3);
    EXPECT_DOUBLE_EQ(wall.p5, 1.2);
    EXPECT_DOUBLE_EQ(wall.p95, 4.8);
    EXPECT_DOUBLE_EQ(wall.min, 1);
    EXPECT_DOUBLE_EQ(wall.max, 5);
    const Summary gpu = log.live().summary(FrameSeries::gpu);
    EXPECT_EQ(gpu.count, 0u);
    EXPECT_TRUE(std::isnan(gpu.median) && std::isnan(gpu.min) && std::isnan(gpu.max));
}

TEST(FrameLog, CoverageSumsTheLongFramesAndFiresBelowHalf) {
    // A CPU rasteriser's fraction of a millisecond of 56 ms.
    const Coverage low = coverageOf({{0.0002, 0.056}, {0.0003, 0.060}, {0.0002, 0.058}});
    EXPECT_TRUE(low.fires);
    EXPECT_NEAR(low.ratio, 0.0007 / 0.174, 1e-12);
    EXPECT_FALSE(coverageOf({{0.005, 0.010}, {0.005, 0.010}, {0.005, 0.010}}).fires);
    // Ratios 0.9, 0.1, 0.1 average to 0.37, but the long frame dominates the sums.
    const Coverage summed = coverageOf({{0.09, 0.1}, {0.001, 0.01}, {0.001, 0.01}});
    EXPECT_FALSE(summed.fires);
    EXPECT_NEAR(summed.ratio, 0.092 / 0.12, 1e-12);

    // Frames under a millisecond and unusable times are left out: two long
    // frames are fewer than the three it needs.
    std::vector<FrameTime> frames = {{0.0009, 0.001}, {0.0018, 0.002}, {nan, 0.01}, {-1.0, 0.01}};
    for (int i = 0; i < 20; ++i) {
        frames.push_back({0.00001, 0.0009});
    }
    EXPECT_FALSE(coverageOf(frames).judged());
    EXPECT_EQ(coverageOf(frames).judgedFrames, 2u);
    frames.push_back({0.0027, 0.003});
    EXPECT_NEAR(coverageOf(frames).ratio, 0.9, 1e-12);
}

// The console line, the panel and --report all read percent(): the nearest
// whole per cent, never the threshold for a coverage that fires.
TEST(FrameLog, CoveragePercentIsRoundedButAFiringOneNeverReadsHalf) {
    EXPECT_EQ(coverageOf({{0.039, 1}, {0.039, 1}, {0.039, 1}}).percent(), "4 %");
    EXPECT_EQ(coverageOf({{0.013, 1}, {0.013, 1}, {0.013, 1}}).percent(), "1 %");
    EXPECT_EQ(coverageOf({{0.496, 1}, {0.496, 1}, {0.496, 1}}).percent(), "49 %");
    EXPECT_EQ(coverageOf({{0.5, 1}, {0.5, 1}, {0.5, 1}}).percent(), "50 %");
    EXPECT_EQ(coverageOf({{1e300, 1}, {1e300, 1}, {1e300, 1}}).percent(), "1000000000 %");
    EXPECT_EQ(coverageOf({{0.0002, 0.056}, {0.0003, 0.060}, {0.0002, 0.058}}).message(),
              "the GPU timer covers only 0 % of the frame's wall time on this renderer");
}

TEST(FrameLog, TheCoverageWarningComesOnceInTheLogsLife) {
    FrameLog log;
    EXPECT_FALSE(log.add(uncovered, 1)); // left out
    EXPECT_FALSE(log.add(uncovered, 1));
    EXPECT_FALSE(log.add(uncovered, 1));
    EXPECT_TRUE(log.add(uncovered, 1)); // the third judged frame
    EXPECT_FALSE(log.add(uncovered, 1));
    // New settings judge afresh, and a firing rule stays quiet.
    log.add(covered, 2);
    EXPECT_EQ(log.live().coverage().judgedFrames, 0u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(log.add(uncovered, 2));
    }
    EXPECT_TRUE(log.live().coverage().fires);

    FrameLog coveredLog;
    for (int i = 0; i < 50; ++i) {
        EXPECT_FALSE(coveredLog.add(covered, 1));
    }
}

TEST(FrameLog, HeldFramesAreShownUntilTheSettingsChange) {
    FrameLog log(8);
    for (int i = 0; i < 4; ++i) {
        log.add({0.001 * i, 0.0005 * i}, 7); // test mode
    }
    log.hold(8); // back to the bars: settings 8 from now on
    EXPECT_TRUE(log.holdingFrames());
    ASSERT_EQ(log.shown().size(), 3u);
    EXPECT_EQ(log.shown()[0].gpuSeconds, 0.001);
    EXPECT_EQ(log.shown().coverage().judgedFrames, 2u); // 0.5 ms is too short to judge
    EXPECT_EQ(log.live().size(), 0u);

    log.add({9.0, 9.0}, 8);
    log.add({9.0, 9.0}, 8);
    EXPECT_EQ(log.shown().size(), 3u);
    EXPECT_EQ(log.live().size(), 2u);

    log.add({9.0, 9.0}, 9); // the user changed a setting
    EXPECT_FALSE(log.holdingFrames());
    EXPECT_EQ(&log.shown(), &log.live());
    log.hold(10); // nothing since the change: nothing to hold
    EXPECT_FALSE(log.holdingFrames());
}

TEST(FrameLog, RecordingNumbersAConfigurationPerSettingsChange) {
    ScratchDirectory scratch;
    FrameLog log;
    log.add({1.0, 1.0}, 1); // before the recording
    log.recording().start(scratch.file("rec.csv"));
    log.add({0.25, 0.5}, 1);
    log.add({0.125, 0.75}, 1);
    log.add({0.5, 1.5}, 2);
    log.restart(2);
    log.add({1.5, 2.5}, 2);
    EXPECT_EQ(log.recording().size(), 4u);
    EXPECT_EQ(scratch.listing(), "");
    log.recording().stop();
    EXPECT_FALSE(log.recording().active());
    EXPECT_EQ(readFile(scratch.file("rec.csv")), "config,frame,gpu_s,wall_s\n"
                                                 "0,0,0.25,0.5\n"
                                                 "0,1,0.125,0.75\n"
                                                 "1,0,0.5,1.5\n"
                                                 "2,0,1.5,2.5\n");
    log.add({1.0, 1.0}, 2); // after it: nothing recorded
    EXPECT_EQ(log.recording().size(), 0u);
}

TEST(FrameRecording, AFullRecordingDropsFramesAndAFailedOneLeavesNothing) {
    ScratchDirectory scratch;
    FrameRecording recording;
    EXPECT_FALSE(recording.add({1, 1}, false));
    EXPECT_THROW(recording.stop(), Vellumar::measure::WriteError);

    recording.start(scratch.file("full.csv"), 2);
    EXPECT_TRUE(recording.add({1, 2}, true));
    EXPECT_TRUE(recording.add({3, 4}, true));
    EXPECT_TRUE(recording.full());
    EXPECT_FALSE(recording.add({5, 6}, false));
    recording.stop();
    EXPECT_EQ(readFile(scratch.file("full.csv")), "config,frame,gpu_s,wall_s\n"
                                                  "0,0,1,2\n"
                                                  "1,0,3,4\n");

    recording.start(scratch.file("missing/dir/rec.csv"));
    recording.add({1, 1}, true);
    EXPECT_THROW(recording.stop(), Vellumar::measure::WriteError);
    EXPECT_FALSE(recording.active());
    EXPECT_EQ(scratch.listing(), "full.csv");
}

} // namespace
