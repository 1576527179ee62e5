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
#include <climits>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>

namespace Vellumar::measure {

namespace {

std::atomic<unsigned> temporaryCounter{0};

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

// Flushes and closes the file, or throws for `shown`.
void finish(std::FILE* file, std::string_view bytes, const std::string& shown) {
    const bool written =
        (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size()) &&
        std::fflush(file) == 0 && !std::ferror(file);
    const int error = errno;
    if (std::fclose(file) != 0 || !written) {
        throw WriteError(shown, std::strerror(written ? errno : error));
    }
}

} // namespace

WholeFile::WholeFile(std::string path) : target(std::move(path)) {
    checkFileTarget(target);
    temporary = makeTemporary(target, [this](const std::string& name) {
        file = std::fopen(name.c_str(), exclusiveMode);
        return file != nullptr;
    });
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
        throw WriteError(target, "committed twice");
    }
    finish(std::exchange(file, nullptr), {}, target);
    // Again: the name may have become a link or a device meanwhile.
    checkFileTarget(target);
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        throw WriteError(target, std::strerror(errno));
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
        throw WriteError(path, "is a directory");
    }
    if (exists && !S_ISREG(info.st_mode)) {
        throw WriteError(path,
                         S_ISLNK(info.st_mode) ? "is a symbolic link" : "is not a regular file");
    }
    checkWritableDirectory(directoryOf(path));
}

void probeFileTarget(const std::string& path) {
    checkFileTarget(path);
    const std::string directory = directoryOf(path);
    const std::string name = path.substr(path.rfind('/') + 1);
    const long nameMax = pathconf(directory.c_str(), _PC_NAME_MAX);
    if (path.size() >= PATH_MAX || (nameMax > 0 && name.size() > static_cast<size_t>(nameMax))) {
        throw WriteError(path, std::strerror(ENAMETOOLONG));
    }
    const std::string probe = makeTemporary(path, [](const std::string& temporary) {
        std::FILE* file = std::fopen(temporary.c_str(), exclusiveMode);
        return file && std::fclose(file) == 0;
    });
    std::remove(probe.c_str());
}

void checkWritableDirectory(const std::string& path) {
    struct stat info {};
    const bool found = stat(path.c_str(), &info) == 0;
    if (found && !S_ISDIR(info.st_mode)) {
        throw WriteError(path, "is not a directory");
    }
    if (!found || access(path.c_str(), W_OK | X_OK) != 0) {
        throw WriteError(path, std::strerror(errno));
    }
}

bool sameFile(const std::string& first, const std::string& second) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(fs::symlink_status(first, error)) ||
        fs::exists(fs::symlink_status(second, error))) {
        return fs::equivalent(first, second, error);
    }
    return fs::path(first).filename() == fs::path(second).filename() &&
           fs::equivalent(directoryOf(first), directoryOf(second), error);
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string makeTemporary(const std::string& target,
                          const std::function<bool(const std::string&)>& create,
                          const std::function<bool(const std::string&)>& removable) {
    const std::string directory = directoryOf(target);
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
    // A name of this process's number can be a leftover of an earlier one.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = directory + "/.glintmoth-" + std::to_string(getpid()) + "-" +
                                 std::to_string(temporaryCounter++) + ".tmp";
        if (create(name)) {
            return name;
        }
        if (errno != EEXIST && errno != ENOTEMPTY) {
            throw WriteError(target, std::strerror(errno));
        }
    }
    throw WriteError(target, "no free temporary name");
}

void writeBytes(const std::string& path, const char* mode, std::string_view bytes,
                const std::string& shown) {
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file) {
        throw WriteError(shown, std::strerror(errno));
    }
    finish(file, bytes, shown);
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
