// Text-level shader code: include expansion, define-line editing, and the
// name hash that keys the shader directory registry and every shader's define
// table. No OpenGL here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Vellumar {

// Replaces every "#include" directive (a plain substring search; only the
// exact form "//#include" is skipped) by the named file's expanded text. Names
// resolve against the directory of basePath (up to its last '/') at every
// depth; a name that leads out of that directory (through "..", or a link) is
// not read. Malformed directives are left in place; nesting stops at a fixed
// depth and reading at a fixed number of files and bytes, so include cycles
// end and the text stays bounded. A cut is reported once per call, unless
// `reportCuts` is false (for texts whose parts were expanded, and reported,
// on their own before).
std::string expandIncludes(std::string text, std::string basePath, bool reportCuts = true);

// Sets "#define <name> <value>" in the text: rewrites the first line holding
// "#define <name>" or inserts the line at `insertAt` (the very beginning by
// default; past the end counts as the end). Returns whether the text changed.
bool applyDefineLine(std::string& text, const char* name, const char* value,
                     std::size_t insertAt = 0);

// The 32-bit sdbm hash of a name (h = h * 65599 + c, characters read as
// signed); 0 for a null name.
uint32_t nameHash(const char* name);

// Nesting depth at which include expansion stops.
constexpr int maxIncludeDepth = 32;

// Files one expansion reads at most: a file that includes itself twice
// would otherwise double the work at every level of nesting.
constexpr int maxIncludedFiles = 4096;

// Bytes of included files one expansion reads at most. Each file read lands
// once in the result, so this bounds the expanded text too: a large file
// that includes itself twice would otherwise grow to hundreds of megabytes
// before the file limit stopped it.
constexpr std::size_t maxIncludedBytes = std::size_t{16} << 20;

} // namespace Vellumar
