// Replacing an existing target moves it aside under a temporary name first,
// and puts it back if the fresh directory cannot take its place.
#include "WholeDirectory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "WholeFile.h"

namespace fs = std::filesystem;

namespace Vellumar::measure {

namespace {

const char* const markerName = ".glintmoth-files";
const char* const markerHeader = "# written by glintmoth, replaced whole by its next write:\n";

[[noreturn]] void fail(const std::string& path, const std::string& reason) {
    throw WriteError(path + ": " + reason);
}

// "out/" names "out"; ".", ".." and "/" name no directory to make.
std::string targetName(const std::string& path) {
    std::string name = path;
    while (name.size() > 1 && name.back() == '/') {
        name.pop_back();
    }
    const std::string last = name.substr(name.rfind('/') + 1);
    if (last.empty() || last == "." || last == "..") {
        throw WriteError("'" + path + "' is not a directory name");
    }
    return name;
}

// Empty, or nothing but plain files and folders that its marker names.
bool holdsOnlyMarkedFiles(const std::string& directory) {
    std::error_code error;
    if (fs::is_empty(directory, error) && !error) {
        return true;
    }
    // Only a plain file is opened: a FIFO would wait for a writer.
    const std::string marker = directory + "/" + markerName;
    if (fs::symlink_status(marker, error).type() != fs::file_type::regular) {
        return false;
    }
    std::ifstream in(marker, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line + "\n" != markerHeader) {
        return false;
    }
    std::set<std::string> named{markerName};
    while (std::getline(in, line)) {
        named.insert(line);
    }
    fs::recursive_directory_iterator entry(directory, error);
    for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        const fs::file_type type = entry->symlink_status(error).type();
        if (named.count(entry->path().lexically_relative(directory).generic_string()) == 0 ||
            (type != fs::file_type::regular && type != fs::file_type::directory)) {
            return false;
        }
    }
    return !error;
}

} // namespace

WholeDirectory::WholeDirectory(const std::string& path, std::string kind)
    : target(targetName(path)), kind(std::move(kind)), named(markerHeader) {
    checkTarget(target);
    checkReplaceable();
    for (int attempt = 0; attempt < 100 && fresh.empty(); ++attempt) {
        std::string name = freshTemporaryName(directoryOf(target), holdsOnlyMarkedFiles);
        if (mkdir(name.c_str(), 0777) == 0) {
            fresh = std::move(name);
        } else if (errno != EEXIST) {
            fail(target, std::strerror(errno));
        }
    }
    if (fresh.empty()) {
        fail(target, "no free temporary name");
    }
}

WholeDirectory::~WholeDirectory() {
    if (!fresh.empty()) {
        std::error_code ignored;
        fs::remove_all(fresh, ignored);
    }
}

void WholeDirectory::name(const std::string& written) {
    named += written + "\n";
    const std::string marker = fresh + "/" + markerName;
    std::FILE* file = std::fopen(marker.c_str(), "we");
    if (!file) {
        fail(target, std::strerror(errno));
    }
    finish(file, named, target + "/" + markerName);
}

void WholeDirectory::writeFile(const std::string& file, std::string_view bytes) {
    for (size_t slash = file.find('/'); slash != std::string::npos;
         slash = file.find('/', slash + 1)) {
        const std::string folder = fresh + "/" + file.substr(0, slash);
        struct stat info {};
        if (lstat(folder.c_str(), &info) != 0) {
            name(file.substr(0, slash));
            if (mkdir(folder.c_str(), 0777) != 0) {
                fail(target + "/" + file.substr(0, slash), std::strerror(errno));
            }
        }
    }
    name(file);
    std::FILE* out = std::fopen((fresh + "/" + file).c_str(), exclusiveMode);
    if (!out) {
        fail(target + "/" + file, std::strerror(errno));
    }
    finish(out, bytes, target + "/" + file);
}

void WholeDirectory::commit() {
    // Again: the target may have changed while the files were written.
    checkTarget(target);
    checkReplaceable();
    struct stat info {};
    const std::string earlier =
        lstat(target.c_str(), &info) == 0 ? freshTemporaryName(directoryOf(target)) : "";
    if (!earlier.empty() && std::rename(target.c_str(), earlier.c_str()) != 0) {
        fail(target, std::strerror(errno));
    }
    if (std::rename(fresh.c_str(), target.c_str()) != 0) {
        const int error = errno;
        if (!earlier.empty()) {
            std::rename(earlier.c_str(), target.c_str());
        }
        fail(target, std::strerror(error));
    }
    fresh.clear();
    // What joined the earlier one since the check stays, under its temporary name.
    if (!earlier.empty() && holdsOnlyMarkedFiles(earlier)) {
        std::error_code ignored;
        fs::remove_all(earlier, ignored);
    }
}

void WholeDirectory::checkTarget(const std::string& path) {
    const std::string name = targetName(path);
    struct stat info {};
    if (lstat(name.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode)) {
            fail(name, S_ISLNK(info.st_mode) ? "is a symbolic link" : "is not a directory");
        }
        if (access(name.c_str(), W_OK | X_OK) != 0) {
            fail(name, std::strerror(errno));
        }
    }
    checkWritableDirectory(directoryOf(name));
}

void WholeDirectory::checkReplaceable() const {
    struct stat info {};
    if (lstat(target.c_str(), &info) == 0 && !holdsOnlyMarkedFiles(target)) {
        fail(target, "a directory of other files, not an earlier " + kind);
    }
}

} // namespace Vellumar::measure
