// Refusals here happen before GLUT connects to a display, with the command
// line's form: one "glintmoth: ..." line and exit status 2. A broken settings
// file is such a refusal for a batch run or a capture, which would otherwise
// measure something else than asked; the interactive session says so and
// starts with its defaults. So is a window size the GL or X cannot give,
// which is only known once the context exists.
#include "ProgramRun.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "BatchRun.h"
#include "CommandLine.h"
#include "CompareCommand.h"
#include "GLAppGPUTest.h"
#include "GLHeaders.h"
#include "HeadlessRun.h"
#include "MessageSink.h"
#include "RunWatchdog.h"
#include "SettingsFile.h"

namespace {

using Vellumar::measure::RunOptions;

// The settings file's text when it reads and parses; nullopt otherwise, after
// saying why.
std::optional<std::string> checkedSettingsText(const RunOptions& options, bool& refused) {
    refused = false;
    if (options.settingsPath.empty()) {
        return std::nullopt;
    }
    std::string text;
    const std::optional<std::string> problem =
        Vellumar::measure::readSettingsText(options.settingsPath, text);
    if (!problem) {
        return text;
    }
    if (options.batch() || !options.captureDirectory.empty()) {
        std::cerr << "glintmoth: --settings " << *problem << "\n";
        refused = true;
    } else {
        Vellumar::MessageSink::instance().info(
            "%s: the settings file is ignored; starting with the default settings",
            problem->c_str());
    }
    return std::nullopt;
}

void applySettingsFile(GLAppGPUTest& app, const std::string& path, const std::string& text) {
    const Vellumar::measure::SettingsLoadReport report =
        Vellumar::measure::loadSettingsText(app.measurements.namedSettings(), text, path);
    if (!report.unknownKeys.empty()) {
        std::string names;
        for (const std::string& key : report.unknownKeys) {
            names += (names.empty() ? "" : ", ") + key;
        }
        Vellumar::MessageSink::instance().info("%s: ignored unknown settings: %s", path.c_str(),
                                               names.c_str());
    }
    for (const std::string& line : report.refused) {
        Vellumar::MessageSink::instance().info("%s", line.c_str());
    }
}

// Why the window cannot take a size the run asks for: the start size or, in a
// batch, either end of a sweep of its width or height.
std::optional<std::string> windowSizeProblem(const GLAppGPUTest& app, const RunOptions& options) {
    std::vector<Vec2i> sizes = {app.winSize};
    for (const Vellumar::measure::SweepRange& sweep : options.sweeps) {
        for (const int32_t end : {sweep.valueAt(0), sweep.valueAt(sweep.count() - 1)}) {
            if (sweep.name == "winSize.x") {
                sizes.push_back({end, app.winSize.y});
            } else if (sweep.name == "winSize.y") {
                sizes.push_back({app.winSize.x, end});
            }
        }
    }
    for (const Vec2i& size : sizes) {
        if (std::optional<std::string> problem = app.windowSizeProblem(size)) {
            return problem;
        }
    }
    return std::nullopt;
}

// The settings file, then the --set assignments, then the window where they
// put it. False after a refused assignment, or a window size that cannot be
// had in a batch or a capture, has been said; the interactive session keeps
// its window as it is then.
bool applyStartSettings(GLAppGPUTest& app, const RunOptions& options,
                        const std::optional<std::string>& settingsText) {
    const Vec2i position = app.winPos;
    const Vec2i size = app.winSize;
    if (settingsText) {
        applySettingsFile(app, options.settingsPath, *settingsText);
    }
    for (const Vellumar::measure::SettingAssignment& assignment : options.assignments) {
        // The command line checked each one against this registry.
        if (std::optional<std::string> problem =
                app.measurements.namedSettings().apply(assignment.name, assignment.value)) {
            std::cerr << "glintmoth: --set " << *problem << "\n";
            return false;
        }
    }
    if (const std::optional<std::string> problem = windowSizeProblem(app, options)) {
        if (options.unattended()) {
            std::cerr << "glintmoth: winSize: " << *problem << "\n";
            return false;
        }
        Vellumar::MessageSink::instance().info("winSize: %s; keeping %d x %d", problem->c_str(),
                                               size.x, size.y);
        app.winSize = size;
    }
    if (app.winPos != position || app.winSize != size) {
        app.placeWindow();
    }
    return true;
}

} // namespace

bool failedOnCriticalError(std::ostream& errors, bool afterBar) {
    const std::optional<std::string> error = Vellumar::MessageSink::instance().takeCriticalError();
    if (!error) {
        return false;
    }
    // A compile log's first line names the file and the first message.
    errors << (afterBar ? "\n" : "") << "glintmoth: " << error->substr(0, error->find('\n')) << "\n"
           << std::flush;
    return true;
}

int runProgram(GLAppGPUTest& app, const RunOptions& options) {
    if (options.listDevices) {
        return listDevices(std::cout, std::cerr);
    }
    if (!options.compare.empty()) {
        return Vellumar::capture::compareCaptures(options.compare[0], options.compare[1], std::cout,
                                                  std::cerr);
    }
    bool refused = false;
    const std::optional<std::string> settingsText = checkedSettingsText(options, refused);
    if (refused) {
        return Vellumar::measure::usageErrorStatus;
    }

    // Nobody answers a pause of a batch or a capture, whatever standard input is.
    Vellumar::MessageSink::instance().setUnattended(options.unattended());
    const bool display = displayNamed(*app.argumentCount, app.arguments);
    if (!options.unattended() && !display) {
        std::cerr << "glintmoth: the interactive session needs an X display (DISPLAY is not set); "
                     "--frames and --capture run without one\n";
        return 1;
    }
    std::unique_ptr<Vellumar::OffscreenContext> context;
    if (runsWithoutWindow(options, display)) {
        int status = 0;
        context = openHeadlessContext(options, std::cerr, status);
        if (!context) {
            return status;
        }
    }
    if (context) {
        app.startOffscreen(*context);
    } else {
        app.start();
    }
    // The shader files are read by now.
    if (failedOnCriticalError(std::cerr)) {
        return 1;
    }
    if (options.unattended()) {
        std::cout << Vellumar::measure::contextLine(app.contextRecord()) << "\n" << std::flush;
    }
    if (options.batch()) {
        app.setConfigMode(false);
    }
    if (!applyStartSettings(app, options, settingsText)) {
        return Vellumar::measure::usageErrorStatus;
    }
    if (!options.captureDirectory.empty()) {
        // Taken at the window's size, once the X server has given it.
        settleWindow(app);
        RunWatchdog watchdog(std::chrono::seconds(options.timeout), {}, std::cerr);
        watchdog.start("the capture");
        return app.captureSession.recordAndWrite(options.captureDirectory, options.repeat);
    }
    if (options.batch()) {
        // The report is the command line's choice here, not the file's.
        app.printStats = options.report;
        settleWindow(app);
        return runBatch(app, options, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
    }
    // The session starts in configuration mode, which runs in fast mode
    // whatever a file or --set said: fastMode is for test mode and batches.
    app.fastMode = true;
    glutMainLoop();
    std::exit(0);
}
