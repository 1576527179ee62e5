// The batch loop. The frame's own code does the measuring (FrameLog); the
// loop only restarts the log's stretch after the warm-up frames and reads the
// stretch back between configurations, where files may be written.
#include "BatchRun.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "CommandLine.h"
#include "GLAppGPUTest.h"
#include "GLHeaders.h"
#include "ProgramRun.h"
#include "ResultsFiles.h"
#include "RunWatchdog.h"
#include "WholeFile.h"

namespace {

using Vellumar::measure::Configuration;
using Vellumar::measure::ConfigurationResult;
using Vellumar::measure::FrameSeries;
using Vellumar::measure::SweepPlan;
using Clock = std::chrono::steady_clock;

void drawFrames(int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        Vellumar::GLApp::displayFrame();
    }
}

// The swept values; the window follows a swept position or size.
void applyConfiguration(GLAppGPUTest& app, const Configuration& configuration) {
    const Vec2i position = app.winPos;
    const Vec2i size = app.winSize;
    for (const Vellumar::measure::SweepValue& value : configuration) {
        // The command line checked every value against this registry.
        app.measurements.namedSettings().setValue(value.name, value.value);
    }
    if (app.winPos != position || app.winSize != size) {
        app.placeWindow();
        settleWindow(app);
    }
}

// The warm-up frames, dropped, then the frames the log's new stretch keeps:
// with no warm-up, one more, since the configuration's first frame stays out.
void measureConfiguration(GLAppGPUTest& app, const Configuration& configuration, int32_t warmup,
                          int32_t frames) {
    applyConfiguration(app, configuration);
    drawFrames(warmup);
    const bool firstStaysOut =
        app.measurements.frameLog().restart(app.measurements.settingsFingerprint());
    drawFrames(frames + (firstStaysOut ? 1 : 0));
}

// What the log holds of the configuration just measured.
ConfigurationResult resultOf(const GLAppGPUTest& app, size_t index,
                             const Configuration& configuration) {
    const Vellumar::measure::FrameLog::Stretch& frames = app.measurements.frameLog().live();
    ConfigurationResult result;
    result.index = index;
    result.frames = frames.size();
    result.swept = configuration;
    result.settings = app.measurements.namedSettings().snapshot();
    result.gpu = frames.summary(FrameSeries::gpu);
    result.wall = frames.summary(FrameSeries::wall);
    result.coverage = frames.coverage();
    return result;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The --csv and --json files of the run. The JSON file holds every
// configuration so far, rewritten whole; so that a long sweep stays linear,
// not after every configuration but once the time since the last write is
// jsonPause times what that write took, and at the end. Each step that fails
// says why in one line on the progress stream and returns false.
class BatchFiles {
public:
    BatchFiles(const GLAppGPUTest& app, const Vellumar::measure::RunOptions& options,
               std::ostream& progress)
        : app(app), options(options), progress(progress) {}

    // The writer checks the files' places again: they may have changed since
    // the command line looked.
    bool open(const SweepPlan& plan) {
        return options.csvPath.empty() || written("glintmoth: --csv ", [&] {
                   csv.emplace(options.csvPath);
                   csv->write(Vellumar::measure::csvHeader(plan.names()));
               });
    }
    bool add(const Vellumar::measure::FrameLog::Stretch& measured, ConfigurationResult result) {
        for (size_t frame = 0; csv && frame < measured.size(); ++frame) {
            csv->write(
                Vellumar::measure::csvRow(result.index, frame, result.swept, measured[frame]));
        }
        results.push_back(std::move(result));
        return secondsSince(lastJsonWrite) < jsonPause * lastJsonSeconds || writeJson();
    }
    // The configurations added so far, in both files; none when there are
    // none (a run that failed in its first configuration leaves no file).
    bool commit() {
        if (results.empty()) {
            csv.reset();
            return true;
        }
        return writeJson() && (!csv || written("glintmoth: --csv ", [&] { csv->commit(); }));
    }

private:
    static constexpr double jsonPause = 10.0;

    bool writeJson() {
        if (options.jsonPath.empty()) {
            return true;
        }
        const Clock::time_point start = Clock::now();
        // After a progress line that may be a bar without its newline.
        const bool done = written("\nglintmoth: --json ", [&] {
            Vellumar::measure::writeWholeFile(
                options.jsonPath, Vellumar::measure::resultsJson(Vellumar::measure::versionString(),
                                                                 app.contextRecord(), results));
        });
        lastJsonWrite = Clock::now();
        lastJsonSeconds = std::chrono::duration<double>(lastJsonWrite - start).count();
        return done;
    }

    template <typename Write>
    bool written(const char* saying, const Write& write) {
        try {
            write();
            return true;
        } catch (const Vellumar::measure::WriteError& error) {
            progress << saying << error.what() << "\n";
            return false;
        }
    }

    const GLAppGPUTest& app;
    const Vellumar::measure::RunOptions& options;
    std::ostream& progress;
    std::optional<Vellumar::measure::WholeFile> csv;
    std::vector<ConfigurationResult> results;
    Clock::time_point lastJsonWrite;
    double lastJsonSeconds = 0.0;
};

} // namespace

