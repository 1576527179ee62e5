// A batch run (--frames N): every configuration of the sweep plan measured
// through the real frame path (display, then postDisplay, as GLUT runs them)
// in test mode: W warm-up frames drawn and dropped, then N frames kept. Each
// configuration's frames go to the CSV file, its statistics to the JSON file
// (rewritten now and then, so that a stopped run leaves what it measured)
// and, with --report, to standard output; progress goes to standard error,
// as a bar on a terminal and as plain lines otherwise. A shader that did not
// build, or a configuration past --timeout, ends the run with status 1 and
// the configurations before it written.
#pragma once

#include <iosfwd>

#include "CommandLine.h"

class GLAppGPUTest;

// The application started, in test mode, with its settings applied. Returns
// the exit status: 0, or 1 when a results file could not be written or a
// shader did not build (said on the progress stream).
int runBatch(GLAppGPUTest& app, const Vellumar::measure::RunOptions& options, std::ostream& out,
             std::ostream& progress, bool progressOnTerminal);

// Processes the window's pending events until it has the size winSize asks
// for (or a second has passed), without drawing a frame: a batch measures
// only the frames it draws itself. Without a window, delivers the reshape.
void settleWindow(GLAppGPUTest& app);
