// CLI11 reads the options into RunOptions through the tool's own checks, so
// that every refusal reads "OPTION 'VALUE': what is wrong", and its needs,
// excludes and version flag do the rest. GLUT's options are taken out before
// CLI11 sees them: it would read "-display" as a cluster of one-letter
// options.
#include "CommandLine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <iterator>
#include <string_view>
#include <utility>

#include <CLI/CLI.hpp>

#include "WholeDirectory.h"
#include "WholeFile.h"

namespace Vellumar::measure {

namespace {

using Problem = std::optional<std::string>;

// More frames per configuration than anyone measures, and enough to keep a
// ring of that many frames a reasonable allocation.
constexpr int32_t maxFrames = 1000000;

// What freeglut's glutInit reads from the command line, and whether each
// takes a value.
constexpr std::pair<const char*, bool> glutOptions[] = {
    {"-display", true},   {"-geometry", true}, {"-iconic", false}, {"-direct", false},
    {"-indirect", false}, {"-gldebug", false}, {"-sync", false}};

// Splits argv: GLUT's options stay in argv (compacted in place, in order),
// the rest is returned for CLI11, each of the app's options with its value,
// which may look like anything, a GLUT option included.
Problem separateGlutOptions(int& argc, char** argv, const CLI::App& app,
                            std::vector<std::string>& ours) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const auto glut =
            std::find_if(std::begin(glutOptions), std::end(glutOptions), [&](const auto& option) {
                return std::strcmp(argv[i], option.first) == 0;
            });
        if (glut == std::end(glutOptions)) {
            const std::string_view argument = argv[i];
            // "--csv=" would make CLI11 take the next argument as the value.
            if (argument.size() > 3 && argument.substr(0, 2) == "--" && argument.back() == '=') {
                return std::string(argument.substr(0, argument.size() - 1)) + " needs a value";
            }
            ours.emplace_back(argument);
            const CLI::Option* option = app.get_option_no_throw(argv[i]);
            if (option && option->get_expected_max() > 0 && i + 1 < argc) {
                ours.emplace_back(argv[++i]);
            }
            continue;
        }
        if (glut->second && i + 1 >= argc) {
            return std::string(argv[i]) + " needs a value";
        }
        argv[kept++] = argv[i];
        if (glut->second) {
            argv[kept++] = argv[++i];
        }
    }
    if (argc >= 1) {
        argc = kept;
        argv[argc] = nullptr;
    }
    return std::nullopt;
}

// A check in the tool's wording. CLI11 puts "OPTION: " before what it
// returns; parseCommandLine makes that "OPTION 'VALUE': problem". The check
// may rewrite the value (a count in plain decimal) where it is a transform.
CLI::Validator checked(std::function<Problem(std::string&)> check) {
    return CLI::Validator(
        [check](std::string& value) {
            const std::string given = value;
            const Problem problem = check(value);
            return problem ? "'" + given + "': " + *problem : std::string();
        },
        "");
}

// A whole number in [minimum, maxFrames], rewritten in plain decimal for
// CLI11's conversion, which would read "010" as octal.
CLI::Validator count(int32_t minimum) {
    return checked([minimum](std::string& text) -> Problem {
        const std::optional<int64_t> number = parseWholeNumber(trimBlanks(text));
        if (!number) {
            return "not a whole number";
        }
        if (*number < minimum) {
            return "must be at least " + std::to_string(minimum);
        }
        if (*number > maxFrames) {
            return "must be at most " + std::to_string(maxFrames);
        }
        text = std::to_string(*number);
        return std::nullopt;
    });
}

Problem assignmentProblem(const std::string& text, const SettingRegistry& registry) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
        return "expected NAME=VALUE";
    }
    return registry.check(text.substr(0, equals), text.substr(equals + 1));
}

Problem sweepProblem(const std::string& text, const SettingRegistry& registry) {
    SweepRange sweep;
    if (Problem problem = parseSweepRange(text, sweep)) {
        return problem;
    }
    const Setting* setting = registry.find(sweep.name);
    // An integer takes any 32-bit value, and parseSweepRange kept both ends
    // in that range; booleans and enumerations are checked value by value
    // (the first bad one stops a long walk early). Unknown names and groups
    // fail on the first.
    const bool integer = setting && setting->kind == SettingKind::integer;
    for (uint64_t k = 0; k < (integer ? 1 : sweep.count()); ++k) {
        if (Problem problem = registry.checkValue(sweep.name, sweep.valueAt(k))) {
            return problem;
        }
    }
    return std::nullopt;
}

