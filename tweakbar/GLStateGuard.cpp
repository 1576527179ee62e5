// Saving and restoring the GL state around the bars' renderer.
#include "GLStateGuard.h"

namespace Vellumar::tweakbar {

namespace {

constexpr GLbitfield savedServerState = GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT |
                                        GL_LIGHTING_BIT | GL_POLYGON_BIT | GL_SCISSOR_BIT |
                                        GL_TRANSFORM_BIT | GL_VIEWPORT_BIT;

} // namespace

GLStateGuard::GLStateGuard()
    // Vertex arrays and pixel buffers are queried only where the context has
    // them, leaving no error for the program.
    : hasVertexArrays(GLEW_VERSION_3_0), hasPixelBuffers(GLEW_VERSION_2_1) {

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
