// The program as its command line asks for it: the settings file read and
// checked before any window opens, then, after init's start values, the
// settings file and the --set assignments applied in that order, the window
// placed where they put it, and either the interactive session (the GLUT main
// loop), a batch run or one fragment capture written to --capture DIR. A
// batch and a capture are unattended: a critical error fails them with
// status 1 instead of waiting on the console. They run in an off-screen EGL
// context where there is no display (or --headless or --device asks for
// one), and say on standard output which context measured them.
#pragma once

#include <iosfwd>

#include "CommandLine.h"

class GLAppGPUTest;

// The exit status. The interactive session ends the process itself (`q`).
int runProgram(GLAppGPUTest& app, const Vellumar::measure::RunOptions& options);

// In a batch or a capture: the critical error the message sink kept (a
// shader that did not build), said as one "glintmoth: ..." line on `errors`,
// on a line of its own after a progress bar. False when there is none.
bool failedOnCriticalError(std::ostream& errors, bool afterBar = false);
