// Files that appear whole or not at all, and only where they replace nothing
// but a plain file: the results and settings files and the recordings
// (WholeDirectory does the same for the capture's directory). The text goes
// to a temporary file beside the target, on its file system, which takes the
// target's place at commit(). A target that is a symbolic link, a directory,
// a FIFO or a device is refused, at the start and again before the rename.
//
// Temporary names are ".glintmoth-PID-N.tmp": a run killed before its commit
// leaves one behind, and the next write into that directory removes those of
// processes that no longer run (this user's only). Every failure is a
// WriteError, one line: "PATH: reason".
#pragma once

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace Vellumar::measure {

class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    WriteError(const std::string& path, const std::string& reason)
        : std::runtime_error(path + ": " + reason) {}
};

class WholeFile {
public:
    // Checks the target (checkFileTarget) and creates the temporary file.
    explicit WholeFile(std::string path);
    ~WholeFile(); // removes what was not committed
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // Buffered; a failure shows at commit().
    void write(std::string_view text);
    // Flushes, closes and renames over the target.
    void commit();

private:
    std::string target;
    std::string temporary;
    std::FILE* file = nullptr;
};

void writeWholeFile(const std::string& path, std::string_view text);

// Throws unless a file may be written at `path`: a new name or a plain file,
// in a writable directory.
void checkFileTarget(const std::string& path);
// checkFileTarget, and what only trying shows: that the name fits the file
// system and that a file can be made beside it (a temporary one, removed
// again). A run checks its results files so before it measures anything.
void probeFileTarget(const std::string& path);
void checkWritableDirectory(const std::string& path);
// Whether two names, however spelled, are one file: the same file where one
// exists, else the same name in the same directory.
bool sameFile(const std::string& first, const std::string& second);

// "out/run.csv" -> "out", "run.csv" -> "."; "/x" -> "/".
std::string directoryOf(const std::string& path);
// A new temporary name beside `target`, made by `create` (true when it made
// it, else errno says why), after removing the leftovers there: files, and
// the directories that `removable` accepts.
std::string makeTemporary(const std::string& target,
                          const std::function<bool(const std::string&)>& create,
                          const std::function<bool(const std::string&)>& removable = {});
// Opens `path` with fopen's `mode`, writes the bytes and closes it, or throws
// for `shown`.
void writeBytes(const std::string& path, const char* mode, std::string_view bytes,
                const std::string& shown);
// "x": created here, never an earlier file or a link; "e": not inherited.
inline constexpr const char* exclusiveMode = "wxe";

// PREFIX-YYYYMMDD-HHMMSS and the suffix, in the working directory, with -2,
// -3, ... before the suffix when that name is taken.
std::string freshTimestampedName(const std::string& prefix, const std::string& suffix = "");
// The absolute form of a name, for the console.
std::string absolutePath(const std::string& name);

} // namespace Vellumar::measure
