// The abstract shader program: use and release, uniforms, samplers, vertex
// attribute arrays, fragment data locations.
#pragma once

#include <GL/glew.h>

namespace Vellumar {

class Shader;

// A texture owned by the caller; read at every bind and unbind.
struct TextureRef {
    GLuint textureId;
    GLenum target;
};

// Element types of the two vertex attribute array forms.
struct AttribVec4 {
    float x, y, z, w;
};
struct AttribVec3 {
    float x, y, z;
};

class ShaderProgram {
public:
    virtual ~ShaderProgram() = default;
    virtual void bind(bool withTextures) = 0;
    virtual void unbind(bool withTexturesAndAttributes) = 0;
    virtual void addShader(Shader* shader) = 0;
    virtual GLuint getProgramId() = 0;
    virtual void setMatrix4Param(const char* name, const float* values) = 0;
    virtual void setInt3Param(const char* name, const int* values) = 0;
    virtual void setIntParam(const char* name, int value) = 0;
    virtual void setVec4Param(const char* name, const float* values) = 0;
    virtual void setVec3Param(const char* name, const float* values) = 0;
    virtual void setVec2Param(const char* name, const float* values) = 0;
    virtual void setFloatParam(const char* name, float value) = 0;
    virtual void setSamplerParam(const char* name, TextureRef* texture) = 0;
    virtual void bindFragDataLocation(const char* name, unsigned int colorNumber) = 0;
    // Programs without vertex attribute arrays ignore them.
    virtual void setAttrib(const char*, const AttribVec4*) {}
    virtual void setAttrib(const char*, const AttribVec3*) {}
};

} // namespace Vellumar
