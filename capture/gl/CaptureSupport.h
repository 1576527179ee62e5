// What the current OpenGL context offers a fragment capture: the version
// (4.3 brings the storage buffers and atomic counters every capture needs)
// and the extensions behind the optional parts. Read from the context at run
// time; a part whose flag is off is built out of the capture shader and
// reported as unavailable. Tests turn flags off to see a driver without them.
#pragma once

#include <string>
#include <vector>

namespace Vellumar::capture {

struct CaptureSupport {
    int majorVersion = 0;
    int minorVersion = 0;
    bool clock = false;       // GL_ARB_shader_clock
    bool ballot = false;      // GL_ARB_shader_ballot with GL_ARB_gpu_shader_int64
    bool threadGroup = false; // GL_NV_shader_thread_group
    // GL_MESA_framebuffer_flip_y: an off-screen framebuffer laid out top-down
    // in memory like a window's, so that the rasteriser walks it as it walks
    // the window (without it llvmpipe walks the rows the other way).
    bool flipY = false;

    // Needs a current context with GLEW initialised.
    static CaptureSupport ofCurrentContext();

    bool enough() const;
    // Empty when a capture can be taken, else one line saying why not.
    std::string refusal() const;
    // The line the capture shaders open with: GLSL 4.50 where the context
    // has it (it names helper invocations), else 4.30.
    std::string versionLine() const;
    // The features a capture uses, by extension name (core ones included).
    std::vector<std::string> extensionsUsed() const;
};

} // namespace Vellumar::capture
