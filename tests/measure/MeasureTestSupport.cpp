// The sample registry mirrors the way the program registers its members:
// pairs as name.x/name.y, points as name[i].PosX..SizeY.
#include "MeasureTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <stdlib.h>

namespace testsupport {

SampleSettings::SampleSettings() {
    registry.addEnumeration("curTest", &curTest, {0, 1});
    registry.addEnumeration("curPrim", &curPrim, {0, 1, 4, 7});
    registry.addInteger("loopsCount.x", &loopsCount.x);
    registry.addInteger("loopsCount.y", &loopsCount.y);
    registry.addInteger("numShaderRegs", &numShaderRegs);
    registry.addBoolean("fastMode", &fastMode);
    for (int i = 0; i < 2; ++i) {
        const std::string index = "[" + std::to_string(i) + "]";
        registry.addBoolean("freezePointEnabled" + index, &freezePointEnabled[i]);
        const std::string point = "freezePoints" + index + ".";
        registry.addInteger(point + "PosX", &freezePoints[i].PosX);
        registry.addInteger(point + "PosY", &freezePoints[i].PosY);
        registry.addInteger(point + "SizeX", &freezePoints[i].SizeX);
        registry.addInteger(point + "SizeY", &freezePoints[i].SizeY);
    }
}

ScratchDirectory::ScratchDirectory() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/measure-test-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    root = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::permissions(root, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root, ignored);
}

std::string ScratchDirectory::listing() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : " ") + name;
    }
    return text;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

} // namespace testsupport
