// Fuzzes expandIncludes with arbitrary text over a fixed directory of include
// files: plain ones, nested ones, a file that includes itself, two that include
// each other, commented-out and malformed directives, a NUL. The expansion
// must end, and its result can only grow by what the directives bring in.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "CapturedSink.h"
#include "ShaderText.h"

namespace {

const std::pair<const char*, std::string> includeFiles[] = {
    {"a.glsl", "vec4 a() { return vec4(1.0); }\n"},
    {"b.glsl", "#include \"a.glsl\"\nfloat b;\n"},
    {"sub/c.glsl", "// from sub\n#include \"b.glsl\"\n#include \"c.glsl\"\n"},
    {"c.glsl", "int c;"},
    {"self.glsl", "S\n#include \"self.glsl\"\n"},
    {"ping.glsl", "P\n#include \"pong.glsl\"\n"},
    {"pong.glsl", "Q\n#include \"ping.glsl\"\n"},
    {"commented.glsl", "//#include \"a.glsl\"\n// #include \"c.glsl\"\n"},
    {"open.glsl", "#include \"a.glsl\n"},
    {"bare.glsl", "x\n#include\n"},
    {"nul.glsl", std::string("before\0after\n#include \"a.glsl\"\n", 32)},
    {"empty.glsl", ""},
};

std::string directory;
// The longest text that one directive can bring in: the largest expansion
// of any file of the directory.
std::size_t longestInclusion = 0;

void removeDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    testsupport::quietMessageSink();
    std::string pattern =
        (std::filesystem::temp_directory_path() / "glintmoth-fuzz-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        std::abort();
    }
    directory = std::string(name.data()) + "/";
    std::atexit(removeDirectory);
    for (const auto& file : includeFiles) {
        std::filesystem::path path = directory + file.first;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << file.second;
    }
    for (const auto& file : includeFiles) {
        std::string text = Vellumar::expandIncludes("#include \"" + std::string(file.first) + "\"",
                                                    directory + "top.glsl");
        longestInclusion = std::max(longestInclusion, text.size());
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Longer inputs find nothing new and only slow the run down.
    if (size > 4096) {
        return 0;
    }
    std::string text(reinterpret_cast<const char*>(data), size);
    // Keep every name inside the directory: ".." could reach any file of the
    // machine (/dev/zero reads without end).
    for (std::size_t at = text.find(".."); at != std::string::npos; at = text.find("..", at)) {
        text.replace(at, 2, "__");
    }

    std::string expanded = Vellumar::expandIncludes(text, directory + "top.glsl");

    // Every expansion at the top level consumes at least the closing quote of
    // the input's text and brings in at most one file's expansion.
    std::size_t quotes = 0;
    for (char c : text) {
        quotes += c == '"';
    }
    if (expanded.size() > text.size() + quotes * longestInclusion) {
        std::abort();
    }
    // Without a directive nothing may change.
    if (text.find("#include") == std::string::npos && expanded != text) {
        std::abort();
    }
    return 0;
}
