// The frame's times as the test keeps them: the GPU time read once per frame
// whether the report is on or off, the wall time around the work and its
// wait, the stretches a settings change starts, the frames held for the bars,
// the coverage warning on llvmpipe, the `w` recording, the `s` settings file
// and a batch run through the real frames.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "BatchRun.h"
#include "CapturedSink.h"
#include "GLCallCounter.h"
#include "GPUTestFixture.h"
#include "SettingsFile.h"

namespace {

using namespace testsupport;

// Every timer read answers a fixed number of nanoseconds, and is counted.
GLint64 fakeNanoseconds = 0;
int timerReads = 0;
void GLAPIENTRY fakeQueryResult(GLuint, GLenum, GLint64* result) {
    ++timerReads;
    *result = fakeNanoseconds;
}

class FixedTimerResults {
public:
    explicit FixedTimerResults(GLint64 nanoseconds) : saved(__glewGetQueryObjecti64vEXT) {
        fakeNanoseconds = nanoseconds;
        timerReads = 0;
        __glewGetQueryObjecti64vEXT = fakeQueryResult;
    }
    ~FixedTimerResults() { __glewGetQueryObjecti64vEXT = saved; }

private:
    PFNGLGETQUERYOBJECTI64VEXTPROC saved;
};

// A fresh working directory for what `w`, `s` and batches write; the
// previous one comes back at the end.
class ScratchWorkingDirectory {
public:
    ScratchWorkingDirectory() : previous(std::filesystem::current_path()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "gputest-files-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            throw std::runtime_error("mkdtemp failed");
        }
        root = pattern;
        std::filesystem::current_path(root);
    }
    ~ScratchWorkingDirectory() {
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    std::string file(const std::string& name) const { return (root / name).string(); }
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(root)) {
            found.push_back(entry.path().filename().string());
        }
        return found;
    }

private:
    std::filesystem::path previous;
    std::filesystem::path root;
};

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

using Vellumar::measure::FrameSeries;

// One time of the newest frame the log holds, whatever its stretch.
double newest(const Vellumar::measure::FrameLog& log, FrameSeries series) {
    double value = -1.0;
    log.live().last(series, 1, &value);
    return value;
}

// How many frames the log holds, before the last change too.
size_t framesHeld(const Vellumar::measure::FrameLog& log) {
    std::vector<double> values(Vellumar::measure::FrameLog::defaultCapacity);
    return log.live().last(FrameSeries::wall, values.size(), values.data());
}

class FrameTimes : public GPUTestModeFrame {
protected:
    void keys(const char* typed) {
        for (const char* c = typed; *c; ++c) {
            test.keyboard(static_cast<unsigned char>(*c));
        }
    }
    size_t sinceChange() const { return test.measurements.frameLog().live().size(); }
};

TEST_F(FrameTimes, TheTimerIsReadOnceAFrameAndTheFrameKeepsWhatWasRead) {
    runFrame();
    FixedTimerResults results(12345678);
    runFrame();
    EXPECT_EQ(timerReads, 1);
    EXPECT_EQ(newest(test.measurements.frameLog(), FrameSeries::gpu), 0.012345678);

    // With the report on, the report's read is the one kept.
    test.printStats = true;
    fakeNanoseconds = 2500000;
    timerReads = 0;
    const std::string report = runFrameCapturingOutput();
    EXPECT_NE(report.find("GlobalTime ->          0.0025 , \n"), std::string::npos) << report;
    EXPECT_EQ(timerReads, 1);
    EXPECT_EQ(newest(test.measurements.frameLog(), FrameSeries::gpu), 0.0025);
    EXPECT_EQ(framesHeld(test.measurements.frameLog()), 3u);
}

