// O_NONBLOCK lets the open of a FIFO return at once, so that fstat can refuse
// it; a regular file reads the same with or without it. The size is checked
// before and during the read: a file may grow meanwhile.
#include "InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace Vellumar::measure {

namespace {

std::string tooLarge(std::size_t maxBytes) {
    return maxBytes >= (std::size_t{1} << 20)
               ? "larger than " + std::to_string(maxBytes >> 20) + " MiB"
               : "larger than " + std::to_string(maxBytes) + " bytes";
}

std::optional<InputRefusal> readOpened(int descriptor, std::size_t maxBytes, std::string& text) {
    struct stat info {};
    if (fstat(descriptor, &info) != 0) {
        return InputRefusal{true, std::strerror(errno)};
    }
    if (!S_ISREG(info.st_mode)) {
        return InputRefusal{true,
                            S_ISDIR(info.st_mode) ? "is a directory" : "is not a regular file"};
    }
    if (static_cast<std::size_t>(info.st_size) > maxBytes) {
        return InputRefusal{true, tooLarge(maxBytes)};
    }
    text.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == text.size()) {
            if (filled > maxBytes) {
                return InputRefusal{true, tooLarge(maxBytes)};
            }
            text.resize(std::min(text.size() * 2, maxBytes + 1));
        }
        const ssize_t got = read(descriptor, &text[filled], text.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return InputRefusal{true, std::strerror(errno)};
        }
        if (got == 0) {
            text.resize(filled);
            return std::nullopt;
        }
        filled += static_cast<std::size_t>(got);
    }
}

} // namespace

std::optional<InputRefusal> readInputFile(const std::string& path, std::size_t maxBytes,
                                          std::string& text) {
    text.clear();
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return InputRefusal{false, std::strerror(errno)};
    }
    std::optional<InputRefusal> refusal = readOpened(descriptor, maxBytes, text);
    close(descriptor);
    if (refusal) {
        text.clear();
    }
    return refusal;
}

} // namespace Vellumar::measure
