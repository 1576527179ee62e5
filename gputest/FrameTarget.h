// What a frame draws into and with: the buffer (the window's front or back
// buffer, or colour attachment 0 of a framebuffer object: a capture's, or the
// one that stands in for the window when there is none), the program and its
// fragment shader, and whether the slowdown loops run. The frame receives it
// whole, so nothing of the live frame is borrowed and put back for a capture.
#pragma once

#include <GL/glew.h>

namespace Vellumar {
class ShaderGLSL;
class ShaderProgramGLSL;
} // namespace Vellumar

struct FrameTarget {
    // Cleared, then drawn into (glDrawBuffer).
    GLenum buffer = GL_FRONT;
    Vellumar::ShaderProgramGLSL* program = nullptr;
    // The program's fragment shader, which receives the frame's macros.
    Vellumar::ShaderGLSL* fragmentShader = nullptr;
    // False in fast mode: the shaders get zero loop cycles.
    bool slowdownLoops = false;
};
