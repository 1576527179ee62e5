// The GL state guard around TwDraw: puts in place the state the bars'
// renderer needs and gives the program its own state back afterwards.
//
// Implements: saving and restoring the current program, the active texture
//   unit (the texture bound on it comes back through the renderer), bound
//   buffers and vertex array, client arrays and pixel store, enables, blend
//   function and equation, colour mask, polygon mode, viewport, scissor,
//   matrix mode and draw buffer; the renderer pushes and pops the projection
//   and modelview matrices itself. Issues no glGetError, so a pending error
//   stays for the program.
// Refuses: nothing; vertex arrays and pixel buffers are touched only where
//   the context has them, as GLEW (initialised before the first TwDraw) says.
#pragma once

#include <GL/glew.h>

namespace Vellumar::tweakbar {

class GLStateGuard {
public:
    GLStateGuard();
    ~GLStateGuard();
    GLStateGuard(const GLStateGuard&) = delete;
    GLStateGuard& operator=(const GLStateGuard&) = delete;

private:
    GLint savedProgram = 0;
    GLint savedActiveTexture = 0;
    GLint savedVertexArray = 0;
    GLint savedArrayBuffer = 0;
    GLint savedElementBuffer = 0;
    GLint savedUnpackBuffer = 0;
    const bool hasVertexArrays;
    const bool hasPixelBuffers;
};

} // namespace Vellumar::tweakbar
