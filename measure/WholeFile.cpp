// The target is looked at with lstat, so that a link is seen, not followed;
// the temporary file is created exclusively ("x") with the process's usual
// permissions.
#include "WholeFile.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>

namespace Vellumar::measure {

namespace {

std::atomic<unsigned> temporaryCounter{0};

[[noreturn]] void fail(const std::string& path, const std::string& reason) {
    throw WriteError(path + ": " + reason);
}

// A temporary name of a process that no longer runs (EPERM: it runs, under
// another user).
bool leftOver(const char* name) {
    int pid = 0;
    unsigned counter = 0;
    int length = 0;
    return std::sscanf(name, ".glintmoth-%d-%u.tmp%n", &pid, &counter, &length) == 2 &&
           name[length] == '\0' && pid > 0 && pid != getpid() && kill(pid, 0) != 0 &&
           errno == ESRCH;
}

} // namespace

WholeFile::WholeFile(std::string path) : target(std::move(path)) {
    checkFileTarget(target);
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temporary = freshTemporaryName(directoryOf(target));
        file = std::fopen(temporary.c_str(), exclusiveMode);
        if (!file && errno != EEXIST) {
            break;
        }
    }
    if (!file) {
        temporary.clear();
        fail(target, errno == EEXIST ? "no free temporary name" : std::strerror(errno));
    }
}

WholeFile::~WholeFile() {
    if (file) {
        std::fclose(file);
    }
    if (!temporary.empty()) {
        std::remove(temporary.c_str());
    }
}

void WholeFile::write(std::string_view text) {
    if (file && !text.empty()) {
        std::fwrite(text.data(), 1, text.size(), file);
    }
}

void WholeFile::commit() {
    if (!file) {
        fail(target, "committed twice");
    }
    finish(std::exchange(file, nullptr), {}, target);
    // Again: the name may have become a link or a device meanwhile.
    checkFileTarget(target);
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        fail(target, std::strerror(errno));
    }
    temporary.clear();
}

void writeWholeFile(const std::string& path, std::string_view text) {
    WholeFile file(path);
    file.write(text);
    file.commit();
}

void checkFileTarget(const std::string& path) {
    if (path.empty()) {
        throw WriteError("empty file name");
    }
    struct stat info {};
    const bool exists = lstat(path.c_str(), &info) == 0;
    if (path.back() == '/' || (exists && S_ISDIR(info.st_mode))) {
        fail(path, "is a directory");
    }
    if (exists && !S_ISREG(info.st_mode)) {
        fail(path, S_ISLNK(info.st_mode) ? "is a symbolic link" : "is not a regular file");
    }
    checkWritableDirectory(directoryOf(path));
}

void checkWritableDirectory(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        fail(path, std::strerror(errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        fail(path, "is not a directory");
    }
    if (access(path.c_str(), W_OK | X_OK) != 0) {
        fail(path, std::strerror(errno));
    }
}

bool sameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    const bool firstExists = lstat(first.c_str(), &a) == 0;
    const bool secondExists = lstat(second.c_str(), &b) == 0;
    if (!firstExists && !secondExists) {
        return first.substr(first.rfind('/') + 1) == second.substr(second.rfind('/') + 1) &&
               stat(directoryOf(first).c_str(), &a) == 0 &&
               stat(directoryOf(second).c_str(), &b) == 0 && a.st_dev == b.st_dev &&
               a.st_ino == b.st_ino;
    }
    return firstExists && secondExists && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string freshTemporaryName(const std::string& directory,
                               const std::function<bool(const std::string&)>& removable) {
    if (DIR* entries = opendir(directory.c_str())) {
        while (const dirent* entry = readdir(entries)) {
            const std::string path = directory + "/" + entry->d_name;
            struct stat info {};
            if (!leftOver(entry->d_name) || lstat(path.c_str(), &info) != 0 ||
                info.st_uid != geteuid()) {
                continue;
            }
            if (S_ISREG(info.st_mode)) {
                std::remove(path.c_str());
            } else if (S_ISDIR(info.st_mode) && removable && removable(path)) {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
        }
        closedir(entries);
    }
    return directory + "/.glintmoth-" + std::to_string(getpid()) + "-" +
           std::to_string(temporaryCounter++) + ".tmp";
}

void finish(std::FILE* file, std::string_view bytes, const std::string& path) {
    const bool written =
        (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size()) &&
        std::fflush(file) == 0 && !std::ferror(file);
    const int error = errno;
    if (std::fclose(file) != 0 || !written) {
        fail(path, std::strerror(written ? errno : error));
    }
}

std::string freshTimestampedName(const std::string& prefix, const std::string& suffix) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = "00000000-000000";
    if (localtime_r(&now, &local)) {
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    }
    const std::string base = prefix + "-" + stamp;
    std::string name = base + suffix;
    struct stat info {};
    for (int n = 2; lstat(name.c_str(), &info) == 0 && n < 1000; ++n) {
        name = base + "-" + std::to_string(n) + suffix;
    }
    return name;
}

std::string absolutePath(const std::string& name) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(name, error);
    return error ? name : path.string();
}

} // namespace Vellumar::measure
