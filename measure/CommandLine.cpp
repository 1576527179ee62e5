// CLI11 reads the options as text; the checks that follow are the tool's
// own, so that every refusal reads the same way and names what to fix.
// GLUT's options are taken out before CLI11 sees them: it would read
// "-display" as a cluster of one-letter options.
#include "CommandLine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

#include <CLI/CLI.hpp>

#include "AtomicFile.h"
#include "NumberText.h"

#ifndef GLINTMOTH_VERSION
#define GLINTMOTH_VERSION "0.1.0"
#endif

namespace Vellumar::measure {

namespace {

struct GlutOption {
    const char* name;
    bool takesValue;
};

// What freeglut's glutInit reads from the command line.
constexpr GlutOption glutOptions[] = {{"-display", true}, {"-geometry", true},  {"-iconic", false},
                                      {"-direct", false}, {"-indirect", false}, {"-gldebug", false},
                                      {"-sync", false}};

// The tool's options that take a value as the next argument.
constexpr const char* valueOptions[] = {"--set", "--frames", "--warmup",   "--sweep",
                                        "--csv", "--json",   "--settings", "--capture"};

const GlutOption* glutOption(const char* argument) {
    for (const GlutOption& option : glutOptions) {
        if (std::strcmp(argument, option.name) == 0) {
            return &option;
        }
    }
    return nullptr;
}

bool takesValue(const char* argument) {
    for (const char* option : valueOptions) {
        if (std::strcmp(argument, option) == 0) {
            return true;
        }
    }
    return false;
}

std::string programName(int argc, char** argv) {
    if (argc < 1 || !argv[0] || !*argv[0]) {
        return "glintmoth";
    }
    const char* slash = std::strrchr(argv[0], '/');
    return slash ? slash + 1 : argv[0];
}

// Splits argv: GLUT's options stay in argv (compacted, in order), the rest
// is returned for CLI11. A GLUT option that lacks its value is an error.
std::optional<std::string> separateGlutOptions(int& argc, char** argv,
                                               std::vector<std::string>& ours) {
    std::vector<char*> kept;
    std::optional<std::string> problem;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (const GlutOption* option = glutOption(argument)) {
            kept.push_back(argv[i]);
            if (option->takesValue) {
                if (i + 1 >= argc) {
                    problem = std::string(argument) + " needs a value";
                    break;
                }
                kept.push_back(argv[++i]);
            }
            continue;
        }
        ours.emplace_back(argument);
        // A value may look like anything, a GLUT option included.
        if (takesValue(argument) && i + 1 < argc) {
            ours.emplace_back(argv[++i]);
        }
    }
    if (argc >= 1) {
        for (size_t k = 0; k < kept.size(); ++k) {
            argv[k + 1] = kept[k];
        }
        argc = static_cast<int>(kept.size()) + 1;
        argv[argc] = nullptr;
    }
    return problem;
}

// A count option: a whole number in [minimum, maxFrames].
std::optional<std::string> parseCount(const char* option, const std::string& text, int32_t minimum,
                                      int32_t& count) {
    const std::optional<int64_t> number = parseWholeNumber(trimBlanks(text));
    const std::string shown = std::string(option) + " '" + text + "'";
    if (!number) {
        return shown + ": not a whole number";
    }
    if (*number < minimum) {
        return shown + ": must be at least " + std::to_string(minimum);
    }
    if (*number > maxFrames) {
        return shown + ": must be at most " + std::to_string(maxFrames);
    }
    count = static_cast<int32_t>(*number);
    return std::nullopt;
}

std::optional<std::string> checkSweep(const SweepRange& sweep, const std::string& text,
                                      const SettingRegistry& registry) {
    const std::string shown = "--sweep '" + text + "'";
    const Setting* setting = registry.find(sweep.name);
    if (!setting) {
        // Unknown, or a group: the registry says which.
        return shown + ": " +
               registry.checkValue(sweep.name, sweep.from).value_or("unknown setting");
    }
    // An integer takes any 32-bit value, and parseSweepRange kept both ends
    // in that range; booleans and enumerations are checked value by value
    // (the first bad one stops a long walk early).
    if (setting->kind != SettingKind::integer) {
        for (uint64_t k = 0; k < sweep.count(); ++k) {
            if (std::optional<std::string> problem =
                    registry.checkValue(sweep.name, sweep.valueAt(k))) {
                return shown + ": " + *problem;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> checkReadable(const char* option, const std::string& path) {
    const std::string shown = std::string(option) + " '" + path + "'";
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return shown + ": " + std::strerror(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return shown + ": is a directory";
    }
    if (access(path.c_str(), R_OK) != 0) {
        return shown + ": " + std::strerror(errno);
    }
    return std::nullopt;
}

// An existing writable directory, or a name whose directory is writable so
// that it can be created.
std::optional<std::string> checkCaptureDirectory(const std::string& path) {
    const std::string shown = "--capture '" + path + "'";
    struct stat info {};
    if (!path.empty() && stat(path.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode)) {
            return shown + ": is not a directory";
        }
        if (access(path.c_str(), W_OK | X_OK) != 0) {
            return shown + ": " + std::strerror(errno);
        }
        return std::nullopt;
    }
    std::string name = path;
    while (name.size() > 1 && name.back() == '/') {
        name.pop_back();
    }
    if (std::optional<std::string> problem = AtomicFile::problemWriting(name)) {
        return shown + ": " + *problem;
    }
    return std::nullopt;
}

std::string helpFooter(const SettingRegistry& registry) {
    std::string text = "Settings for --set and --sweep:\n";
    for (const Setting& setting : registry.all()) {
        text += "  " + SettingRegistry::describe(setting) + "\n";
    }
    const std::vector<std::string> groups = registry.groups();
    if (!groups.empty()) {
        text +=
            "Groups, set whole with comma-separated values (--set " + groups.front() + "=...):\n";
        for (const std::string& group : groups) {
            std::string members;
            for (const std::string& member : registry.members(group)) {
                members += (members.empty() ? "" : ",") + member;
            }
            text += "  " + group + " (" + members + ")\n";
        }
    }
    text += "GLUT's options (-display, -geometry, -iconic, -direct, -indirect, -gldebug, -sync)\n"
            "go to GLUT. Without --frames the program runs interactively. Bad input exits\n"
            "with status 2.";
    return text;
}

// CLI11's messages can span lines; the caller prints one.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

struct OptionTexts {
    std::vector<std::string> sets;
    std::vector<std::string> sweeps;
    std::string frames;
    std::string warmup;
    bool version = false;
};

// The checks after CLI11 has split the arguments; the first problem wins.
std::optional<std::string> readOptions(const CLI::App& app, const OptionTexts& texts,
                                       const SettingRegistry& registry, RunOptions& options) {
    for (const std::string& text : texts.sets) {
        const size_t equals = text.find('=');
        if (equals == std::string::npos || equals == 0) {
            return "--set '" + text + "': expected NAME=VALUE";
        }
        SettingAssignment assignment{text.substr(0, equals), text.substr(equals + 1)};
        if (std::optional<std::string> problem =
                registry.check(assignment.name, assignment.value)) {
            return "--set '" + text + "': " + *problem;
        }
        options.assignments.push_back(std::move(assignment));
    }
    if (app.count("--frames")) {
        int32_t frames = 0;
        if (std::optional<std::string> problem = parseCount("--frames", texts.frames, 1, frames)) {
            return problem;
        }
        options.frames = frames;
    }
    if (app.count("--warmup")) {
        if (std::optional<std::string> problem =
                parseCount("--warmup", texts.warmup, 0, options.warmup)) {
            return problem;
        }
    }
    for (const std::string& text : texts.sweeps) {
        SweepRange sweep;
        if (std::optional<std::string> problem = parseSweepRange(text, sweep)) {
            return "--sweep " + *problem;
        }
        if (std::optional<std::string> problem = checkSweep(sweep, text, registry)) {
            return problem;
        }
        options.sweeps.push_back(std::move(sweep));
    }
    if (std::optional<std::string> problem = SweepPlan::check(options.sweeps)) {
        return "--sweep: " + *problem;
    }
    const std::pair<const char*, const std::string*> files[] = {{"--csv", &options.csvPath},
                                                                {"--json", &options.jsonPath}};
    for (const auto& [option, path] : files) {
        if (app.count(option)) {
            if (std::optional<std::string> problem = AtomicFile::problemWriting(*path)) {
                return std::string(option) + " '" + *path + "': " + *problem;
            }
        }
    }
    if (!options.csvPath.empty() && AtomicFile::sameFile(options.csvPath, options.jsonPath)) {
        return "--csv and --json name the same file '" + options.csvPath + "'";
    }
    if (app.count("--settings")) {
        if (std::optional<std::string> problem =
                checkReadable("--settings", options.settingsPath)) {
            return problem;
        }
    }
    if (app.count("--capture")) {
        if (std::optional<std::string> problem = checkCaptureDirectory(options.captureDirectory)) {
            return problem;
        }
    }
    if (app.count("--capture") && options.batch()) {
        return std::string("--capture takes one capture and does not combine with --frames");
    }
    if (!options.batch()) {
        for (const char* option : {"--sweep", "--csv", "--json", "--warmup"}) {
            if (app.count(option)) {
                return std::string(option) + " needs --frames (batch mode)";
            }
        }
    }
    return std::nullopt;
}

} // namespace

const char* versionString() { return GLINTMOTH_VERSION; }

CommandLineResult parseCommandLine(int& argc, char** argv, const SettingRegistry& registry) {
    CommandLineResult result;
    const std::string program = programName(argc, argv);
    const auto fail = [&result, &program](const std::string& message) {
        result.action = CommandLineResult::Action::exit;
        result.exitStatus = usageErrorStatus;
        result.error = program + ": " + oneLine(message);
        return result;
    };

    std::vector<std::string> ours;
    if (std::optional<std::string> problem = separateGlutOptions(argc, argv, ours)) {
        return fail(*problem);
    }

    RunOptions& options = result.options;
    OptionTexts texts;
    CLI::App app("The Tazzle Glintmoth: rasterisation and fragment scheduling probe.", program);
    app.allow_extras();
    app.add_option("--set", texts.sets, "Set a setting, or a group with comma-separated values")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    app.add_option("--frames", texts.frames,
                   "Batch mode: measure N frames per configuration, then exit")
        ->type_name("N");
    app.add_option("--warmup", texts.warmup,
                   "Frames drawn but not measured before each configuration (default 3)")
        ->type_name("W");
    app.add_option("--sweep", texts.sweeps,
                   "Run every value FROM, FROM+STEP, ... up to TO; several sweeps multiply")
        ->type_name("NAME=FROM:TO:STEP")
        ->allow_extra_args(false);
    app.add_option("--csv", options.csvPath, "Write every measured frame to FILE")
        ->type_name("FILE");
    app.add_option("--json", options.jsonPath, "Write each configuration's statistics to FILE")
        ->type_name("FILE");
    app.add_flag("--report", options.report, "Print each configuration's statistics");
    app.add_option("--settings", options.settingsPath, "Load settings from FILE first")
        ->type_name("FILE");
    app.add_option("--capture", options.captureDirectory,
                   "Take one capture with the start settings, write its files into DIR and exit")
        ->type_name("DIR");
    app.add_flag("--version", texts.version, "Print the version and exit");
    app.footer(helpFooter(registry));

    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(ours.rbegin(), ours.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        result.action = CommandLineResult::Action::exit;
        result.exitStatus = 0;
        result.output = app.help();
        return result;
    } catch (const CLI::ParseError& error) {
        return fail(error.what());
    }
    if (!app.remaining().empty()) {
        const std::string extra = app.remaining().front();
        return fail(
            (extra.size() > 1 && extra[0] == '-' ? "unknown option '" : "unexpected argument '") +
            extra + "' (see --help)");
    }
    if (texts.version) {
        result.action = CommandLineResult::Action::exit;
        result.exitStatus = 0;
        result.output = program + " " + versionString() + "\n";
        return result;
    }
    if (std::optional<std::string> problem = readOptions(app, texts, registry, options)) {
        return fail(*problem);
    }
    return result;
}

} // namespace Vellumar::measure
