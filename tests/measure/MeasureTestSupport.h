// Shared by the measure tests: a small set of settings shaped like the
// program's (a pair, a point group, an enumeration, booleans) with their
// registry, and a scratch directory removed at the end of each test.
#pragma once

#include <cstdint>
#include <string>

#include "SettingRegistry.h"

namespace testsupport {

struct SampleSettings {
    struct Pair {
        int32_t x = 0;
        int32_t y = 0;
    };
    struct Rect {
        int32_t PosX = 0;
        int32_t PosY = 0;
        int32_t SizeX = 0;
        int32_t SizeY = 0;
    };

    int32_t curTest = 0;
    int32_t curPrim = 7;
    Pair loopsCount;
    int32_t numShaderRegs = 20;
    bool fastMode = true;
    bool freezePointEnabled[2] = {true, false};
    Rect freezePoints[2] = {};

    SampleSettings();
    Vellumar::measure::SettingRegistry registry;
};

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return root; }
    std::string file(const std::string& name) const { return root + "/" + name; }
    // The names in the directory, hidden ones included, sorted.
    std::string listing() const;

private:
    std::string root;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);

} // namespace testsupport
