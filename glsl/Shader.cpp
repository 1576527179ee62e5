// The shader base: its list of appended shaders, and reading a shader file's
// text whole (a regular file of bounded size, a final line feed, cut at a
// NUL).
#include "Shader.h"

#include <algorithm>
#include <optional>

#include "InputFile.h"
#include "MessageSink.h"
#include "ShaderText.h"

namespace Vellumar {

Shader::Shader() = default;
Shader::~Shader() = default;

void Shader::addSubShader(Shader* shader) {
    subShaders.push_back(shader);
    dirty = true;
}

void Shader::removeSubShader(Shader* shader) {
    subShaders.erase(std::remove(subShaders.begin(), subShaders.end(), shader), subShaders.end());
    dirty = true;
}

void Shader::reload() {}

std::string Shader::loadSource(const char* path) {
    std::string text;
    if (!path) {
        path = "";
    }
    // No file is read past what one include expansion takes in all.
    if (const std::optional<measure::InputRefusal> refusal =
            measure::readInputFile(path, maxIncludedBytes, text)) {
        if (refusal->opened) {
            MessageSink::instance().criticalError("Shader::loadSource: %s: %s", path,
                                                  refusal->reason.c_str());
        } else {
            MessageSink::instance().criticalError("Shader::loadSource: unable to open file: %s",
                                                  path);
        }
        return text;
    }
    if (!text.empty() && text.back() != '\n') {
        text += '\n';
    }
    std::size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        text.resize(nul);
    }
    return text;
}

} // namespace Vellumar
