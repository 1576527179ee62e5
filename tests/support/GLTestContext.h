// The test binary's one OpenGL context without a window, for tests that need
// GL but no screen: EGL on the default device (else Mesa's surfaceless
// platform), with a 512 x 512 framebuffer bound where a window would be. No
// X server is involved.
#pragma once

namespace testsupport {

// Makes the context and its framebuffer the first time (GLEW loaded, the
// viewport the whole framebuffer); later calls do nothing.
void ensureGLContext();

} // namespace testsupport
