// Puts the GL state the bars' renderer needs in place and gives the program
// its own state back afterwards: current program, active texture unit (the
// texture bound on it comes back through the renderer), bound buffers and
// vertex array, client arrays and pixel store, enables, blend function and
// equation, colour mask, polygon mode, viewport, scissor, matrix mode, draw
// buffer. The renderer itself pushes and pops the projection and modelview
// matrices. Issues no glGetError, so a pending error stays for the program.
#pragma once

#include <GL/gl.h>

namespace tweakbar {

class GLStateGuard {
public:
    GLStateGuard();
    ~GLStateGuard();
    GLStateGuard(const GLStateGuard&) = delete;
    GLStateGuard& operator=(const GLStateGuard&) = delete;

private:
    GLint program_ = 0;
    GLint activeTexture_ = 0;
    GLint vertexArray_ = 0;
    GLint arrayBuffer_ = 0;
    GLint elementBuffer_ = 0;
    GLint unpackBuffer_ = 0;
    bool hasVertexArrays_ = false;
    bool hasPixelBuffers_ = false;
};

} // namespace tweakbar
