// Text-level shader code: include expansion, define-line editing, and the
// name hash that keys the shader directory registry and every shader's define
// table. No OpenGL here.
#pragma once

#include <cstdint>
#include <string>

namespace Vellumar {

// Replaces every "#include" directive (a plain substring search; only the
// exact form "//#include" is skipped) by the named file's expanded text. Names
// resolve against the directory of basePath (up to its last '/') at every
// depth. Malformed directives are left in place; nesting stops at a fixed
// depth and reading at a fixed number of files, so include cycles end.
std::string expandIncludes(std::string text, std::string basePath);

// Sets "#define <name> <value>" in the text: rewrites the first line holding
// "#define <name>" or inserts the line at the very beginning. Returns whether
// the text changed.
bool applyDefineLine(std::string& text, const char* name, const char* value);

// The 32-bit sdbm hash of a name (h = h * 65599 + c, characters read as
// signed); 0 for a null name.
uint32_t nameHash(const char* name);

// Nesting depth at which include expansion stops.
constexpr int maxIncludeDepth = 32;

// Files one expansion reads at most: a file that includes itself twice
// would otherwise double the work at every level of nesting.
constexpr int maxIncludedFiles = 4096;

} // namespace Vellumar
