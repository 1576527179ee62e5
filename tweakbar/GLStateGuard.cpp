// Saving and restoring the GL state around the bars' renderer.
#define GL_GLEXT_PROTOTYPES 1
#include "GLStateGuard.h"

#include <GL/glext.h>

namespace Vellumar::tweakbar {

namespace {

// 10 * major + minor (0 if unreadable): vertex arrays and pixel buffers are
// queried only where the context has them, leaving no error for the program.
int contextVersion() {
    const char* text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    bool readable = text != nullptr && text[0] >= '0' && text[0] <= '9' && text[1] == '.' &&
                    text[2] >= '0' && text[2] <= '9';
    return readable ? 10 * (text[0] - '0') + (text[2] - '0') : 0;
}

constexpr GLbitfield savedServerState = GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT |
                                        GL_LIGHTING_BIT | GL_POLYGON_BIT | GL_SCISSOR_BIT |
                                        GL_TRANSFORM_BIT | GL_VIEWPORT_BIT;

} // namespace

GLStateGuard::GLStateGuard() {
    static const int version = contextVersion();
    hasVertexArrays = version >= 30;
    hasPixelBuffers = version >= 21;

    glGetIntegerv(GL_CURRENT_PROGRAM, &savedProgram);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &savedActiveTexture);
    if (hasVertexArrays) {
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &savedVertexArray);
        glBindVertexArray(0);
    }
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &savedArrayBuffer);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &savedElementBuffer);
    if (hasPixelBuffers) {
        glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &savedUnpackBuffer);
    }
    glPushAttrib(savedServerState);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);

    glUseProgram(0);
    glActiveTexture(GL_TEXTURE0);
    glClientActiveTexture(GL_TEXTURE0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    if (hasPixelBuffers) {
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    }
    // State the renderer does not set itself but that would hide or spoil
    // the bars if the program left it on.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBlendEquation(GL_FUNC_ADD);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glDisable(GL_COLOR_LOGIC_OP);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_3D);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glDisable(GL_TEXTURE_RECTANGLE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
}

GLStateGuard::~GLStateGuard() {
    glPopClientAttrib();
    glPopAttrib();
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(savedArrayBuffer));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLuint>(savedElementBuffer));
    if (hasPixelBuffers) {
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, static_cast<GLuint>(savedUnpackBuffer));
    }
    if (hasVertexArrays) {
        glBindVertexArray(static_cast<GLuint>(savedVertexArray));
    }
    glActiveTexture(static_cast<GLenum>(savedActiveTexture));
    glUseProgram(static_cast<GLuint>(savedProgram));
}

} // namespace Vellumar::tweakbar
