// Reading a file that a user names (a settings file, a shader): only a
// regular file, and no more of it than the caller allows, so that a FIFO never
// keeps the program waiting and a device or a huge file never fills the
// memory. Opening never blocks.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace Vellumar::measure {

struct InputRefusal {
    // False when the file could not be opened at all.
    bool opened = false;
    // "is a directory", "is not a regular file", "larger than 4 MiB", or the
    // system's words.
    std::string reason;
};

// The whole file into `text`, or why not (`text` then holds nothing).
std::optional<InputRefusal> readInputFile(const std::string& path, std::size_t maxBytes,
                                          std::string& text);

} // namespace Vellumar::measure
