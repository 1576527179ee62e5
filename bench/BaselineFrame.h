// The frame of the GPU test written by hand against raw OpenGL, with no
// framework at all: the same state, shaders, uniforms, draw calls, error
// checks, glFinish and timer read, in the same order. What the tool costs
// beyond this is its own overhead.
#pragma once

#include <GL/glew.h>

#include <string>

#include "FrameSettings.h"

namespace testsupport {

class BaselineFrame {
public:
    // Builds its own program from the shader files in shaderDirectory, with
    // the macros the tool's frame sets for these settings. Its frames draw
    // into `buffer`: the window's front buffer, or colour attachment 0 of the
    // framebuffer bound where there is no window.
    BaselineFrame(const std::string& shaderDirectory, const FrameSettings& settings, GLenum buffer);
    ~BaselineFrame();

    void run(const FrameSettings& settings);

private:
    void drawBigQuad();
    void drawSmallPrimitives(const FrameSettings& settings);
    void emit(int mode, float x, float y, float sx, float sy);

    GLenum buffer;
    GLuint program = 0;
    GLuint stages[2] = {0, 0};
};

} // namespace testsupport
