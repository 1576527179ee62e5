#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "AtomicFile.h"
#include "CsvFrameWriter.h"
#include "FrameStatistics.h"
#include "JsonResults.h"
#include "MeasureTestSupport.h"
#include "SweepPlan.h"

using testsupport::readFile;
using testsupport::ScratchDirectory;
using Vellumar::measure::AtomicFile;
using Vellumar::measure::Configuration;
using Vellumar::measure::ConfigurationResult;
using Vellumar::measure::CsvFrameWriter;
using Vellumar::measure::FrameStatistics;
using Vellumar::measure::FrameTime;
using Vellumar::measure::FrameTimeRing;
using Vellumar::measure::JsonResults;
using Vellumar::measure::SweepPlan;
using Vellumar::measure::SweepRange;

namespace {

TEST(AtomicFile, TextAppearsOnlyAtCommit) {
    ScratchDirectory scratch;
    AtomicFile file(scratch.file("out.txt"));
    ASSERT_EQ(file.open(), std::nullopt);
    file.write("half");
    EXPECT_EQ(scratch.listing().find("out.txt"), 1u); // only the hidden ".out.txt.tmp-..."
    file.write(" and whole\n");
    ASSERT_EQ(file.commit(), std::nullopt);
    EXPECT_EQ(scratch.listing(), "out.txt");
    EXPECT_EQ(readFile(scratch.file("out.txt")), "half and whole\n");
}

TEST(AtomicFile, AbandonedWritingLeavesTheOldFileAndNoTemporary) {
    ScratchDirectory scratch;
    testsupport::writeFile(scratch.file("keep.json"), "old");
    {
        AtomicFile file(scratch.file("keep.json"));
        ASSERT_EQ(file.open(), std::nullopt);
        file.write("new but never committed");
    }
    EXPECT_EQ(scratch.listing(), "keep.json");
    EXPECT_EQ(readFile(scratch.file("keep.json")), "old");
    AtomicFile replaced(scratch.file("keep.json"));
    ASSERT_EQ(replaced.open(), std::nullopt);
    replaced.write("new");
    ASSERT_EQ(replaced.commit(), std::nullopt);
    EXPECT_EQ(readFile(scratch.file("keep.json")), "new");
}

TEST(AtomicFile, UnwritablePlacesLeaveNothing) {
    ScratchDirectory scratch;
    AtomicFile missing(scratch.file("gone/out.csv"));
    EXPECT_EQ(missing.open(), scratch.file("gone") + ": No such file or directory");
    missing.write("ignored");
    EXPECT_TRUE(missing.commit().has_value());
    ASSERT_EQ(mkdir(scratch.file("target").c_str(), 0700), 0);
    AtomicFile intoDirectory(scratch.file("target"));
    EXPECT_EQ(intoDirectory.open(), scratch.file("target") + ": is a directory");
    EXPECT_EQ(scratch.listing(), "target");
}

TEST(AtomicFile, FailedRenameRemovesTheTemporary) {
    ScratchDirectory scratch;
    AtomicFile file(scratch.file("late"));
    ASSERT_EQ(file.open(), std::nullopt);
    file.write("data");
    // The target turns into a non-empty directory before the commit.
    ASSERT_EQ(mkdir(scratch.file("late").c_str(), 0700), 0);
    testsupport::writeFile(scratch.file("late/inside"), "x");
    const std::optional<std::string> problem = file.commit();
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->find(scratch.file("late") + ": "), 0u);
    EXPECT_EQ(scratch.listing(), "late");
}

