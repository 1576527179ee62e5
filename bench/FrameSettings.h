// The GPU test as the benchmarks drive it: the real application started
// without the GLUT main loop, and one benchmark configuration (the settings a
// frame reads), which the tool gets through its members and the baseline
// reads directly.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <string>

#include "Point.h"
#include "Vec2i.h"

class GLAppGPUTest;

namespace testsupport {

struct FrameSettings {
    std::string name;
    int32_t test = 0; // 0 big quad, 1 small primitives
    bool fastMode = true;
    Vec2i loopsCount = {0, 0}; // x freezing, y standard cycles
    bool blocking = true;
    bool freezePoint0 = true;
    Point freezePoint = {0, 0, 1, 1};
    int32_t primitive = 7; // GL_QUADS
    Vec2i tile = {32, 32};
    Vec2i step = {8, 8};
    Vec2i size = {8, 8};
    bool perPrimitive = false;

    // Primitives one frame of the small-primitives test draws in a 512 x 512 window.
    int64_t primitiveCount() const;
};

// The GPU test application with its window, GLEW, shaders and bars, from the
// project root (it reads ./Shaders/); its start-up lines and per-frame
// report kept off standard output, its window at its place and size. Headless:
// in an off-screen EGL context on the default device instead of a window.
GLAppGPUTest* startTool(int* argc, char** argv, bool headless = false);

// Where the tool's test-mode frames draw: the window's front buffer, or the
// off-screen framebuffer's colour attachment.
GLenum frameBuffer(const GLAppGPUTest& tool);

// Puts the settings into the tool's members (test mode, no console report).
void applySettings(const FrameSettings& settings, GLAppGPUTest& tool);

} // namespace testsupport
