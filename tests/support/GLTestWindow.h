// One GLUT window with a current OpenGL context per test binary, created on
// first use under the X server that DISPLAY names (tests run under xvfb-run).
#pragma once

namespace testsupport {

// Creates the window (512 x 512, display mode 58) and initialises GLEW the
// first time; later calls only make sure it is current.
void ensureGLWindow();

// Processes pending GLUT events a few times, so that reshape and input
// callbacks of the window have run.
void pumpGlutEvents(int rounds = 5);

} // namespace testsupport
