// Entry point: one test application on the heap, the command line read before
// GLUT sees what is left of it (GLUT's own options), then the program it asks
// for. An off-screen framebuffer the driver refuses (a swept winSize too
// large, say) ends a run without a window with one line and status 1.
#include <iostream>

#include "CommandLine.h"
#include "GLAppGPUTest.h"
#include "OffscreenContext.h"
#include "ProgramRun.h"

int main(int argc, char** argv) {
    auto* app = new GLAppGPUTest(
        &argc, argv,
        "The Tazzle Glintmoth (rasterisation and fragment scheduling probe, February 08)", 512, 512,
        58);
    const Vellumar::measure::CommandLineResult parsed =
        Vellumar::measure::parseCommandLine(argc, argv, app->measurements.namedSettings());
    if (parsed.action == Vellumar::measure::CommandLineResult::Action::exit) {
        std::cout << parsed.output << std::flush;
        if (!parsed.error.empty()) {
            std::cerr << parsed.error << "\n";
        }
        return parsed.exitStatus;
    }
    try {
        return runProgram(*app, parsed.options);
    } catch (const Vellumar::OffscreenError& error) {
        std::cerr << "glintmoth: " << error.what() << "\n";
        return 1;
    }
}
