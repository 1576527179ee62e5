// The EGL steps in the order they must run: client extensions, display of
// the platform, initialisation, the OpenGL API, a configuration, the
// context, current without a surface, then GLEW. Extension entry points come
// through eglGetProcAddress: the EGL library exports only the core ones.
#include "OffscreenContext.h"

// No X11 types in EGL's native types: this file must not need an X server.
#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>

#include "ExtensionList.h"

namespace Vellumar {

namespace {

const char* const noPlatform =
    "EGL offers neither a device (EGL_EXT_platform_device) nor Mesa's surfaceless platform";

template <typename Function>
Function entryPoint(const char* name) {
    return reinterpret_cast<Function>(eglGetProcAddress(name));
}

std::string eglErrorText() {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    return std::string("EGL error ") + code;
}

const char* clientExtensions() {
    // EGL 1.4 without EGL_EXT_client_extensions answers null and sets an error.
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    eglGetError();
    return extensions;
}

// The devices' handles; empty when the device platform is not offered.
std::vector<EGLDeviceEXT> deviceHandles() {
    const char* client = clientExtensions();
    if (!listsExtension(client, "EGL_EXT_platform_device")) {
        return {};
    }
    auto queryDevices = entryPoint<PFNEGLQUERYDEVICESEXTPROC>("eglQueryDevicesEXT");
    EGLint count = 0;
    if (!queryDevices || !queryDevices(0, nullptr, &count) || count <= 0) {
        return {};
    }
    std::vector<EGLDeviceEXT> handles(static_cast<size_t>(count));
    if (!queryDevices(count, handles.data(), &count)) {
        return {};
    }
    handles.resize(static_cast<size_t>(count));
    return handles;
}

OffscreenDevice describeDevice(int index, EGLDeviceEXT handle) {
    OffscreenDevice device;
    device.index = index;
    auto queryString = entryPoint<PFNEGLQUERYDEVICESTRINGEXTPROC>("eglQueryDeviceStringEXT");
    if (!queryString) {
        return device;
    }
    const char* extensions = queryString(handle, EGL_EXTENSIONS);
    device.software = listsExtension(extensions, "EGL_MESA_device_software");
    const char* node = nullptr;
    if (listsExtension(extensions, "EGL_EXT_device_drm_render_node")) {
        node = queryString(handle, EGL_DRM_RENDER_NODE_FILE_EXT);
    }
    if (!node && listsExtension(extensions, "EGL_EXT_device_drm")) {
        node = queryString(handle, EGL_DRM_DEVICE_FILE_EXT);
    }
    device.drmNode = node ? node : "";
    eglGetError();
    return device;
}

EGLDisplay platformDisplay(std::optional<int> device) {
    auto getDisplay = entryPoint<PFNEGLGETPLATFORMDISPLAYEXTPROC>("eglGetPlatformDisplayEXT");
    if (!getDisplay) {
        throw OffscreenError("EGL has no eglGetPlatformDisplayEXT");
    }
    if (!device) {
        if (!listsExtension(clientExtensions(), "EGL_MESA_platform_surfaceless")) {
            throw OffscreenError(noPlatform);
        }
        return getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    }
    const std::vector<EGLDeviceEXT> handles = deviceHandles();
    if (*device < 0 || static_cast<size_t>(*device) >= handles.size()) {
        throw OffscreenError("there is no EGL device " + std::to_string(*device));
    }
    return getDisplay(EGL_PLATFORM_DEVICE_EXT, handles[static_cast<size_t>(*device)], nullptr);
}

// 4.3 first, which captures need; else whatever the driver makes when asked
// for no version, which for the compatibility profile is its highest.
EGLContext compatibilityContext(EGLDisplay display, EGLConfig config) {
    const EGLint wanted[] = {EGL_CONTEXT_MAJOR_VERSION,
                             4,
                             EGL_CONTEXT_MINOR_VERSION,
                             3,
                             EGL_CONTEXT_OPENGL_PROFILE_MASK,
                             EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                             EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, wanted);
    if (context == EGL_NO_CONTEXT) {
        eglGetError();
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    }
    return context;
}

} // namespace

std::vector<OffscreenDevice> OffscreenContext::devices() {
    const char* client = clientExtensions();
    if (!listsExtension(client, "EGL_EXT_platform_device") &&
        !listsExtension(client, "EGL_MESA_platform_surfaceless")) {
        throw OffscreenError(noPlatform);
    }
    const std::vector<EGLDeviceEXT> handles = deviceHandles();
    std::vector<OffscreenDevice> described;
    for (size_t i = 0; i < handles.size(); ++i) {
        described.push_back(describeDevice(static_cast<int>(i), handles[i]));
    }
    return described;
}

std::optional<int> OffscreenContext::defaultDevice(const std::vector<OffscreenDevice>& devices) {
    for (const OffscreenDevice& device : devices) {
        if (!device.software) {
            return device.index;
        }
    }
    if (devices.empty()) {
        return std::nullopt;
    }
    return devices.front().index;
}

OffscreenContext::OffscreenContext(std::optional<int> chosen) : device(chosen) {
    display = platformDisplay(device);
    const std::string where = device ? "EGL device " + std::to_string(*device)
                                     : std::string("the EGL surfaceless platform");
    if (display == EGL_NO_DISPLAY) {
        throw OffscreenError("no EGL display on " + where + " (" + eglErrorText() + ")");
    }
    // From here the destructor does not run: a failure terminates the display itself.
    const auto fail = [&](const std::string& what) {
        const std::string error = eglErrorText();
        eglTerminate(display);
        return OffscreenError(what + " on " + where + " (" + error + ")");
    };
    if (!eglInitialize(display, nullptr, nullptr)) {
        throw fail("cannot initialise EGL");
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        throw fail("no desktop OpenGL");
    }
    // Any surface type: the context is made current with none.
    const EGLint attributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, 0,
                                 EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &configs) || configs < 1) {
        throw fail("no OpenGL configuration");
    }
    context = compatibilityContext(display, config);
    if (context == EGL_NO_CONTEXT) {
        throw fail("cannot make an OpenGL compatibility context");
    }
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        eglDestroyContext(display, context);
        throw fail("cannot make the context current without a surface");
    }
    // Debian's GLEW is built for GLX: it loads every GL entry point, then
    // fails to find a GLX display, which under EGL is no failure.
    const GLenum glew = glewInit();
    if (glew != GLEW_OK && glew != GLEW_ERROR_NO_GLX_DISPLAY) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context);
        throw fail(std::string("GLEW cannot load OpenGL: ") +
                   reinterpret_cast<const char*>(glewGetErrorString(glew)));
    }
}

