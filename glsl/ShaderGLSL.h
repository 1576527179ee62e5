// A GLSL shader object: defines edited into the source text, lazily compiled
// into its own GL shader object when the text changed.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "Shader.h"

namespace Vellumar {

class ShaderGLSL : public Shader {
public:
    // shaderType: 0 vertex, 1 fragment, 2 geometry. Needs a current context
    // with GLEW initialised.
    ShaderGLSL(const char* path, int shaderType);
    ~ShaderGLSL() override;
    // The destructor deletes the GL names: a copy would delete another
    // object's names, so there is none.
    ShaderGLSL(const ShaderGLSL&) = delete;
    ShaderGLSL& operator=(const ShaderGLSL&) = delete;

    void setDefine(const char* name, float value) override;
    void setDefine(const char* name, int value) override;
    void setDefine(const char* name, const char* value) override;
    bool compile() override;
    void reload() override;

    // Opens the text with a "#version ..." line, which GLSL wants ahead of
    // everything else: define lines set later go below it, and reload keeps
    // it. The program's own shaders have none (GLSL 1.10); a second call
    // replaces the line, an empty one removes it.
    void setVersionLine(const std::string& line);

    int shaderType;
    GLuint shaderId;
    char infoLog[4096];
    // nameHash of the name -> (name, value), for every define ever set.
    std::map<uint32_t, std::pair<std::string, std::string>> defines;
    // Whether the last compile failed (and was reported).
    bool compileFailed = false;
    // The text's first line, with its line feed, or empty.
    std::string versionLine;

private:
    // Reports a failed compile with its log, then pauses a second time.
    void checkCompileStatus();
};

} // namespace Vellumar
