// The per-frame log: stretches of frames since a settings change, the
// coverage warning that speaks once, the frames held for the panel, and the
// `w` recording with its file.
#include <gtest/gtest.h>

#include <string>

#include "FrameLog.h"
#include "FrameRecording.h"
#include "MeasureTestSupport.h"

using testsupport::readFile;
using testsupport::ScratchDirectory;
using Vellumar::measure::FrameLog;
using Vellumar::measure::FrameRecording;
using Vellumar::measure::FrameTime;

namespace {

// A frame whose timer sees a twentieth of the wall time, and one it covers.
constexpr FrameTime uncovered = {0.001, 0.020};
constexpr FrameTime covered = {0.019, 0.020};

TEST(FrameLog, TheFirstFrameOfNewSettingsStaysOutOfTheirStretch) {
    FrameLog log(8);
    log.add({1.0, 1.0}, 1); // the very first frame: its timer may hold garbage
    EXPECT_EQ(log.frames().size(), 1u);
    EXPECT_EQ(log.frames().sizeSinceChange(), 0u);
    log.add({0.1, 0.2}, 1);
    log.add({0.3, 0.4}, 1);
    EXPECT_EQ(log.frames().sizeSinceChange(), 2u);
    EXPECT_EQ(log.frames().sinceChange(0).wallSeconds, 0.2);

    log.add({5.0, 5.0}, 2); // rebuilds the program: in the ring, not in the stretch
    EXPECT_EQ(log.frames().size(), 4u);
    EXPECT_EQ(log.frames().sizeSinceChange(), 0u);
    log.add({0.5, 0.6}, 2);
    ASSERT_EQ(log.frames().sizeSinceChange(), 1u);
    EXPECT_EQ(log.frames().sinceChange(0).gpuSeconds, 0.5);

    // restart() counts the very next frame.
    log.restart(3);
    log.add({0.7, 0.8}, 3);
    ASSERT_EQ(log.frames().sizeSinceChange(), 1u);
    EXPECT_EQ(log.frames().sinceChange(0).gpuSeconds, 0.7);
}

TEST(FrameLog, TheCoverageWarningComesOnceOverTheFramesSinceTheChange) {
    FrameLog log;
    EXPECT_FALSE(log.add(uncovered, 1)); // left out
    EXPECT_FALSE(log.add(uncovered, 1));
    EXPECT_FALSE(log.add(uncovered, 1));
    EXPECT_EQ(log.coverage().judgedFrames, 2u);
    EXPECT_FALSE(log.coverage().judged());
    EXPECT_TRUE(log.add(uncovered, 1)); // the third judged frame
    EXPECT_TRUE(log.coverage().fires);
    EXPECT_NEAR(log.coverage().ratio, 0.05, 1e-12);
    EXPECT_FALSE(log.add(uncovered, 1));

    // New settings judge afresh, and a firing rule stays quiet.
    log.add(covered, 2);
    EXPECT_EQ(log.coverage().judgedFrames, 0u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(log.add(uncovered, 2));
    }
    EXPECT_TRUE(log.coverage().fires);
}

TEST(FrameLog, ACoveredTimerNeverWarnsAndEarlierFramesDoNotCount) {
    FrameLog log;
    log.add(uncovered, 1);
    log.add(uncovered, 1);
    log.add(uncovered, 1); // two judged frames: not enough
    log.restart(2);
    for (int i = 0; i < 50; ++i) {
        EXPECT_FALSE(log.add(covered, 2));
    }
    EXPECT_EQ(log.coverage().judgedFrames, 50u);
    EXPECT_FALSE(log.coverage().fires);
}

TEST(FrameLog, HeldFramesAreShownUntilTheSettingsChange) {
    FrameLog log(8);
    for (int i = 0; i < 4; ++i) {
        log.add({0.1 * i, 0.2 * i}, 7); // test mode
    }
    log.hold(8); // back to the bars: settings 8 from now on
    EXPECT_TRUE(log.holdingFrames());
    ASSERT_EQ(log.shown().sizeSinceChange(), 3u);
    EXPECT_EQ(log.shown().sinceChange(0).gpuSeconds, 0.1);
    EXPECT_EQ(log.frames().sizeSinceChange(), 0u);

    log.add({9.0, 9.0}, 8);
    log.add({9.0, 9.0}, 8);
    EXPECT_TRUE(log.holdingFrames());
    EXPECT_EQ(log.shown().sizeSinceChange(), 3u);
    EXPECT_EQ(log.frames().sizeSinceChange(), 2u);

    log.add({9.0, 9.0}, 9); // the user changed a setting
    EXPECT_FALSE(log.holdingFrames());
    EXPECT_EQ(&log.shown(), &log.frames());

    // Nothing since the change: nothing to hold.
    log.hold(10);
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
    EXPECT_EQ(scratch.listing().find("rec.csv"), std::string::npos);
    ASSERT_EQ(log.recording().stop(), std::nullopt);
    EXPECT_FALSE(log.recording().active());
    EXPECT_EQ(readFile(scratch.file("rec.csv")), "config,frame,gpu_s,wall_s\n"
                                                 "0,0,0.25,0.5\n"
                                                 "0,1,0.125,0.75\n"
                                                 "1,0,0.5,1.5\n"
                                                 "2,0,1.5,2.5\n");
    log.add({1.0, 1.0}, 2); // after it: nothing recorded
    EXPECT_EQ(log.recording().size(), 0u);
}

TEST(FrameRecording, AFullRecordingDropsFramesAndStillWritesWhatItHolds) {
    ScratchDirectory scratch;
    FrameRecording recording;
    EXPECT_FALSE(recording.add({1, 1}, false));
    EXPECT_EQ(recording.stop(), "no recording is running");

    recording.start(scratch.file("full.csv"), 2);
    EXPECT_TRUE(recording.add({1, 2}, true));
    EXPECT_FALSE(recording.full());
    EXPECT_TRUE(recording.add({3, 4}, true));
    EXPECT_TRUE(recording.full());
    EXPECT_FALSE(recording.add({5, 6}, false));
    EXPECT_EQ(recording.size(), 2u);
    ASSERT_EQ(recording.stop(), std::nullopt);
    EXPECT_EQ(readFile(scratch.file("full.csv")), "config,frame,gpu_s,wall_s\n"
                                                  "0,0,1,2\n"
                                                  "1,0,3,4\n");
}

TEST(FrameRecording, AnUnwritablePlaceIsReportedAndLeavesNothing) {
    ScratchDirectory scratch;
    FrameRecording recording;
    recording.start(scratch.file("missing/dir/rec.csv"));
    recording.add({1, 1}, true);
    const std::optional<std::string> problem = recording.stop();
    ASSERT_TRUE(problem.has_value());
    EXPECT_NE(problem->find("missing/dir"), std::string::npos) << *problem;
    EXPECT_EQ(scratch.listing(), "");
    EXPECT_FALSE(recording.active());
}

} // namespace
