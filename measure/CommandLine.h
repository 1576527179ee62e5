// The program's command line: the tool's own options read into RunOptions,
// GLUT's options left in argv for glutInit, and every bad input turned into
// one line for standard error and exit status 2 before any window opens.
//
//   --set NAME=VALUE          a setting or a group (repeatable)
//   --frames N                batch mode: N measured frames per configuration
//   --warmup W                unmeasured frames first (default 3)
//   --sweep NAME=FROM:TO:STEP one more loop over a setting (repeatable)
//   --csv FILE, --json FILE   results files (batch mode)
//   --report                  statistics on standard output
//   --settings FILE           settings file to load first
//   --capture DIR             where captures go
//   --help, --version
//
// GLUT's own options (-display D, -geometry G, -iconic, -direct, -indirect,
// -gldebug, -sync) are recognised and kept; any other unknown argument is an
// error. With no option of the tool's, the result is a default RunOptions:
// the interactive program as it always was.
#pragma once

#include <string>

#include "RunOptions.h"
#include "SettingRegistry.h"

namespace Vellumar::measure {

inline constexpr int usageErrorStatus = 2;
// More frames per configuration than anyone measures, and enough to keep a
// ring of that many frames (16 bytes each) a reasonable allocation.
inline constexpr int32_t maxFrames = 1000000;

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

// "0.1.0" unless the build defines GLINTMOTH_VERSION.
const char* versionString();

// Reads the tool's options out of argv. On return argv[0..argc) holds the
// program name and GLUT's options in their order (argv[argc] is null), ready
// for glutInit. The registry is only read: it names the settings that --set
// and --sweep may use and checks their values; nothing is applied.
CommandLineResult parseCommandLine(int& argc, char** argv, const SettingRegistry& registry);

} // namespace Vellumar::measure