void settleWindow(GLAppGPUTest& app) {
    if (app.offscreen) {
        // The framebuffer has its size already; only its reshape is due.
        app.processWindowEvents();
        return;
    }
    const int wantedWidth = std::max(app.winSize.x, 1);
    const int wantedHeight = std::max(app.winSize.y, 1);
    // A reshape or an expose asks for a redisplay; those frames are not the
    // batch's, so nothing is drawn meanwhile.
    glutDisplayFunc([] {});
    for (int round = 0; round < 1000; ++round) {
        glutMainLoopEvent();
        if (round >= 20 && app.windowWidth == wantedWidth && app.windowHeight == wantedHeight) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    glutDisplayFunc(Vellumar::GLApp::displayFrame);
}

int runBatch(GLAppGPUTest& app, const Vellumar::measure::RunOptions& options, std::ostream& out,
             std::ostream& progress, bool progressOnTerminal) {
    const SweepPlan plan(options.sweeps);
    const int32_t frames = std::max<int32_t>(options.frames.value_or(1), 1);
    // Every measured frame of a configuration stays in the ring until it is
    // written.
    app.measurements.frameLog().resize(std::max<size_t>(
        static_cast<size_t>(frames), Vellumar::measure::FrameLog::defaultCapacity));
    BatchFiles files(app, options, progress);
    if (!files.open(plan)) {
        return 1;
    }
    // A configuration stuck in the driver ends the run from the watchdog's
    // thread, with the configurations before it written.
    RunWatchdog watchdog(
        std::chrono::seconds(options.timeout), [&files] { files.commit(); }, progress);
    const Clock::time_point runStart = Clock::now();
    for (size_t index = 0; index < plan.count(); ++index) {
        const Configuration configuration = plan.at(index);
        const std::string described = SweepPlan::describe(configuration);
        const Vellumar::measure::Progress state{index, plan.count(), described,
                                                secondsSince(runStart)};
        progress << (progressOnTerminal ? Vellumar::measure::progressBar(state)
                                        : Vellumar::measure::progressPlainLine(state))
                 << std::flush;

        watchdog.start(Vellumar::measure::configurationHeading(index, plan.count(), described));
        measureConfiguration(app, configuration, options.warmup, frames);
        ConfigurationResult result = resultOf(app, index, configuration);
        const std::unique_lock<std::mutex> resultsAreOurs = watchdog.finished();
        // A shader that did not build measures nothing: what ran before it stays.
        if (failedOnCriticalError(progress, progressOnTerminal)) {
            files.commit();
            return 1;
        }
        if (options.report) {
            out << Vellumar::measure::configurationReport(result, plan.count(), described)
                << std::flush;
        }
        if (!files.add(app.measurements.frameLog().live(), std::move(result))) {
            return 1;
        }
    }
    const std::unique_lock<std::mutex> resultsAreOurs = watchdog.finished();
    if (progressOnTerminal) {
        progress << Vellumar::measure::progressBar(
                        {plan.count(), plan.count(), "", secondsSince(runStart)})
                 << "\n"
                 << std::flush;
    }
    return files.commit() ? 0 : 1;
}
