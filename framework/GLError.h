// The labelled OpenGL error check: one glGetError per call, reported as a
// critical error "<label> OpenGL Error (<code>): <text>".
#pragma once

namespace Vellumar {

// Fetches one pending OpenGL error; writes nothing when there is none. Further
// pending errors stay for later checks, one per check.
void checkGLError(const char* label);

// The text reported for an OpenGL error code.
const char* glErrorText(unsigned int code);

} // namespace Vellumar
