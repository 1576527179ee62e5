// The program's command line: the tool's own options read into RunOptions,
// GLUT's options (-display D, -geometry G, -iconic, -direct, -indirect,
// -gldebug, -sync) left in argv for glutInit, and every bad input turned into
// one line for standard error and exit status 2 before any window opens. With
// no option of the tool's, the result is a default RunOptions: the
// interactive program as it always was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SettingRegistry.h"
#include "SweepPlan.h"

namespace Vellumar::measure {

inline constexpr int usageErrorStatus = 2;
// Seconds a batch configuration, or a capture, may run without --timeout.
inline constexpr int32_t defaultTimeoutSeconds = 600;

struct SettingAssignment {
    std::string name; // a setting or a group
    std::string value;
};

// What the command line asked for, checked, as plain values. The caller
// applies, in this order: the settings file, then the --set assignments in
// the order given, then for each configuration of the sweep plan its swept
// values (so a sweep overrides a --set of the same name).
struct RunOptions {
    std::vector<SettingAssignment> assignments; // --set NAME=VALUE, repeatable
    std::optional<int32_t> frames;              // --frames N: batch mode
    int32_t warmup = 3;                         // --warmup W
    std::vector<SweepRange> sweeps;             // --sweep, the first outermost
    std::string csvPath;                        // --csv FILE (empty: none)
    std::string jsonPath;                       // --json FILE
    bool report = false;                        // --report
    std::string settingsPath;                   // --settings FILE, loaded first
    std::string captureDirectory;               // --capture DIR
    int32_t timeout = defaultTimeoutSeconds;    // --timeout SECONDS
    int32_t repeat = 1;                         // --repeat N: captures of the frame
    bool headless = false;                      // --headless: no window, even with a display
    std::optional<int32_t> device;              // --device N: this EGL device, no window
    bool listDevices = false;                   // --list-devices
    std::vector<std::string> compare;           // --compare A B: two capture directories

    bool batch() const { return frames.has_value(); }
    // A batch or a capture: nobody is expected at the console, and no window
    // is needed.
    bool unattended() const { return batch() || !captureDirectory.empty(); }
};

struct CommandLineResult {
    enum class Action {
        run,
        exit
    };
    Action action = Action::run;
    // With Action::exit: 0 after --help or --version, usageErrorStatus on bad input.
    int exitStatus = 0;
    // For standard output (the help text, the version line).
    std::string output;
    // One line for standard error, without its newline: "glintmoth: ...".
    std::string error;
    RunOptions options;
};

// GLINTMOTH_VERSION, which the build defines.
const char* versionString();

// Reads the tool's options out of argv. On return argv[0..argc) holds the
// program name and GLUT's options in their order (argv[argc] is null), ready
// for glutInit. The registry is only read: it names the settings that --set
// and --sweep may use and checks their values; nothing is applied.
CommandLineResult parseCommandLine(int& argc, char** argv, const SettingRegistry& registry);

} // namespace Vellumar::measure
