// The framework's clock: GLUT's elapsed time in milliseconds, read through a
// replaceable function so that tests can drive the frame-rate and message
// timing without sleeping.
#pragma once

namespace Vellumar {

using ElapsedTimeSource = int (*)();

// Returns glutGet(GLUT_ELAPSED_TIME).
int glutElapsedTime();

// The clock that GLApp reads; glutElapsedTime unless a test replaced it.
extern ElapsedTimeSource elapsedTimeSource;

} // namespace Vellumar
