// An OpenGL context with no display: EGL's device platform (one device per
// GPU, how GPU servers run OpenGL without an X server), or Mesa's surfaceless
// platform where no device is offered. A compatibility-profile context of
// version 4.3, or the highest offered, made current with no surface, and in
// place of the window a framebuffer object of the window's size, bound for
// drawing and reading. Nothing here talks to GLUT or to an X server.
#pragma once

#include <GL/glew.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace Vellumar {

// Why no off-screen context could be made, in one line.
class OffscreenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OffscreenDevice {
    int index = 0;
    // The driver says it renders on the processor (EGL_MESA_device_software).
    bool software = false;
    // The DRM render node, else the DRM device file; empty where it names none.
    std::string drmNode;
};

class OffscreenContext {
public:
    // The platform names the results record.
    static constexpr const char* devicePlatform = "egl-device";
    static constexpr const char* surfacelessPlatform = "egl-surfaceless";

    // The EGL devices in EGL's order; empty when the device platform is not
    // offered. Throws OffscreenError when EGL offers neither platform.
    static std::vector<OffscreenDevice> devices();
    // The first device that is not a software renderer, else the first;
    // nullopt (the surfaceless platform) when there is none.
    static std::optional<int> defaultDevice(const std::vector<OffscreenDevice>& devices);

    // A current context on device `device` (an index into devices()), or on
    // the surfaceless platform for nullopt. Throws OffscreenError saying
    // which step failed.
    explicit OffscreenContext(std::optional<int> device);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    const char* platform() const { return device ? devicePlatform : surfacelessPlatform; }
    std::optional<int> deviceIndex() const { return device; }

    // Makes (or resizes) the framebuffer the frames draw into and leaves it
    // bound, draw and read buffer GL_COLOR_ATTACHMENT0. Not flipped with
    // GL_MESA_framebuffer_flip_y: on Mesa 22.3 a flipped framebuffer that was
    // resized gave the test's shader a stale gl_FragCoord.y (freeze points
    // in the wrong rows). Captures flip their own framebuffer. Throws
    // OffscreenError for a size the driver refuses or an incomplete framebuffer.
    void resizeFramebuffer(int width, int height);

private:
    std::optional<int> device;
    // EGLDisplay and EGLContext, kept opaque: EGL's headers stay out of
    // every file that includes this one.
    void* display = nullptr;
    void* context = nullptr;
    GLuint framebuffer = 0;
    GLuint colorBuffer = 0;
    GLuint depthStencilBuffer = 0;
};

} // namespace Vellumar