OffscreenContext::~OffscreenContext() {
    // Deleting name 0 is allowed and does nothing.
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &colorBuffer);
    glDeleteRenderbuffers(1, &depthStencilBuffer);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    eglTerminate(display);
}

void OffscreenContext::resizeFramebuffer(int width, int height) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (width < 1 || height < 1 || width > largest || height > largest) {
        throw OffscreenError("cannot draw into a " + std::to_string(width) + "x" +
                             std::to_string(height) + " framebuffer: each side must be 1 to " +
                             std::to_string(largest) + " pixels");
    }
    if (framebuffer == 0) {
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(1, &colorBuffer);
        glGenRenderbuffers(1, &depthStencilBuffer);
    }
    // The window's display mode: RGBA with alpha, depth and stencil.
    glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, depthStencilBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              depthStencilBuffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    // An allocation the driver refused leaves an error and an incomplete framebuffer.
    const GLenum error = glGetError();
    if (status != GL_FRAMEBUFFER_COMPLETE || error != GL_NO_ERROR) {
        throw OffscreenError("the " + std::to_string(width) + "x" + std::to_string(height) +
                             " framebuffer is incomplete (status " + std::to_string(status) +
                             ", OpenGL error " + std::to_string(error) + ")");
    }
}

} // namespace Vellumar
