// Test seam over glGetError: the test binary defines glGetError itself, so
// the code under test reaches this one. Queued codes are returned first, one
// per call, then the real driver answers.
#pragma once

#include <GL/glew.h>

namespace testsupport {

void queueGLError(GLenum code);
void clearQueuedGLErrors();
// Calls of glGetError made by the code under test since the last reset.
int glGetErrorCalls();
void resetGlGetErrorCalls();

} // namespace testsupport
