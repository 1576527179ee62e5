// A temporary directory of shader files for one test or benchmark.
#include "TempShaderDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace testsupport {

TempShaderDir::TempShaderDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "glintmoth-shaders-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    root = std::string(name.data()) + "/";
}

TempShaderDir::~TempShaderDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string TempShaderDir::write(const std::string& name, const std::string& bytes) const {
    std::filesystem::path full = std::filesystem::path(root) / name;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + full.string());
    }
    return full.string();
}

} // namespace testsupport
