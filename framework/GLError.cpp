// The labelled OpenGL error check and the texts of the error codes.
#include "GLError.h"

#include "GLHeaders.h"
#include "MessageSink.h"

namespace Vellumar {

const char* glErrorText(unsigned int code) {
    // GLU has no text for this extension's code.
    if (code == 0x0506) {
        return "GL_INVALID_FRAMEBUFFER_OPERATION_EXT";
    }
    const GLubyte* text = gluErrorString(code);
    return text ? reinterpret_cast<const char*>(text) : "";
}

void checkGLError(const char* label) {
    GLenum code = glGetError();
    if (code == GL_NO_ERROR) {
        return;
    }
    MessageSink::instance().criticalError("%s OpenGL Error (%d): %s", label ? label : "",
                                          static_cast<int>(code), glErrorText(code));
}

} // namespace Vellumar
