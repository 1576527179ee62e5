// The swap interval through the GLX extension the display really lists: the
// EXT entry point, else the MESA one; nothing otherwise.
#include "SwapInterval.h"

#include <GL/glx.h>

#include <cstring>

namespace {

bool listsExtension(const char* extensions, const char* name) {
    if (!extensions) {
        return false;
    }
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at; at = std::strstr(at + 1, name)) {
        bool startsWord = at == extensions || at[-1] == ' ';
        bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

} // namespace

void setSwapIntervalToOne() {
    Display* display = glXGetCurrentDisplay();
    GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !drawable) {
        return;
    }
    // GLEW's flags claim every GLX extension; only the display's own list can
    // be trusted. The SGI entry point and querying the interval both end the
    // process under some X servers, so neither is used.
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    if (listsExtension(extensions, "GLX_EXT_swap_control")) {
        using SwapIntervalEXT = void (*)(Display*, GLXDrawable, int);
        auto setInterval = reinterpret_cast<SwapIntervalEXT>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
        if (setInterval) {
            setInterval(display, drawable, 1);
        }
    } else if (listsExtension(extensions, "GLX_MESA_swap_control")) {
        using SwapIntervalMESA = int (*)(unsigned int);
        auto setInterval = reinterpret_cast<SwapIntervalMESA>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
        if (setInterval) {
            setInterval(1);
        }
    }
}
