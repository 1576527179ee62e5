// The batch loop. The frame's own code does the measuring (FrameLog); the
// loop only restarts the log's stretch after the warm-up frames and reads the
// stretch back between configurations, where files may be written.
#include "BatchRun.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <thread>

#include "CommandLine.h"
#include "GLAppGPUTest.h"
#include "GLHeaders.h"
#include "ProgressLine.h"
#include "ResultsFiles.h"
#include "WholeFile.h"

namespace {

using Vellumar::measure::Configuration;
using Vellumar::measure::ConfigurationResult;
using Vellumar::measure::FrameSeries;
using Vellumar::measure::SweepPlan;

void drawFrames(int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        Vellumar::GLApp::displayFrame();
    }
}

bool sameGeometry(const GLAppGPUTest& app, const Vec2i& position, const Vec2i& size) {
    return app.winPos.x == position.x && app.winPos.y == position.y && app.winSize.x == size.x &&
           app.winSize.y == size.y;
}

// The swept values; the window follows a swept position or size.
void applyConfiguration(GLAppGPUTest& app, const Configuration& configuration) {
    const Vec2i position = app.winPos;
    const Vec2i size = app.winSize;
    for (const Vellumar::measure::SweepValue& value : configuration) {
        // The command line checked every value against this registry.
        app.measurements.namedSettings().setValue(value.name, value.value);
    }
    if (!sameGeometry(app, position, size)) {
        app.placeWindow();
        settleWindow(app);
    }
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

} // namespace

void settleWindow(GLAppGPUTest& app) {
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
    using Vellumar::measure::WriteError;
    const SweepPlan plan(options.sweeps);
    const int32_t frames = std::max<int32_t>(options.frames.value_or(1), 1);
    // Every measured frame of a configuration stays in the ring until it is
    // written.
    app.measurements.frameLog().resize(std::max<size_t>(
        static_cast<size_t>(frames), Vellumar::measure::FrameLog::defaultCapacity));
    // The writer checks the files' places again: they may have changed since
    // the command line looked.
    std::optional<Vellumar::measure::WholeFile> csv;
    try {
        if (!options.csvPath.empty()) {
            csv.emplace(options.csvPath);
            csv->write(Vellumar::measure::csvHeader(plan.names()));
        }
    } catch (const WriteError& error) {
        progress << "glintmoth: --csv " << error.what() << "\n";
        return 1;
    }
    std::vector<ConfigurationResult> results;
    const std::chrono::steady_clock::time_point runStart = std::chrono::steady_clock::now();
    for (size_t index = 0; index < plan.count(); ++index) {
        const Configuration configuration = plan.at(index);
        const std::string described = SweepPlan::describe(configuration);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - runStart;
        const Vellumar::measure::Progress state{index, plan.count(), described, elapsed.count()};
        progress << (progressOnTerminal ? Vellumar::measure::progressBar(state)
                                        : Vellumar::measure::progressPlainLine(state))
                 << std::flush;

        applyConfiguration(app, configuration);
        drawFrames(options.warmup);
        app.measurements.frameLog().restart(app.measurements.settingsFingerprint());
        drawFrames(frames);

        const Vellumar::measure::FrameLog::Stretch& measured = app.measurements.frameLog().live();
        for (size_t frame = 0; csv && frame < measured.size(); ++frame) {
            csv->write(Vellumar::measure::csvRow(index, frame, configuration, measured[frame]));
        }
        ConfigurationResult result = resultOf(app, index, configuration);
        if (options.report) {
            out << Vellumar::measure::configurationReport(result, plan.count(), described)
                << std::flush;
        }
        if (!options.jsonPath.empty()) {
            results.push_back(std::move(result));
            try {
                Vellumar::measure::writeWholeFile(
                    options.jsonPath,
                    Vellumar::measure::resultsJson(Vellumar::measure::versionString(), results));
            } catch (const WriteError& error) {
                progress << "\nglintmoth: --json " << error.what() << "\n";
                return 1;
            }
        }
    }
    if (progressOnTerminal) {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - runStart;
        progress << Vellumar::measure::progressBar(
                        {plan.count(), plan.count(), "", elapsed.count()})
                 << "\n"
                 << std::flush;
    }
    try {
        if (csv) {
            csv->commit();
        }
    } catch (const WriteError& error) {
        progress << "glintmoth: --csv " << error.what() << "\n";
        return 1;
    }
    return 0;
}