Problem readableProblem(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return std::string(std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return "is a directory";
    }
    // A FIFO or a device would keep the program waiting for its end.
    if (!S_ISREG(info.st_mode)) {
        return "is not a regular file";
    }
    if (access(path.c_str(), R_OK) != 0) {
        return std::string(std::strerror(errno));
    }
    return std::nullopt;
}

// The writers' own check of a target, as a problem.
CLI::Validator writable(void (*checkTarget)(const std::string&)) {
    return checked([checkTarget](std::string& path) -> Problem {
        try {
            checkTarget(path);
            return std::nullopt;
        } catch (const WriteError& error) {
            return std::string(error.what());
        }
    });
}

// CLI11's messages can span lines; the caller prints one.
std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text.erase(text.find_last_not_of(' ') + 1);
}

// The options, read into `options` through their checks.
void defineOptions(CLI::App& app, const SettingRegistry& registry, RunOptions& options) {
    app.allow_extras();
    app.add_option("--set", CLI::callback_t(),
                   "Set a setting, or a group with comma-separated values")
        ->type_name("NAME=VALUE")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false)
        ->check(
            checked([&registry](std::string& text) { return assignmentProblem(text, registry); }))
        ->each([&options](const std::string& text) {
            const size_t equals = text.find('=');
            options.assignments.push_back({text.substr(0, equals), text.substr(equals + 1)});
        });
    CLI::Option* frames =
        app.add_option("--frames", options.frames,
                       "Batch mode: measure N frames per configuration, then exit")
            ->type_name("N")
            ->transform(count(1));
    CLI::Option* warmup =
        app.add_option("--warmup", options.warmup,
                       "Frames drawn but not measured before each configuration (default 3)")
            ->type_name("W")
            ->transform(count(0));
    CLI::Option* sweep =
        app.add_option("--sweep", CLI::callback_t(),
                       "Run every value FROM, FROM+STEP, ... up to TO; several sweeps multiply")
            ->type_name("NAME=FROM:TO:STEP")
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
            ->allow_extra_args(false)
            ->check(
                checked([&registry](std::string& text) { return sweepProblem(text, registry); }))
            ->each([&options](const std::string& text) {
                parseSweepRange(text, options.sweeps.emplace_back());
            });
    CLI::Option* csv =
        app.add_option("--csv", options.csvPath, "Write every measured frame to FILE")
            ->type_name("FILE")
            ->check(writable(probeFileTarget));
    CLI::Option* json =
        app.add_option("--json", options.jsonPath, "Write each configuration's statistics to FILE")
            ->type_name("FILE")
            ->check(writable(probeFileTarget));
    CLI::Option* report =
        app.add_flag("--report", options.report, "Print each configuration's statistics");
    app.add_option("--settings", options.settingsPath, "Load settings from FILE first")
        ->type_name("FILE")
        ->check(checked([](std::string& path) { return readableProblem(path); }));
    app.add_option("--capture", options.captureDirectory,
                   "Take one capture with the start settings, write its files into DIR and exit")
        ->type_name("DIR")
        ->check(writable(WholeDirectory::checkTarget))
        ->excludes(frames);
    app.add_option("--timeout", options.timeout,
                   "End a batch configuration or a capture that runs longer, with status 1 "
                   "(default " +
                       std::to_string(defaultTimeoutSeconds) + ")")
        ->type_name("SECONDS")
        ->transform(count(1));
    app.add_option("--repeat", options.repeat,
                   "With --capture: take N captures of the frame, write the first with how far "
                   "they agree")
        ->type_name("N")
        ->transform(count(1));
    app.add_flag("--headless", options.headless,
                 "Run --frames or --capture without a window (EGL), even where a display is set");
    app.add_option("--device", options.device,
                   "Run --frames or --capture on EGL device N (see --list-devices), no window")
        ->type_name("N")
        ->transform(count(0));
    app.add_flag("--list-devices", options.listDevices,
                 "Print the EGL devices, one a line, and exit");
    app.add_option("--compare", options.compare,
                   "Compare the captures in directories A and B, write A-vs-B.png and exit")
        ->type_name("A B")
        ->expected(2);
    app.set_version_flag("--version", app.get_name() + " " + versionString(),
                         "Print the version and exit");
    for (CLI::Option* batchOnly : {sweep, csv, json, warmup, report}) {
        batchOnly->needs(frames);
    }
    app.footer("Settings for --set and --sweep:\n" + registry.describe() +
               "GLUT's options (-display, -geometry, -iconic, -direct, -indirect, -gldebug, "
               "-sync)\ngo to GLUT. Without --frames or --capture the program runs interactively, "
               "in a\nwindow. --frames and --capture need no display: without DISPLAY, or with "
               "--headless\nor --device, they draw into an off-screen EGL context. Bad input "
               "exits with status 2.");
}

} // namespace

