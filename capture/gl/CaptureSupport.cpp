// Versions and extensions come from GLEW's flags, which glewInit sets from the
// context (also under EGL, where glewInit reports no GLX display after it
// has read them).
#include "CaptureSupport.h"

#include <GL/glew.h>

namespace Vellumar::capture {

namespace {

bool atLeast(const CaptureSupport& support, int major, int minor) {
    return support.majorVersion > major ||
           (support.majorVersion == major && support.minorVersion >= minor);
}

struct Version {
    GLboolean offered;
    int major;
    int minor;
};

} // namespace

CaptureSupport CaptureSupport::ofCurrentContext() {
    CaptureSupport support;
    // The highest version whose flag GLEW set: a refusal names it.
    const Version versions[] = {
        {GLEW_VERSION_4_6, 4, 6}, {GLEW_VERSION_4_5, 4, 5}, {GLEW_VERSION_4_4, 4, 4},
        {GLEW_VERSION_4_3, 4, 3}, {GLEW_VERSION_4_2, 4, 2}, {GLEW_VERSION_4_1, 4, 1},
        {GLEW_VERSION_4_0, 4, 0}, {GLEW_VERSION_3_3, 3, 3}, {GLEW_VERSION_3_2, 3, 2},
        {GLEW_VERSION_3_1, 3, 1}, {GLEW_VERSION_3_0, 3, 0}, {GLEW_VERSION_2_1, 2, 1},
        {GLEW_VERSION_2_0, 2, 0}, {GLEW_VERSION_1_5, 1, 5}, {GLEW_VERSION_1_4, 1, 4},
        {GLEW_VERSION_1_3, 1, 3}, {GLEW_VERSION_1_2, 1, 2}, {GLEW_VERSION_1_1, 1, 1}};
    for (const Version& version : versions) {
        if (version.offered) {
            support.majorVersion = version.major;
            support.minorVersion = version.minor;
            break;
        }
    }
    support.clock = GLEW_ARB_shader_clock;
    // ballotARB returns a 64-bit mask.
    support.ballot = GLEW_ARB_shader_ballot && GLEW_ARB_gpu_shader_int64;
    support.threadGroup = GLEW_NV_shader_thread_group;
    support.flipY = GLEW_MESA_framebuffer_flip_y;
    return support;
}

bool CaptureSupport::enough() const { return atLeast(*this, 4, 3); }

std::string CaptureSupport::refusal() const {
    if (enough()) {
        return "";
    }
    return "fragment capture needs OpenGL 4.3 (shader storage buffers and atomic counters); "
           "this context offers " +
           std::to_string(majorVersion) + "." + std::to_string(minorVersion);
}

std::string CaptureSupport::versionLine() const {
    return atLeast(*this, 4, 5) ? "#version 450 compatibility" : "#version 430 compatibility";
}

std::vector<std::string> CaptureSupport::extensionsUsed() const {
    std::vector<std::string> names = {"GL_ARB_shader_storage_buffer_object",
                                      "GL_ARB_shader_atomic_counters"};
    if (clock) {
        names.push_back("GL_ARB_shader_clock");
    }
    if (ballot) {
        names.push_back("GL_ARB_shader_ballot");
        names.push_back("GL_ARB_gpu_shader_int64");
    }
    if (threadGroup) {
        names.push_back("GL_NV_shader_thread_group");
    }
    if (flipY) {
        names.push_back("GL_MESA_framebuffer_flip_y");
    }
    return names;
}

} // namespace Vellumar::capture
