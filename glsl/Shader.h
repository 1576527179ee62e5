// A shader file: its path, its current source text (the file's text with the
// define lines set so far) and the shaders appended after it when it compiles.
#pragma once

#include <string>
#include <vector>

namespace Vellumar {

class Shader {
public:
    Shader();
    virtual ~Shader();

    virtual void setDefine(const char* name, float value) = 0;
    virtual void setDefine(const char* name, int value) = 0;
    virtual void setDefine(const char* name, const char* value) = 0;
    // Compiles when the text changed since the last compile; true when it did.
    virtual bool compile() = 0;
    virtual void addSubShader(Shader* shader);
    virtual void removeSubShader(Shader* shader);
    virtual void reload();

    // The file's text, every line ended by "\n", cut at a NUL. A file that
    // cannot be opened is reported as a critical error and reads as "".
    static std::string loadSource(const char* path);

    std::string path;
    std::string source;
    std::vector<Shader*> subShaders; // not owned
    bool dirty = false;
};

} // namespace Vellumar