const char* versionString() { return GLINTMOTH_VERSION; }

CommandLineResult parseCommandLine(int& argc, char** argv, const SettingRegistry& registry) {
    CommandLineResult result;
    const std::string path = argc >= 1 && argv[0] && *argv[0] ? argv[0] : "glintmoth";
    const std::string program = path.substr(path.rfind('/') + 1);
    const auto exit = [](int status, std::string output, std::string error) {
        return CommandLineResult{
            CommandLineResult::Action::exit, status, std::move(output), std::move(error), {}};
    };
    const auto refuse = [&](const std::string& message) {
        return exit(usageErrorStatus, "", program + ": " + oneLine(message));
    };

    CLI::App app("The Tazzle Glintmoth: rasterisation and fragment scheduling probe.", program);
    RunOptions& options = result.options;
    defineOptions(app, registry, options);
    std::vector<std::string> ours;
    if (Problem problem = separateGlutOptions(argc, argv, app, ours)) {
        return refuse(*problem);
    }
    // CLI11 takes the arguments last first.
    std::reverse(ours.begin(), ours.end());
    try {
        app.parse(ours);
    } catch (const CLI::CallForHelp&) {
        return exit(0, app.help(), "");
    } catch (const CLI::CallForVersion& version) {
        return exit(0, std::string(version.what()) + "\n", "");
    } catch (const CLI::ValidationError& error) {
        // "OPTION: 'VALUE': problem" from checked() reads "OPTION 'VALUE': problem".
        std::string message = error.what();
        message.erase(std::min(message.find(": '"), message.size()), 1);
        return refuse(message);
    } catch (const CLI::RequiresError& error) {
        // "--csv requires --frames"
        const std::string message = error.what();
        return refuse(message.substr(0, message.find(' ')) + " needs --frames (batch mode)");
    } catch (const CLI::ExcludesError&) {
        return refuse("--capture takes one capture and does not combine with --frames");
    } catch (const CLI::ParseError& error) {
        return refuse(error.what());
    }
    if (!app.remaining().empty()) {
        const std::string extra = app.remaining().front();
        return refuse(
            (extra.size() > 1 && extra[0] == '-' ? "unknown option '" : "unexpected argument '") +
            extra + "' (see --help)");
    }
    // --compare reads two captures and nothing else (checked here rather than
    // with CLI11's excludes, which would list it under every option in --help).
    if (app.count("--compare") > 0) {
        for (const CLI::Option* option : app.get_options()) {
            if (option->get_name() != "--compare" && option->count() > 0) {
                return refuse("--compare reads two captures and takes no other option");
            }
        }
    }
    if (app.count("--timeout") > 0 && !options.unattended()) {
        return refuse("--timeout needs --frames or --capture");
    }
    if (app.count("--repeat") > 0 && options.captureDirectory.empty()) {
        return refuse("--repeat needs --capture");
    }
    if ((options.headless || options.device) && !options.unattended() && !options.listDevices) {
        return refuse(std::string(options.device ? "--device" : "--headless") +
                      " needs --frames or --capture: the interactive session runs in a window");
    }
    if (Problem problem = SweepPlan::check(options.sweeps)) {
        return refuse("--sweep: " + *problem);
    }
    if (!options.csvPath.empty() && sameFile(options.csvPath, options.jsonPath)) {
        return refuse("--csv and --json name the same file '" + options.csvPath + "'");
    }
    return result;
}

} // namespace Vellumar::measure