TEST_F(FrameTimes, WallTimeSpansTheFramesWorkAndItsWait) {
    test.fastMode = false;
    test.loopsCount = {0, 200}; // about ten milliseconds of shading here
    runFrame();                 // builds the program
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        runFrame();
        const std::chrono::duration<double> outside = std::chrono::steady_clock::now() - start;
        const double wall = newest(test.measurements.frameLog(), FrameSeries::wall);
        EXPECT_LE(wall, outside.count());
        // Nearly all of a slow frame is its GL work and the wait for it.
        EXPECT_GT(wall, 0.5 * outside.count());
    }
}

TEST_F(FrameTimes, ASettingsChangeStartsANewStretchAfterItsFirstFrame) {
    runFrame(); // the log's first frame stays out
    runFrame();
    runFrame();
    EXPECT_EQ(sinceChange(), 2u);

    test.loopsCount.y = wrappingAdd(test.loopsCount.y, 1);
    runFrame();
    EXPECT_EQ(sinceChange(), 0u);
    runFrame();
    EXPECT_EQ(sinceChange(), 1u);

    // What only steers the keys and the mouse is no setting.
    test.curFreezePoint = 2;
    test.moveMode = MOVE_WINDOW;
    runFrame();
    EXPECT_EQ(sinceChange(), 2u);

    keys("r"); // reloaded shaders
    runFrame();
    EXPECT_EQ(sinceChange(), 0u);
    runFrame();
    EXPECT_EQ(framesHeld(test.measurements.frameLog()), 8u);

    // A resized window: GLUT may draw a frame of its own on the way.
    resizeWindow(256, 200);
    runFrame();
    runFrame();
    const size_t atTheNewSize = framesHeld(test.measurements.frameLog()) - 8;
    EXPECT_EQ(sinceChange(), atTheNewSize - 1);
}

TEST_F(FrameTimes, BackInTheBarsTheTestModeFramesAreHeldUntilASettingChanges) {
    for (int i = 0; i < 4; ++i) {
        runFrame();
    }
    keys(" "); // configuration mode
    ASSERT_TRUE(test.configMode);
    EXPECT_TRUE(test.measurements.frameLog().holdingFrames());
    EXPECT_EQ(test.measurements.frameLog().shown().size(), 3u);
    runFrame();
    runFrame();
    EXPECT_TRUE(test.measurements.frameLog().holdingFrames());
    EXPECT_EQ(test.measurements.frameLog().shown().size(), 3u);
    EXPECT_EQ(sinceChange(), 2u);

    test.primStep = {4, 4};
    runFrame();
    EXPECT_FALSE(test.measurements.frameLog().holdingFrames());
}

TEST_F(FrameTimes, TheCoverageWarningComesOnceOnLlvmpipe) {
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (!renderer || !std::strstr(renderer, "llvmpipe")) {
        GTEST_SKIP() << "a renderer whose timer may cover the frame: " << renderer;
    }
    CapturedSink sink;
    test.fastMode = false;
    test.loopsCount = {0, 100};
    // The rule needs three frames of a millisecond or more; llvmpipe's timer
    // figures vary from frame to frame with its threads, so a few more.
    for (int i = 0; i < 30 && sink.text().empty(); ++i) {
        runFrame();
    }
    EXPECT_TRUE(
        std::regex_match(sink.text(), std::regex("INFO: the GPU timer covers only [0-9]+ % of the "
                                                 "frame's wall time on this renderer\n")))
        << sink.text();
    EXPECT_TRUE(test.measurements.frameLog().live().coverage().fires);

    const std::string once = sink.text();
    test.loopsCount.y = 150;
    for (int i = 0; i < 6; ++i) {
        runFrame();
    }
    EXPECT_EQ(sink.text(), once);
}

