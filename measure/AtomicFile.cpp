// POSIX calls rather than <filesystem>: the temporary file must be created
// exclusively (O_EXCL) and with the process's usual permissions, which
// std::ofstream cannot promise.
#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace Vellumar::measure {

namespace {

// "out/run.csv" -> "out", "run.csv" -> "."; "/x" -> "/".
std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string reason(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

std::atomic<unsigned> temporaryCounter{0};

} // namespace

AtomicFile::AtomicFile(std::string path) : target(std::move(path)) {}

AtomicFile::~AtomicFile() { abandon(); }

std::optional<std::string> AtomicFile::problemWriting(const std::string& path) {
    if (path.empty()) {
        return std::string("empty file name");
    }
    if (path.back() == '/') {
        return path + ": is a directory";
    }
    // lstat: a name that is a symbolic link, a device or a FIFO is never
    // replaced by the rename, nor written through.
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return path + ": is a directory";
        }
        if (S_ISLNK(info.st_mode)) {
            return path + ": is a symbolic link";
        }
        if (!S_ISREG(info.st_mode)) {
            return path + ": is not a regular file";
        }
    }
    const std::string directory = directoryOf(path);
    if (stat(directory.c_str(), &info) != 0) {
        return reason(directory, errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return directory + ": is not a directory";
    }
    if (access(directory.c_str(), W_OK | X_OK) != 0) {
        return reason(directory, errno);
    }
    return std::nullopt;
}

bool AtomicFile::sameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    const bool firstExists = lstat(first.c_str(), &a) == 0;
    const bool secondExists = lstat(second.c_str(), &b) == 0;
    if (firstExists || secondExists) {
        return firstExists && secondExists && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    }
    const std::string firstName = first.substr(first.rfind('/') + 1);
    const std::string secondName = second.substr(second.rfind('/') + 1);
    return firstName == secondName && stat(directoryOf(first).c_str(), &a) == 0 &&
           stat(directoryOf(second).c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

std::optional<std::string> AtomicFile::open() {
    abandon();
    if (std::optional<std::string> problem = problemWriting(target)) {
        return problem;
    }
    const std::string directory = directoryOf(target);
    const std::string base = target.substr(target.rfind('/') + 1);
    // O_EXCL: a leftover of the same name is never reused; try a few names.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = directory + "/." + base + ".tmp-" + std::to_string(getpid()) + "-" +
                           std::to_string(temporaryCounter++);
        const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return reason(target, errno);
        }
        file = fdopen(descriptor, "w");
        if (!file) {
            const int error = errno;
            ::close(descriptor);
            ::unlink(name.c_str());
            return reason(target, error);
        }
        temporary = std::move(name);
        return std::nullopt;
    }
    return target + ": no free temporary name";
}

void AtomicFile::write(std::string_view text) {
    if (file && !text.empty()) {
        std::fwrite(text.data(), 1, text.size(), file);
    }
}

std::optional<std::string> AtomicFile::commit() {
    if (!file) {
        return target + ": not open";
    }
    const bool written = std::fflush(file) == 0 && !std::ferror(file);
    int error = errno;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (written && !closed) {
        error = errno;
    }
    if (!written || !closed) {
        ::unlink(temporary.c_str());
        temporary.clear();
        return reason(target, error);
    }
    // Checked again: the name may have become something else meanwhile.
    if (std::optional<std::string> problem = problemWriting(target)) {
        ::unlink(temporary.c_str());
        temporary.clear();
        return problem;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        temporary.clear();
        return reason(target, error);
    }
    temporary.clear();
    return std::nullopt;
}

void AtomicFile::abandon() {
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    if (!temporary.empty()) {
        ::unlink(temporary.c_str());
        temporary.clear();
    }
}

} // namespace Vellumar::measure
