// A hidden-away GLUT window with a current OpenGL context and GLEW ready, for
// the benchmarks that drive the shader classes.
#pragma once

namespace testsupport {

// Returns false when no window could be made (no X server, say).
bool openGLWindow(int* argc, char** argv);

} // namespace testsupport
