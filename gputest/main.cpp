// Entry point: one test application on the heap, the tool's own options read
// from what GLUT left of the command line, the --set assignments applied
// after init's start values, then either the framework's main loop (which
// never returns) or, with --capture DIR, one capture written to DIR.
#include <chrono>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "CommandLine.h"
#include "GLAppGPUTest.h"
#include "GLHeaders.h"
#include "GPUTestSettings.h"
#include "SettingRegistry.h"

namespace {

// --set may move or size the window; a capture is taken at the size the
// window has, so it waits (up to five seconds) for the X server's answer.
void placeWindow(GLAppGPUTest& app) {
    const int width = app.winSize.x < 1 ? 1 : app.winSize.x;
    const int height = app.winSize.y < 1 ? 1 : app.winSize.y;
    glutPositionWindow(app.winPos.x, app.winPos.y);
    glutReshapeWindow(width, height);
    for (int i = 0; i < 5000 && (app.windowWidth != width || app.windowHeight != height); ++i) {
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

int main(int argc, char** argv) {
    auto* app = new GLAppGPUTest(
        &argc, argv,
        "The Tazzle Glintmoth (rasterisation and fragment scheduling probe, February 08)", 512, 512,
        58);
    Vellumar::measure::SettingRegistry settings;
    registerSettings(*app, settings);
    const Vellumar::measure::CommandLineResult parsed =
        Vellumar::measure::parseCommandLine(argc, argv, settings);
    if (parsed.action == Vellumar::measure::CommandLineResult::Action::exit) {
        std::cout << parsed.output << std::flush;
        if (!parsed.error.empty()) {
            std::cerr << parsed.error << "\n";
        }
        return parsed.exitStatus;
    }
    const Vellumar::measure::RunOptions& options = parsed.options;
    if (options.batch() || !options.settingsPath.empty()) {
        std::cerr << "glintmoth: --frames and --settings are not available in this build\n";
        return Vellumar::measure::usageErrorStatus;
    }
    if (options.assignments.empty() && options.captureDirectory.empty()) {
        app->run();
    }

    app->start();
    for (const Vellumar::measure::SettingAssignment& assignment : options.assignments) {
        // The command line checked each one against this registry.
        if (std::optional<std::string> problem =
                settings.apply(assignment.name, assignment.value)) {
            std::cerr << "glintmoth: --set " << *problem << "\n";
            return Vellumar::measure::usageErrorStatus;
        }
    }
    placeWindow(*app);
    if (!options.captureDirectory.empty()) {
        return app->writeCapture(options.captureDirectory);
    }
    glutMainLoop();
    return 0;
}