// A link (to a file or to nothing), a FIFO: refused before and at the
// commit, and left as they were.
TEST(AtomicFile, NeverReplacesWhatIsNoRegularFile) {
    ScratchDirectory scratch;
    testsupport::writeFile(scratch.file("mine"), "keep me");
    ASSERT_EQ(symlink("mine", scratch.file("link").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", scratch.file("dangling").c_str()), 0);
    ASSERT_EQ(mkfifo(scratch.file("fifo").c_str(), 0600), 0);
    for (const char* name : {"link", "dangling", "fifo"}) {
        AtomicFile file(scratch.file(name));
        EXPECT_TRUE(file.open().has_value()) << name;
    }
    AtomicFile late(scratch.file("late"));
    ASSERT_EQ(late.open(), std::nullopt);
    late.write("text");
    ASSERT_EQ(symlink("mine", scratch.file("late").c_str()), 0);
    EXPECT_EQ(late.commit(), scratch.file("late") + ": is a symbolic link");
    EXPECT_EQ(scratch.listing(), "dangling fifo late link mine");
    EXPECT_EQ(readFile(scratch.file("mine")), "keep me");
    struct stat info {};
    ASSERT_EQ(lstat(scratch.file("fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST(AtomicFile, ReadOnlyDirectoryLeavesNothingWhenPermissionsApply) {
    ScratchDirectory scratch;
    const std::string locked = scratch.file("locked");
    ASSERT_EQ(mkdir(locked.c_str(), 0500), 0);
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into a read-only directory";
    }
    AtomicFile file(locked + "/out.csv");
    EXPECT_EQ(file.open(), locked + ": Permission denied");
    EXPECT_TRUE(std::filesystem::is_empty(locked));
}

Configuration configurationOf(const SweepPlan& plan, size_t index) { return plan.at(index); }

TEST(CsvFrameWriter, HeaderThenOneRowPerFrameWithTheSweptValues) {
    ScratchDirectory scratch;
    SweepRange a{"loopsCount.x", 100, 200, 100};
    SweepRange b{"fastMode", 1, 0, -1};
    const SweepPlan plan({a, b});
    CsvFrameWriter writer(scratch.file("frames.csv"), plan.names());
    ASSERT_EQ(writer.open(), std::nullopt);
    const FrameTime first[] = {{0.001, 0.0015}, {1.0 / 3.0, 0.25}};
    ASSERT_EQ(writer.writeConfiguration(0, configurationOf(plan, 0), first, 2), std::nullopt);
    FrameTimeRing ring(4);
    ring.push({9.0, 9.0}); // before the change: not written
    ring.markSettingsChanged();
    ring.push({0.002, 0.003});
    ASSERT_EQ(writer.writeConfiguration(3, configurationOf(plan, 3), ring), std::nullopt);
    EXPECT_EQ(scratch.listing().find("frames.csv"), 1u); // not there before commit
    ASSERT_EQ(writer.commit(), std::nullopt);
    EXPECT_EQ(readFile(scratch.file("frames.csv")),
              "config,frame,loopsCount.x,fastMode,gpu_s,wall_s\n"
              "0,0,100,1,0.001,0.0015\n"
              "0,1,100,1,0.333333333,0.25\n"
              "3,0,200,0,0.002,0.003\n");
}

TEST(CsvFrameWriter, RefusesAConfigurationThatDoesNotMatchTheHeader) {
    ScratchDirectory scratch;
    CsvFrameWriter writer(scratch.file("f.csv"), {"a"});
    const FrameTime frame[] = {{1, 1}};
    EXPECT_TRUE(writer.writeConfiguration(0, {{"a", 1}}, frame, 1).has_value()); // not open
    ASSERT_EQ(writer.open(), std::nullopt);
    EXPECT_TRUE(writer.writeConfiguration(0, {}, frame, 1).has_value());
    EXPECT_TRUE(writer.writeConfiguration(0, {{"b", 1}}, frame, 1).has_value());
    ASSERT_EQ(writer.commit(), std::nullopt);
    EXPECT_EQ(readFile(scratch.file("f.csv")), "config,frame,a,gpu_s,wall_s\n");
}

TEST(JsonResults, OneObjectPerConfigurationReadsBack) {
    ScratchDirectory scratch;
    testsupport::SampleSettings sample;
    FrameStatistics statistics;
    const double gpu[] = {0.0001, 0.0003, 0.0002};
    const double wall[] = {0.011, 0.013, 0.012};

    ConfigurationResult result;
    result.index = 4;
    result.frames = 3;
    result.swept = {{"curTest", 1}, {"loopsCount.x", 250}};
    sample.fastMode = false;
    sample.loopsCount.x = 250;
    result.settings = sample.registry.snapshot();
    result.gpu = statistics.summarise(gpu, 3);
    result.wall = statistics.summarise(wall, 3);
    result.coverage.judgedFrames = 3;
    result.coverage.ratio = 0.0006 / 0.036;
    result.coverage.fires = true;

    ConfigurationResult unjudged;
    unjudged.index = 5;
    unjudged.frames = 2; // drawn, but no timing could be read
    unjudged.settings = sample.registry.snapshot();

    JsonResults results(scratch.file("summary.json"), "0.1.0");
    results.add(result);
    results.add(unjudged);
    ASSERT_EQ(results.write(), std::nullopt);
    EXPECT_EQ(scratch.listing(), "summary.json");

    const nlohmann::json document = nlohmann::json::parse(readFile(scratch.file("summary.json")));
    EXPECT_EQ(document["version"], "0.1.0");
    ASSERT_EQ(document["configurations"].size(), 2u);
    const nlohmann::json& first = document["configurations"][0];
    EXPECT_EQ(first["config"], 4);
    EXPECT_EQ(first["frames"], 3);
    EXPECT_EQ(first["swept"]["curTest"], 1);
    EXPECT_EQ(first["swept"]["loopsCount.x"], 250);
    EXPECT_EQ(first["settings"].size(), sample.registry.names().size());
    EXPECT_EQ(first["settings"]["fastMode"], false);
    EXPECT_EQ(first["settings"]["curPrim"], 7);
    EXPECT_EQ(first["settings"]["loopsCount.x"], 250);
    // Exactly the numbers computed, not rounded on the way.
    EXPECT_EQ(first["gpu_s"]["median"].get<double>(), result.gpu.median);
    EXPECT_EQ(first["gpu_s"]["p5"].get<double>(), result.gpu.p5);
    EXPECT_EQ(first["gpu_s"]["p95"].get<double>(), result.gpu.p95);
    EXPECT_EQ(first["wall_s"]["min"].get<double>(), 0.011);
    EXPECT_EQ(first["wall_s"]["max"].get<double>(), 0.013);
    EXPECT_EQ(first["timer_coverage"].get<double>(), result.coverage.ratio);
    EXPECT_EQ(first["timer_coverage_fires"], true);
    EXPECT_EQ(first["trust"], "wall_s");

    const nlohmann::json& second = document["configurations"][1];
    EXPECT_TRUE(second["timer_coverage"].is_null());
    EXPECT_EQ(second["timer_coverage_fires"], false);
    EXPECT_EQ(second["trust"], "gpu_s");
    EXPECT_TRUE(second["gpu_s"]["median"].is_null()); // no frames: no figure
    EXPECT_EQ(second["frames"], 2);
}

TEST(JsonResults, UnwritableTargetLeavesNothing) {
    ScratchDirectory scratch;
    JsonResults results(scratch.file("missing/summary.json"), "0.1.0");
    results.add(ConfigurationResult{});
    EXPECT_TRUE(results.write().has_value());
    EXPECT_EQ(scratch.listing(), "");
}

} // namespace
