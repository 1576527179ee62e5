// The shader base: its list of appended shaders, and reading a shader file's
// text in blocks (no per-line appends, a final line feed, cut at a NUL).
#include "Shader.h"

#include <algorithm>
#include <cstdio>

#include "MessageSink.h"

namespace Vellumar {

namespace {

// Room reserved for a file's text, so that ordinary shaders are read without
// repeated growth.
constexpr std::size_t sourceReserve = 1048576;
constexpr std::size_t firstReadBlock = 16384;
constexpr std::size_t largestReadBlock = 262144;

} // namespace

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
    text.reserve(sourceReserve);
    if (!path) {
        path = "";
    }
    std::FILE* file = std::fopen(path, "r");
    if (!file) {
        MessageSink::instance().criticalError("Shader::loadSource: unable to open file: %s", path);
        return text;
    }
    // Read in blocks rather than line by line: appending every line with its
    // "\n" gives the file's bytes plus one "\n" after an unterminated last line.
    // Blocks go straight into the text and grow, so that small files cost one
    // short read and large ones few.
    for (std::size_t block = firstReadBlock;; block = std::min(block * 2, largestReadBlock)) {
        std::size_t filled = text.size();
        text.resize(filled + block);
        std::size_t got = std::fread(&text[filled], 1, block, file);
        text.resize(filled + got);
        if (got < block) {
            break;
        }
    }
    if (std::ferror(file)) {
        // Only the lines read before the error count.
        std::size_t lastBreak = text.rfind('\n');
        text.resize(lastBreak == std::string::npos ? 0 : lastBreak + 1);
    }
    std::fclose(file);
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
