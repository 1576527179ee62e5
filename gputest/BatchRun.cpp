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
#include "CsvFrameWriter.h"
#include "FrameStatistics.h"
#include "GLAppGPUTest.h"
#include "GLHeaders.h"
#include "JsonResults.h"
#include "NumberText.h"
#include "ProgressLine.h"
#include "SweepPlan.h"

namespace {

using Vellumar::measure::Configuration;
using Vellumar::measure::ConfigurationResult;
using Vellumar::measure::Coverage;
using Vellumar::measure::FrameSeries;
using Vellumar::measure::FrameStatistics;
using Vellumar::measure::Summary;
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
        app.settings.setValue(value.name, value.value);
    }
    if (!sameGeometry(app, position, size)) {
        app.placeWindow();
        settleWindow(app);
    }
}

std::string summaryLine(const char* name, const Summary& summary) {
    using Vellumar::measure::formatDecimal;
    return std::string("  ") + name + ": median " + formatDecimal(summary.median) + "  p5 " +
           formatDecimal(summary.p5) + "  p95 " + formatDecimal(summary.p95) + "  min " +
           formatDecimal(summary.min) + "  max " + formatDecimal(summary.max) + "\n";
}

std::string coverageLine(const Coverage& coverage) {
    if (!coverage.judged()) {
        return "  timer coverage: not judged (too few frames of 1 ms or more)\n";
    }
    const long long percent = static_cast<long long>(std::min(coverage.ratio * 100.0, 1e9));
    return "  timer coverage: " + std::to_string(percent) + " %" +
           (coverage.fires ? " (trust wall_s)\n" : "\n");
}

// --report: what one configuration measured, on standard output.
void writeReport(std::ostream& out, const ConfigurationResult& result, size_t total,
                 const std::string& described) {
    out << "configuration " << result.index + 1 << "/" << total
        << (described.empty() ? "" : ": " + described) << ": " << result.frames << " frames\n"
        << summaryLine("wall_s", result.wall) << summaryLine("gpu_s ", result.gpu)
        << coverageLine(result.coverage) << std::flush;
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
    const SweepPlan plan(options.sweeps);
    const int32_t frames = std::max<int32_t>(options.frames.value_or(1), 1);
    // Every measured frame of a configuration stays in the ring until it is
    // written.
    app.frameLog.resize(std::max<size_t>(static_cast<size_t>(frames),
                                         Vellumar::measure::FrameTimeRing::defaultCapacity));
    FrameStatistics statistics(static_cast<size_t>(frames));

    std::optional<Vellumar::measure::CsvFrameWriter> csv;
    if (!options.csvPath.empty()) {
        csv.emplace(options.csvPath, plan.names());
        if (std::optional<std::string> problem = csv->open()) {
            progress << "glintmoth: --csv " << *problem << "\n";
            return 1;
        }
    }
    Vellumar::measure::JsonResults json(options.jsonPath, Vellumar::measure::versionString());

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
        app.frameLog.restart(app.settingsFingerprint());
        drawFrames(frames);

        const Vellumar::measure::FrameTimeRing& ring = app.frameLog.frames();
        ConfigurationResult result;
        result.index = index;
        result.frames = ring.sizeSinceChange();
        result.swept = configuration;
        result.settings = app.settings.snapshot();
        result.gpu = statistics.summarise(ring, FrameSeries::gpu);
        result.wall = statistics.summarise(ring, FrameSeries::wall);
        result.coverage = app.frameLog.coverageRule().evaluate(ring);
        if (csv) {
            if (std::optional<std::string> problem =
                    csv->writeConfiguration(index, configuration, ring)) {
                progress << "\nglintmoth: --csv " << *problem << "\n";
                return 1;
            }
        }
        if (options.report) {
            writeReport(out, result, plan.count(), described);
        }
        if (!options.jsonPath.empty()) {
            json.add(std::move(result));
            if (std::optional<std::string> problem = json.write()) {
                progress << "\nglintmoth: --json " << *problem << "\n";
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
    if (csv) {
        if (std::optional<std::string> problem = csv->commit()) {
            progress << "glintmoth: --csv " << *problem << "\n";
            return 1;
        }
    }
    return 0;
}
