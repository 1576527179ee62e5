// A GLSL shader object: define lines edited into the text (an unchanged value
// touches nothing), compiled only when the text changed, a failed compile
// reported with its log.
#include "ShaderGLSL.h"

#include <cstdio>

#include "GLError.h"
#include "MessageSink.h"
#include "ShaderText.h"

namespace Vellumar {

namespace {

constexpr std::size_t valueBufferSize = 128;

GLenum glShaderTypeFor(int shaderType) {
    switch (shaderType) {
    case 0: return GL_VERTEX_SHADER;
    case 1: return GL_FRAGMENT_SHADER;
    case 2: return GL_GEOMETRY_SHADER_EXT;
    // Anything else goes to OpenGL as it is, which reports it.
    default: return static_cast<GLenum>(shaderType);
    }
}

} // namespace

ShaderGLSL::ShaderGLSL(const char* path, int shaderType)
    : shaderType(shaderType), shaderId(0), infoLog{} {
    this->path = path ? path : "";
    shaderId = glCreateShader(glShaderTypeFor(shaderType));
    source = loadSource(this->path.c_str());
    dirty = true;
}

ShaderGLSL::~ShaderGLSL() { glDeleteShader(shaderId); }

void ShaderGLSL::setDefine(const char* name, float value) {
    char text[valueBufferSize];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    setDefine(name, static_cast<const char*>(text));
}

void ShaderGLSL::setDefine(const char* name, int value) {
    char text[valueBufferSize];
    std::snprintf(text, sizeof text, "%d", value);
    setDefine(name, static_cast<const char*>(text));
}

void ShaderGLSL::setDefine(const char* name, const char* value) {
    if (!name) {
        name = "";
    }
    if (!value) {
        value = "";
    }
    if (applyDefineLine(source, name, value, versionLine.size())) {
        dirty = true;
    }
    // Compared before assigning: an unchanged define touches no memory, and
    // reload may hand in the entry's own strings.
    auto& entry = defines[nameHash(name)];
    if (entry.first != name) {
        entry.first = name;
    }
    if (entry.second != value) {
        entry.second = value;
    }
}

bool ShaderGLSL::compile() {
    if (!dirty) {
        return false;
    }
    std::string text = source;
    for (const Shader* sub : subShaders) {
        text += sub->source;
    }
    text = expandIncludes(std::move(text), path);
    const GLchar* strings[] = {text.c_str()};
    glShaderSource(shaderId, 1, strings, nullptr);
    glCompileShader(shaderId);
    checkCompileStatus();
    checkGLError("ShaderGLSL::compile");
    // Also after a failure: the same text would fail again.
    dirty = false;
    return true;
}

void ShaderGLSL::checkCompileStatus() {
    GLint status = 0;
    glGetShaderiv(shaderId, GL_COMPILE_STATUS, &status);
    compileFailed = status == 0;
    if (!compileFailed) {
        return;
    }
    glGetShaderInfoLog(shaderId, static_cast<GLsizei>(sizeof infoLog), nullptr, infoLog);
    MessageSink& sink = MessageSink::instance();
    sink.criticalError("Compilation error (%s): %s", path.c_str(), infoLog);
    // A second pause, so that the log stays in view.
    sink.waitForNumber();
}

void ShaderGLSL::reload() {
    source = versionLine + loadSource(path.c_str());
    for (const auto& define : defines) {
        setDefine(define.second.first.c_str(), define.second.second.c_str());
    }
    dirty = true;
}

void ShaderGLSL::setVersionLine(const std::string& line) {
    if (!versionLine.empty() && source.compare(0, versionLine.size(), versionLine) == 0) {
        source.erase(0, versionLine.size());
    }
    versionLine = line;
    if (!versionLine.empty() && versionLine.back() != '\n') {
        versionLine += '\n';
    }
    source.insert(0, versionLine);
    dirty = true;
}

} // namespace Vellumar
