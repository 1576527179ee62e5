// The swap interval through the GLX extension the display really lists: the
// EXT entry point, else the MESA one; nothing otherwise.
#include "SwapInterval.h"

#include "ExtensionList.h"

#include <GL/glx.h>

using Vellumar::listsExtension;

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
