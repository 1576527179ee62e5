// Runs with no display: which runs draw without a window (a batch or a
// capture when no X display is named, or with --headless or --device), the
// EGL context they get, and --list-devices. Refusals and failures follow the
// command line's form: one "glintmoth: ..." line on the error stream, exit
// status 2 for a device that does not exist, 1 for EGL failing.
#pragma once

#include <iosfwd>
#include <memory>

#include "CommandLine.h"
#include "ContextRecord.h"
#include "OffscreenContext.h"

// DISPLAY set and not empty, or GLUT's -display option among the arguments
// left for glutInit.
bool displayNamed(int argc, char** argv);

bool runsWithoutWindow(const Vellumar::measure::RunOptions& options, bool display);

// The context of a run without a window, current, on --device N, else the
// default device, else Mesa's surfaceless platform. Null after one line on
// `errors`, with the exit status in `status`.
std::unique_ptr<Vellumar::OffscreenContext>
openHeadlessContext(const Vellumar::measure::RunOptions& options, std::ostream& errors,
                    int& status);

// The current context as the results record it: the window's (null) or an
// off-screen one, with the driver's strings read now.
Vellumar::measure::ContextRecord currentContextRecord(const Vellumar::OffscreenContext* offscreen);

// --list-devices: one line per EGL device, "N: VENDOR, RENDERER[, DRM node]",
// the vendor and renderer of a context made on it; where EGL offers no device,
// one line for the surfaceless platform. Returns the exit status.
int listDevices(std::ostream& out, std::ostream& errors);
