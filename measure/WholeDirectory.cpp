// Replacing an existing target moves it aside under a temporary name first,
// and puts it back if the fresh directory cannot take its place.
#include "WholeDirectory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "WholeFile.h"

namespace fs = std::filesystem;

namespace Vellumar::measure {

namespace {

const char* const markerName = ".glintmoth-files";
const char* const markerHeader = "# written by glintmoth, replaced whole by its next write:\n";

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

// Missing, empty, or nothing but plain files and folders that its marker names.
bool holdsOnlyMarkedFiles(const std::string& directory) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(directory, error)) ||
        (fs::is_empty(directory, error) && !error)) {
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
    : target(targetName(path)), kind(std::move(kind)) {
    checkReplaceable();
    fresh = makeTemporary(
        target, [](const std::string& name) { return mkdir(name.c_str(), 0777) == 0; },
        holdsOnlyMarkedFiles);
}

WholeDirectory::~WholeDirectory() {
    if (!fresh.empty()) {
        std::error_code ignored;
        fs::remove_all(fresh, ignored);
    }
}

void WholeDirectory::mark(const std::string& written) {
    if (named.insert(written).second) {
        writeBytes(fresh + "/" + markerName, "ae",
                   (named.size() == 1 ? markerHeader : "") + written + "\n",
                   target + "/" + markerName);
    }
}

void WholeDirectory::writeFile(const std::string& file, std::string_view bytes) {
    for (size_t slash = file.find('/'); slash != std::string::npos;
         slash = file.find('/', slash + 1)) {
        const std::string folder = file.substr(0, slash);
        if (named.count(folder) == 0) {
            mark(folder);
            if (mkdir((fresh + "/" + folder).c_str(), 0777) != 0) {
                throw WriteError(target + "/" + folder, std::strerror(errno));
            }
        }
    }
    mark(file);
    writeBytes(fresh + "/" + file, exclusiveMode, bytes, target + "/" + file);
}

void WholeDirectory::commit() {
    // Again: the target may have changed while the files were written.
    checkReplaceable();
    struct stat info {};
    const bool replaces = lstat(target.c_str(), &info) == 0;
    const std::string earlier =
        replaces ? makeTemporary(target,
                                 [this](const std::string& name) {
                                     return std::rename(target.c_str(), name.c_str()) == 0;
                                 })
                 : "";
    if (std::rename(fresh.c_str(), target.c_str()) != 0) {
        const int error = errno;
        if (replaces) {
            std::rename(earlier.c_str(), target.c_str());
        }
        throw WriteError(target, std::strerror(error));
    }
    fresh.clear();
    // What joined the earlier one since the check stays, under its temporary name.
    if (replaces && holdsOnlyMarkedFiles(earlier)) {
        std::error_code ignored;
        fs::remove_all(earlier, ignored);
    }
}

void WholeDirectory::checkTarget(const std::string& path) {
    const std::string name = targetName(path);
    struct stat info {};
    if (lstat(name.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode)) {
            throw WriteError(name, "is a symbolic link");
        }
        checkWritableDirectory(name);
    }
    checkWritableDirectory(directoryOf(name));
}

void WholeDirectory::checkReplaceable() const {
    checkTarget(target);
    if (!holdsOnlyMarkedFiles(target)) {
        throw WriteError(target, "a directory of other files, not an earlier " + kind);
    }
}

} // namespace Vellumar::measure
