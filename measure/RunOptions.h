// What the command line asked for, as plain values. A default RunOptions is
// the program as it always ran: interactive, nothing changed, nothing written.
//
// The caller applies, in this order: the settings file, then the --set
// assignments in the order given, then for each configuration of the sweep
// plan its swept values (so a sweep overrides a --set of the same name).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SweepPlan.h"

namespace Vellumar::measure {

struct SettingAssignment {
    std::string name; // a setting or a group
    std::string value;
};

struct RunOptions {
    // --set NAME=VALUE, repeatable; checked against the registry already.
    std::vector<SettingAssignment> assignments;
    // --frames N: batch mode, N measured frames per configuration, then exit.
    std::optional<int32_t> frames;
    // --warmup W: frames drawn and not measured before each configuration.
    int32_t warmup = 3;
    // --sweep NAME=FROM:TO:STEP, repeatable; the first is the outermost loop.
    std::vector<SweepRange> sweeps;
    // --csv FILE, --json FILE: results files (empty: none).
    std::string csvPath;
    std::string jsonPath;
    // --report: print each configuration's statistics on standard output.
    bool report = false;
    // --settings FILE: a settings file to load before the --set assignments.
    std::string settingsPath;
    // --capture DIR: where captures go (the directory may not exist yet; its
    // parent then does and is writable).
    std::string captureDirectory;

    bool batch() const { return frames.has_value(); }
};

} // namespace Vellumar::measure
