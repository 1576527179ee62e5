#define GL_GLEXT_PROTOTYPES 1
#include "GLStateGuard.h"

#include <GL/glext.h>

namespace tweakbar {

namespace {

// Vertex array objects and pixel buffers are queried only where the context
// has them, so that no query raises an error for the program to find.
struct ContextVersion {
    int major = 0;
    int minor = 0;
    bool atLeast(int wantMajor, int wantMinor) const {
        return major > wantMajor || (major == wantMajor && minor >= wantMinor);
    }
};

ContextVersion contextVersion() {
    ContextVersion version;
    const char* text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (text != nullptr && text[0] >= '0' && text[0] <= '9' && text[1] == '.' && text[2] >= '0' &&
        text[2] <= '9') {
        version.major = text[0] - '0';
        version.minor = text[2] - '0';
    }
    return version;
}

constexpr GLbitfield savedServerState = GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT |
                                        GL_LIGHTING_BIT | GL_POLYGON_BIT | GL_SCISSOR_BIT |
                                        GL_TRANSFORM_BIT | GL_VIEWPORT_BIT;

} // namespace

GLStateGuard::GLStateGuard() {
    static const ContextVersion version = contextVersion();
    hasVertexArrays_ = version.atLeast(3, 0);
    hasPixelBuffers_ = version.atLeast(2, 1);

    glGetIntegerv(GL_CURRENT_PROGRAM, &program_);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture_);
    if (hasVertexArrays_) {
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray_);
        glBindVertexArray(0);
    }
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer_);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elementBuffer_);
    if (hasPixelBuffers_) {
        glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &unpackBuffer_);
    }
    glPushAttrib(savedServerState);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);

    glUseProgram(0);
    glActiveTexture(GL_TEXTURE0);
    glClientActiveTexture(GL_TEXTURE0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    if (hasPixelBuffers_) {
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
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer_));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLuint>(elementBuffer_));
    if (hasPixelBuffers_) {
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, static_cast<GLuint>(unpackBuffer_));
    }
    if (hasVertexArrays_) {
        glBindVertexArray(static_cast<GLuint>(vertexArray_));
    }
    glActiveTexture(static_cast<GLenum>(activeTexture_));
    glUseProgram(static_cast<GLuint>(program_));
}

} // namespace tweakbar
