// Include expansion (bounded in depth and in files read, so cycles end, and
// kept inside the shader directory),
// define-line editing without heap use for ordinary lines, and the name hash.
#include "ShaderText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "MessageSink.h"
#include "Shader.h"

namespace Vellumar {

namespace {

constexpr const char includeWord[] = "#include";
constexpr std::size_t includeWordLength = sizeof includeWord - 1;
// Room for the working text, so that ordinary shaders are assembled without
// repeated growth.
constexpr std::size_t expansionReserve = 100000;

// One top-level expansion: the directory every name resolves against, the
// files read so far, and whether a cut has been reported yet (once per
// top-level call).
class IncludeExpansion {
public:
    IncludeExpansion(std::string directory, bool reportCuts)
        : directory(std::move(directory)), cutReported(!reportCuts) {
        std::error_code error;
        resolvedDirectory = std::filesystem::weakly_canonical(
                                this->directory.empty() ? "." : this->directory, error)
                                .string();
        if (resolvedDirectory.empty() || resolvedDirectory.back() != '/') {
            resolvedDirectory += '/';
        }
    }

    // depth: how many files deep the text lies (0 for the caller's text).
    std::string expand(std::string text, int depth) {
        text.reserve(expansionReserve);
        std::size_t at = text.find(includeWord);
        while (at != std::string::npos) {
            std::size_t next = expandDirectiveAt(text, at, depth);
            at = text.find(includeWord, next);
        }
        return text;
    }

private:
    // Replaces the directive at `at` when it is one; returns where the scan
    // goes on.
    std::size_t expandDirectiveAt(std::string& text, std::size_t at, int depth) {
        if (at >= 2 && text[at - 2] == '/' && text[at - 1] == '/') {
            return at + 1;
        }
        std::size_t open = text.find('"', at + includeWordLength);
        if (open == std::string::npos) {
            return at + 1;
        }
        std::size_t close = text.find('"', open + 1);
        if (close == std::string::npos) {
            return at + 1;
        }

        std::string path = directory;
        path.append(text, open + 1, close - open - 1);
        std::string included;
        if (depth + 1 > maxIncludeDepth) {
            reportCut("include nesting deeper than " + std::to_string(maxIncludeDepth) +
                      ", stopped at: " + path);
        } else if (filesRead >= maxIncludedFiles) {
            reportCut("more than " + std::to_string(maxIncludedFiles) +
                      " included files, stopped at: " + path);
        } else if (!insideDirectory(path)) {
            reportCut("include outside the shader directory, not read: " + path);
        } else {
            ++filesRead;
            included = Shader::loadSource(path.c_str());
            if (included.size() > maxIncludedBytes - bytesRead) {
                reportCut("included text beyond " + std::to_string(maxIncludedBytes >> 20) +
                          " MiB, stopped at: " + path);
                included.clear();
            } else {
                bytesRead += included.size();
                included = expand(std::move(included), depth + 1);
            }
            // The reading put a line feed after the file's last line; the
            // directive's own line break follows instead.
            if (!included.empty()) {
                included.pop_back();
            }
        }
        text.replace(at, close + 1 - at, included);
        return at + 1;
    }

    void reportCut(const std::string& what) {
        if (cutReported) {
            return;
        }
        cutReported = true;
        MessageSink::instance().criticalError("expandIncludes: %s", what.c_str());
    }

    // Whether the file lies in the shader directory once links and ".." are
    // resolved (a missing one is left for the reading to report).
    bool insideDirectory(const std::string& path) const {
        std::error_code error;
        const std::string resolved = std::filesystem::weakly_canonical(path, error).string();
        return !error && resolved.compare(0, resolvedDirectory.size(), resolvedDirectory) == 0;
    }

    std::string directory;
    // The directory's resolved name with a final '/'.
    std::string resolvedDirectory;
    int filesRead = 0;
    std::size_t bytesRead = 0;
    bool cutReported;
};

} // namespace

std::string expandIncludes(std::string text, std::string basePath, bool reportCuts) {
    std::size_t slash = basePath.rfind('/');
    basePath.resize(slash == std::string::npos ? 0 : slash + 1);
    IncludeExpansion expansion(std::move(basePath), reportCuts);
    return expansion.expand(std::move(text), 0);
}

namespace {

constexpr std::size_t defineLineBufferSize = 512;

// The new line, "#define <name> <value>\n", in a caller's fixed buffer when it
// fits (the per-frame case, no heap), else in `overflow`.
const char* formatDefineLine(char (&buffer)[defineLineBufferSize], std::string& overflow,
                             const char* name, const char* value, std::size_t& length) {
    int written = std::snprintf(buffer, sizeof buffer, "#define %s %s\n", name, value);
    if (written < 0) {
        length = 0;
        return "";
    }
    length = static_cast<std::size_t>(written);
    if (length < sizeof buffer) {
        return buffer;
    }
    overflow = std::string("#define ") + name + " " + value + "\n";
    return overflow.c_str();
}

// The end of the span the new line replaces: one line, or as many lines as the
// new line's content holds when a name or value carries line breaks, so that
// setting the same text twice never changes it again.
std::size_t replacedSpanEnd(const std::string& text, std::size_t start, const char* content,
                            std::size_t contentLength) {
    auto breaks = static_cast<std::size_t>(std::count(content, content + contentLength, '\n'));
    std::size_t end = start;
    for (std::size_t line = 0; line <= breaks; ++line) {
        end = text.find('\n', end);
        if (end == std::string::npos) {
            return text.size();
        }
        if (line < breaks) {
            ++end;
        }
    }
    return end;
}

} // namespace

bool applyDefineLine(std::string& text, const char* name, const char* value, std::size_t insertAt) {
    if (!name) {
        name = "";
    }
    if (!value) {
        value = "";
    }
    char buffer[defineLineBufferSize];
    std::string overflow;
    std::size_t lineLength = 0;
    const char* line = formatDefineLine(buffer, overflow, name, value, lineLength);
    if (lineLength == 0) {
        return false;
    }

    // The search key "#define <name>" is the new line's own beginning.
    std::size_t keyLength = std::strlen("#define ") + std::strlen(name);
    std::size_t found = text.find(line, 0, keyLength);
    if (found == std::string::npos) {
        text.insert(std::min(insertAt, text.size()), line, lineLength);
        return true;
    }
    std::size_t contentLength = lineLength - 1; // without the final line feed
    std::size_t end = replacedSpanEnd(text, found, line, contentLength);
    if (text.compare(found, end - found, line, contentLength) == 0) {
        return false;
    }
    text.replace(found, end - found, line, contentLength);
    return true;
}

uint32_t nameHash(const char* name) {
    uint32_t hash = 0;
    if (!name) {
        return hash;
    }
    for (const char* c = name; *c != '\0'; ++c) {
        // Bytes above 0x7F count as negative, whatever the platform's char is;
        // the conversion to unsigned then wraps them modulo 2^32.
        int32_t value = static_cast<signed char>(*c);
        hash = hash * 65599u + static_cast<uint32_t>(value);
    }
    return hash;
}

} // namespace Vellumar
