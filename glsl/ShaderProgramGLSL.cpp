// A GLSL program: its shaders sorted into stages (function libraries first),
// each stage's text compiled into the program's own shader object and linked
// at the first use after a change; binding with its sampler textures; uniform,
// sampler, attribute and fragment-output settings.
#include "ShaderProgramGLSL.h"

#include "GLError.h"
#include "MessageSink.h"
#include "ShaderGLSL.h"
#include "ShaderText.h"

namespace Vellumar {

namespace {

constexpr int stageCount = 3;
constexpr GLenum stageTypes[stageCount] = {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER,
                                           GL_GEOMETRY_SHADER_EXT};
constexpr const char mainFunction[] = "void main()";

} // namespace

ShaderProgramGLSL::ShaderProgramGLSL(GLuint existingProgram)
    : programId(existingProgram), ownsProgram(existingProgram == 0), linked(false), infoLog{},
      bound(false), firstTextureUnit(0), stageShaderIds{}, stageAttached{} {
    if (ownsProgram) {
        programId = glCreateProgram();
    }
    for (int stage = 0; stage < stageCount; ++stage) {
        stageShaderIds[stage] = glCreateShader(stageTypes[stage]);
    }
}

ShaderProgramGLSL::~ShaderProgramGLSL() {
    if (ownsProgram) {
        glDeleteProgram(programId);
    }
    for (GLuint id : stageShaderIds) {
        glDeleteShader(id);
    }
}

void ShaderProgramGLSL::addShader(Shader* shader) {
    auto* glsl = dynamic_cast<ShaderGLSL*>(shader);
    if (!glsl) {
        MessageSink::instance().criticalError(
            "ShaderProgramGLSL::addShader : passed shader is not a ShaderGLSL");
        return;
    }
    int stage = glsl->shaderType;
    if (stage < 0 || stage >= stageCount) {
        MessageSink::instance().criticalError(
            "ShaderProgramGLSL::addShader : shader type %d has no stage: %s", stage,
            glsl->path.c_str());
        return;
    }
    // Shaders without a main function (libraries of functions) go first, so
    // that their declarations precede the main shaders that use them.
    bool isMain = glsl->source.find(mainFunction) != std::string::npos;
    std::vector<Shader*>& stageList = stageShaders[stage];
    std::string& stageText = stageSources[stage];
    if (isMain) {
        stageList.push_back(shader);
        stageText += '\n';
        stageText += shader->source;
        shaders.push_back(shader);
    } else {
        stageList.insert(stageList.begin(), shader);
        stageText.insert(0, shader->source + '\n');
        shaders.insert(shaders.begin(), shader);
    }
    linked = false;
}

void ShaderProgramGLSL::compile() {
    bool compileFailureReported = false;
    for (Shader* shader : shaders) {
        // The dirty check first: with a draw call per primitive this runs for
        // every primitive, and a clean shader has nothing to compile.
        if (shader->dirty && shader->compile()) {
            linked = false;
            // addShader takes ShaderGLSL objects only.
            compileFailureReported |= static_cast<ShaderGLSL*>(shader)->compileFailed;
        }
    }
    if (linked) {
        return;
    }

    const std::string basePath = shaders.empty() ? std::string() : shaders.front()->path;
    for (int stage = 0; stage < stageCount; ++stage) {
        // A stage is used once a shader was added to it, even when every one
        // of its files reads as empty text.
        if (stageShaders[stage].empty()) {
            continue;
        }
        compileStage(stage, basePath);
    }

    glLinkProgram(programId);
    linkFailed = programStatus(GL_LINK_STATUS) == 0;
    if (linkFailed) {
        reportLinkFailure(compileFailureReported);
    }
    glValidateProgram(programId);
    // An unlinked program never validates: its link report says why.
    if (programStatus(GL_VALIDATE_STATUS) == 0 && !linkFailed) {
        reportProgramLog();
    }
    checkGLError("ShaderProgramGLSL::compile");
    // Also after a failure: the same texts would fail again.
    linked = true;
}

void ShaderProgramGLSL::compileStage(int stage, const std::string& basePath) {
    std::string& text = stageSources[stage];
    text.clear();
    for (const Shader* shader : stageShaders[stage]) {
        text += shader->source;
    }
    // Each shader of the stage expanded its own text when it compiled and
    // reported any cut then: the same cut is not reported twice.
    const std::string expanded = expandIncludes(text, basePath, false);
    const GLchar* strings[] = {expanded.c_str()};
    GLuint id = stageShaderIds[stage];
    glShaderSource(id, 1, strings, nullptr);
    glCompileShader(id);
    // The stage's compile status is not asked for: a failure shows in the
    // link report.
    checkGLError("MANUAL_LINK Compile");
    if (!stageAttached[stage]) {
        glAttachShader(programId, id);
        stageAttached[stage] = true;
        checkGLError("MANUAL_LINK Attach Shader");
    }
}

GLint ShaderProgramGLSL::programStatus(GLenum which) const {
    GLint status = 0;
    glGetProgramiv(programId, which, &status);
    return status;
}

void ShaderProgramGLSL::reportProgramLog() {
    glGetProgramInfoLog(programId, static_cast<GLsizei>(sizeof infoLog), nullptr, infoLog);
    const char* path = shaders.empty() ? "" : shaders.front()->path.c_str();
    MessageSink::instance().criticalError("Program error (%s): %s", path, infoLog);
}

void ShaderProgramGLSL::reportLinkFailure(bool compileFailureReported) {
    if (!compileFailureReported) {
        reportProgramLog();
        return;
    }
    glGetProgramInfoLog(programId, static_cast<GLsizei>(sizeof infoLog), nullptr, infoLog);
    const char* path = shaders.empty() ? "" : shaders.front()->path.c_str();
    MessageSink::instance().info("Program not linked (%s): %s", path, infoLog);
}

void ShaderProgramGLSL::bind(bool withTextures) {
    compile();
    if (linkFailed) {
        return;
    }
    glUseProgram(programId);
    bound = true;
    if (withTextures && !samplers.empty()) {
        bindSamplerTextures(false);
    }
    checkGLError("ShaderProgramGLSL::bind");
}

void ShaderProgramGLSL::unbind(bool withTexturesAndAttributes) {
    glUseProgram(0);
    bound = false;
    if (withTexturesAndAttributes) {
        if (!samplers.empty()) {
            bindSamplerTextures(true);
        }
        for (const auto& attribute : attributes) {
            glDisableVertexAttribArray(static_cast<GLuint>(attribute.second));
        }
    }
    checkGLError("ShaderProgramGLSL::unbind");
}

void ShaderProgramGLSL::bindSamplerTextures(bool release) {
    for (const auto& sampler : samplers) {
        const SamplerEntry& entry = sampler.second;
        if (!entry.texture) {
            continue;
        }
        glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + entry.unit));
        glBindTexture(entry.texture->target, release ? 0 : entry.texture->textureId);
    }
}