TEST_F(FrameTimes, WRecordsTheFramesToACsvFileUntilPressedAgain) {
    ScratchWorkingDirectory directory;
    runFrame(); // before the recording
    std::string said;
    {
        CoutCapture capture;
        keys("w");
        said = capture.text();
    }
    std::smatch match;
    ASSERT_TRUE(std::regex_match(
        said, match,
        std::regex("recording frames to (/.*/glintmoth-frames-[0-9]{8}-[0-9]{6}\\.csv) "
                   "\\(w stops\\)\n")))
        << said;
    const std::string path = match[1];
    EXPECT_EQ(path, directory.file(std::filesystem::path(path).filename().string()));
    runFrame();
    runFrame();
    test.loopsCount.y = 7;
    runFrame();
    runFrame();
    EXPECT_TRUE(directory.names().empty()); // nothing written during the frames
    {
        CoutCapture capture;
        keys("w");
        EXPECT_EQ(capture.text(), "wrote 4 frames to " + path + "\n");
    }
    runFrame();
    const std::vector<std::string> rows = linesOf(readText(path));
    ASSERT_EQ(rows.size(), 5u) << readText(path);
    EXPECT_EQ(rows[0], "config,frame,gpu_s,wall_s");
    const char* prefixes[] = {"0,0,", "0,1,", "1,0,", "1,1,"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[i + 1].rfind(prefixes[i], 0), 0u) << rows[i + 1];
        EXPECT_GT(std::stod(rows[i + 1].substr(rows[i + 1].rfind(',') + 1)), 0.0) << rows[i + 1];
    }
    EXPECT_EQ(directory.names().size(), 1u);
}

TEST_F(FrameTimes, AFullRecordingIsWrittenBetweenFrames) {
    ScratchWorkingDirectory directory;
    test.measurements.frameLog().recording().start(directory.file("full.csv"), 2);
    runFrame();
    runFrame();
    runFrame();
    EXPECT_TRUE(directory.names().empty());
    CoutCapture capture;
    test.idle();
    EXPECT_EQ(capture.text(),
              "wrote 2 frames to " + directory.file("full.csv") + " (the recording was full)\n");
    EXPECT_EQ(linesOf(readText(directory.file("full.csv"))).size(), 3u);
    EXPECT_FALSE(test.measurements.frameLog().recording().active());
}

TEST_F(FrameTimes, SWritesEverySettingForTestModeAndTheFileLoadsBack) {
    ScratchWorkingDirectory directory;
    test.configMode = true; // fast mode forced on for the bars
    test.fastMode = true;
    test.loopsCount = {123, 456};
    test.curTest = TEST_SMALL_PRIMITIVES;
    test.freezePoints[2] = {1, 2, 3, 4};
    test.freezePointEnabled[3] = true;
    {
        CoutCapture capture;
        keys("s");
        EXPECT_EQ(capture.text(),
                  "settings written to " + directory.file("glintmoth-settings.json") + "\n");
    }
    EXPECT_TRUE(test.fastMode);

    test.setStartValues();
    std::string text;
    ASSERT_EQ(Vellumar::measure::readSettingsText(directory.file("glintmoth-settings.json"), text),
              std::nullopt);
    const Vellumar::measure::SettingsLoadReport report = Vellumar::measure::loadSettingsText(
        test.measurements.namedSettings(), text, "glintmoth-settings.json");
    EXPECT_TRUE(report.unknownKeys.empty() && report.refused.empty());
    EXPECT_EQ(test.loopsCount.x, 123);
    EXPECT_EQ(test.loopsCount.y, 456);
    EXPECT_EQ(test.curTest, TEST_SMALL_PRIMITIVES);
    EXPECT_EQ(test.freezePoints[2].SizeX, 3);
    EXPECT_TRUE(test.freezePointEnabled[3]);
    EXPECT_FALSE(test.fastMode); // what test mode runs with

    // A link in the file's place is neither followed nor replaced.
    std::filesystem::rename(directory.file("glintmoth-settings.json"), directory.file("mine.json"));
    std::filesystem::create_symlink("mine.json", directory.file("glintmoth-settings.json"));
    CapturedSink sink;
    keys("s");
    EXPECT_EQ(sink.text(), "INFO: the settings could not be written: " +
                               directory.file("glintmoth-settings.json") +
                               ": is a symbolic link\n");
    EXPECT_TRUE(std::filesystem::is_symlink(directory.file("glintmoth-settings.json")));
    EXPECT_EQ(readText(directory.file("mine.json")), text);
}

