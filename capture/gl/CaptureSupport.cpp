// The extension list is read with glGetStringi, one name at a time: the one
// long GL_EXTENSIONS string is gone from core contexts, and a plain substring
// search in it would take GL_ARB_shader_clock2 for GL_ARB_shader_clock.
#include "CaptureSupport.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstring>

namespace Vellumar::capture {

namespace {

bool atLeast(const CaptureSupport& support, int major, int minor) {
    return support.majorVersion > major ||
           (support.majorVersion == major && support.minorVersion >= minor);
}

} // namespace

CaptureSupport CaptureSupport::ofCurrentContext() {
    CaptureSupport support;
    // The version string, which every context has ("4.5 (Compatibility
    // Profile) Mesa ..."): GL_MAJOR_VERSION would be an error before 3.0.
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!version ||
        std::sscanf(version, "%d.%d", &support.majorVersion, &support.minorVersion) != 2) {
        support.majorVersion = 0;
        support.minorVersion = 0;
    }
    if (support.majorVersion < 3) {
        return support;
    }
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    bool int64 = false;
    bool ballot = false;
    for (GLint i = 0; i < count; ++i) {
        const char* name =
            reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (!name) {
            continue;
        }
        support.clock |= std::strcmp(name, "GL_ARB_shader_clock") == 0;
        ballot |= std::strcmp(name, "GL_ARB_shader_ballot") == 0;
        int64 |= std::strcmp(name, "GL_ARB_gpu_shader_int64") == 0;
        support.threadGroup |= std::strcmp(name, "GL_NV_shader_thread_group") == 0;
        support.flipY |= std::strcmp(name, "GL_MESA_framebuffer_flip_y") == 0;
    }
    // ballotARB returns a 64-bit mask.
    support.ballot = ballot && int64;
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
