// A results or settings file that appears whole or not at all: the text goes
// to a temporary file next to the target (same directory, so the rename
// stays on one file system) and is renamed over the target on commit. A file
// that is never committed, or whose writing failed, is removed, and an
// earlier file of the target's name stays as it was.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace Vellumar::measure {

class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile(); // abandons what was not committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; nullopt on success, else "PATH: reason".
    std::optional<std::string> open();
    // Buffered; a failure shows at commit().
    void write(std::string_view text);
    // Flushes, closes and renames over the target; on any failure the
    // temporary file is removed and the reason returned.
    std::optional<std::string> commit();
    // Closes and removes the temporary file.
    void abandon();

    const std::string& path() const { return target; }
    bool isOpen() const { return file != nullptr; }

    // Why a file could not be written at `path`, checked before any work:
    // the path names a directory, its directory does not exist or is no
    // directory, or that directory is not writable. nullopt when it looks
    // writable.
    static std::optional<std::string> problemWriting(const std::string& path);
    // Whether two names, however spelled, are one file: the same file where
    // it exists, else the same name in the same directory.
    static bool sameFile(const std::string& first, const std::string& second);

private:
    std::string target;
    std::string temporary;
    std::FILE* file = nullptr;
};

} // namespace Vellumar::measure