TEST_F(FrameTimes, ABatchMeasuresEachConfigurationAfterItsWarmUp) {
    ScratchWorkingDirectory directory;
    Vellumar::measure::RunOptions options;
    options.frames = 3;
    options.warmup = 2;
    options.sweeps = {{"loopsCount.y", 0, 10, 10}};
    options.csvPath = directory.file("batch.csv");
    options.jsonPath = directory.file("batch.json");
    options.report = true;
    std::ostringstream out;
    std::ostringstream progress;
    int finishes = 0;
    {
        GLCallCounter counter;
        EXPECT_EQ(runBatch(test, options, out, progress, false), 0);
        finishes = counter.count("glFinish");
    }
    EXPECT_EQ(finishes, 2 * (2 + 3));
    EXPECT_EQ(test.loopsCount.y, 10);
    EXPECT_TRUE(std::regex_match(
        progress.str(), std::regex("configuration 1/2: loopsCount.y=0 \\(\\? left\\)\n"
                                   "configuration 2/2: loopsCount.y=10 \\([0-9:]+ left\\)\n")))
        << progress.str();
    EXPECT_TRUE(
        std::regex_search(out.str(), std::regex("^configuration 2/2: loopsCount.y=10: 3 frames\n"
                                                "  wall_s: median [0-9.e-]+  p5 ",
                                                std::regex::multiline)))
        << out.str();

    const std::vector<std::string> rows = linesOf(readText(options.csvPath));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0], "config,frame,loopsCount.y,gpu_s,wall_s");
    EXPECT_EQ(rows[1].rfind("0,0,0,", 0), 0u);
    EXPECT_EQ(rows[6].rfind("1,2,10,", 0), 0u);

    const nlohmann::json results = nlohmann::json::parse(readText(options.jsonPath));
    ASSERT_EQ(results["configurations"].size(), 2u);
    for (const nlohmann::json& configuration : results["configurations"]) {
        EXPECT_EQ(configuration["frames"], 3);
        EXPECT_GT(configuration["wall_s"]["median"].get<double>(), 0.0);
    }
    EXPECT_EQ(results["configurations"][1]["settings"]["loopsCount.y"], 10);
    // The wall medians are the CSV's.
    double walls[3];
    for (int i = 0; i < 3; ++i) {
        walls[i] = std::stod(rows[4 + i].substr(rows[4 + i].rfind(',') + 1));
    }
    std::sort(walls, walls + 3);
    EXPECT_DOUBLE_EQ(results["configurations"][1]["wall_s"]["median"].get<double>(), walls[1]);
}

// The JSON file holds every configuration so far: rewritten after each one,
// a long sweep would be quadratic in its length.
// The JSON file is rewritten at a bounded rate (its cost against a sweep
// without it is in scripts/bench): whatever was skipped on the way, the file
// ends whole.
TEST_F(FrameTimes, ALongSweepEndsWithEveryConfigurationInItsJsonFile) {
    ScratchWorkingDirectory directory;
    Vellumar::measure::RunOptions options;
    options.frames = 1;
    options.warmup = 0;
    options.sweeps = {{"loopsCount.y", 0, 299, 1}};
    options.jsonPath = directory.file("long.json");
    test.fastMode = true;
    std::ostringstream out;
    std::ostringstream progress;
    ASSERT_EQ(runBatch(test, options, out, progress, false), 0);
    const auto configurations = nlohmann::json::parse(readText(options.jsonPath))["configurations"];
    ASSERT_EQ(configurations.size(), 300u);
    EXPECT_EQ(configurations[299]["swept"]["loopsCount.y"], 299);
}

} // namespace
