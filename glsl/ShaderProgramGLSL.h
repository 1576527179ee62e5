// A GLSL program built from shader objects: one concatenated text per stage,
// compiled into the program's own stage objects, attached and linked on the
// first use after any of its shaders changed.
#pragma once

#include <GL/glew.h>

#include <map>
#include <string>
#include <vector>

#include "ShaderProgram.h"

namespace Vellumar {

struct SamplerEntry {
    std::string name;
    int location;
    TextureRef* texture; // not owned
    int unit;
};

class ShaderProgramGLSL : public ShaderProgram {
public:
    // An existing program object, or 0 to create one (then owned).
    explicit ShaderProgramGLSL(GLuint existingProgram = 0);
    ~ShaderProgramGLSL() override;
    // The destructor deletes the GL names: a copy would delete another
    // object's names, so there is none.
    ShaderProgramGLSL(const ShaderProgramGLSL&) = delete;
    ShaderProgramGLSL& operator=(const ShaderProgramGLSL&) = delete;

    void bind(bool withTextures) override;
    void unbind(bool withTexturesAndAttributes) override;
    void addShader(Shader* shader) override;
    GLuint getProgramId() override;
    void setMatrix4Param(const char* name, const float* values) override;
    void setInt3Param(const char* name, const int* values) override;
    void setIntParam(const char* name, int value) override;
    void setVec4Param(const char* name, const float* values) override;
    void setVec3Param(const char* name, const float* values) override;
    void setVec2Param(const char* name, const float* values) override;
    void setFloatParam(const char* name, float value) override;
    void setSamplerParam(const char* name, TextureRef* texture) override;
    void bindFragDataLocation(const char* name, unsigned int colorNumber) override;
    void setAttrib(const char* name, const AttribVec4* vertices) override;
    void setAttrib(const char* name, const AttribVec3* vertices) override;

    // Compiles changed shaders and, when needed, rebuilds and links the stages.
    void compile();

    GLuint programId;
    bool ownsProgram;
    std::map<int, SamplerEntry> samplers;
    bool linked;
    // The last link failed: there is no program to use until a shader
    // changes, so bind uses none (rather than raising an OpenGL error on
    // every use).
    bool linkFailed = false;
    char infoLog[4096];
    bool bound;
    std::vector<Shader*> shaders; // not owned; shaders without a main function first
    int firstTextureUnit;
    GLuint stageShaderIds[3];
    std::string stageSources[3];
    std::vector<Shader*> stageShaders[3]; // not owned
    bool stageAttached[3];
    std::map<int, int> attributes;

private:
    // Builds one stage's text from its shaders, compiles it into the stage's
    // object and attaches that the first time.
    void compileStage(int stage, const std::string& basePath);
    GLint programStatus(GLenum which) const;
    // A failed link is reported once; after a shader's failed compile, which
    // was reported with the compiler's log and its pause, without a pause.
    void reportLinkFailure(bool compileFailureReported);
    void reportProgramLog();
    // Binds each sampler's texture to its unit, in the order of the samplers'
    // uniform locations; binds texture 0 instead on release.
    void bindSamplerTextures(bool release);
    // A uniform setter's frame: compile, use the program while unbound, and
    // look the location up; endUniform releases the program again.
    GLint beginUniform(const char* name);
    void endUniform();
    void setAttribArray(const char* name, GLint size, const void* vertices);
};

} // namespace Vellumar