GLuint ShaderProgramGLSL::getProgramId() { return programId; }

GLint ShaderProgramGLSL::beginUniform(const char* name) {
    compile();
    if (!bound) {
        glUseProgram(programId);
    }
    // Looked up at every call: a relink may move it.
    return glGetUniformLocation(programId, name ? name : "");
}

void ShaderProgramGLSL::endUniform() {
    if (!bound) {
        glUseProgram(0);
    }
}

void ShaderProgramGLSL::setMatrix4Param(const char* name, const float* values) {
    glUniformMatrix4fv(beginUniform(name), 1, GL_FALSE, values);
    endUniform();
}

void ShaderProgramGLSL::setInt3Param(const char* name, const int* values) {
    glUniform3i(beginUniform(name), values[0], values[1], values[2]);
    endUniform();
}

void ShaderProgramGLSL::setIntParam(const char* name, int value) {
    glUniform1i(beginUniform(name), value);
    endUniform();
}

void ShaderProgramGLSL::setVec4Param(const char* name, const float* values) {
    glUniform4f(beginUniform(name), values[0], values[1], values[2], values[3]);
    endUniform();
}

void ShaderProgramGLSL::setVec3Param(const char* name, const float* values) {
    glUniform3f(beginUniform(name), values[0], values[1], values[2]);
    endUniform();
}

void ShaderProgramGLSL::setVec2Param(const char* name, const float* values) {
    glUniform2f(beginUniform(name), values[0], values[1]);
    endUniform();
}

void ShaderProgramGLSL::setFloatParam(const char* name, float value) {
    glUniform1f(beginUniform(name), value);
    endUniform();
}

void ShaderProgramGLSL::setSamplerParam(const char* name, TextureRef* texture) {
    compile();
    if (bound) {
        MessageSink::instance().criticalError("setSamplerParam() called after shader binding");
    }
    glUseProgram(programId);
    if (!name) {
        name = "";
    }
    GLint location = glGetUniformLocation(programId, name);
    if (location >= 0) {
        auto existing = samplers.find(location);
        int unit = existing != samplers.end()
                       ? existing->second.unit
                       : firstTextureUnit + static_cast<int>(samplers.size());
        glUniform1i(location, unit);
        samplers[location] = SamplerEntry{name, location, texture, unit};
    }
    glUseProgram(0);
}

void ShaderProgramGLSL::setAttrib(const char* name, const AttribVec4* vertices) {
    setAttribArray(name, 4, vertices);
}

void ShaderProgramGLSL::setAttrib(const char* name, const AttribVec3* vertices) {
    setAttribArray(name, 3, vertices);
}

void ShaderProgramGLSL::setAttribArray(const char* name, GLint size, const void* vertices) {
    if (!name) {
        name = "";
    }
    GLint location = glGetAttribLocation(programId, name);
    if (location < 0) {
        MessageSink::instance().info("ShaderProgramGLSL::setAttrib: attribute not found: %s", name);
        return;
    }
    auto index = static_cast<GLuint>(location);
    glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, 0, vertices);
    glEnableVertexAttribArray(index);
    attributes[location] = location;
}

void ShaderProgramGLSL::bindFragDataLocation(const char* name, unsigned int colorNumber) {
    if (!name) {
        name = "";
    }
    // Without EXT_gpu_shader4 the same entry point is core from OpenGL 3.0 on.
    if (glBindFragDataLocationEXT) {
        glBindFragDataLocationEXT(programId, colorNumber, name);
    } else if (glBindFragDataLocation) {
        glBindFragDataLocation(programId, colorNumber, name);
    }
}

} // namespace Vellumar
