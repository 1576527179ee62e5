#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "MeasureTestSupport.h"

using Vellumar::measure::CommandLineResult;
using Vellumar::measure::parseCommandLine;
using Vellumar::measure::RunOptions;

namespace {

// An argv the way main gets it: writable, null-terminated; after parsing it
// holds what glutInit would see.
class CommandLine {
public:
    explicit CommandLine(std::vector<std::string> arguments) : storage(std::move(arguments)) {
        storage.insert(storage.begin(), "/usr/local/bin/glintmoth");
        for (std::string& argument : storage) {
            pointers.push_back(argument.data());
        }
        pointers.push_back(nullptr);
        argc = static_cast<int>(storage.size());
    }

    CommandLineResult parse(const Vellumar::measure::SettingRegistry& registry) {
        return parseCommandLine(argc, pointers.data(), registry);
    }

    std::vector<std::string> left() const {
        std::vector<std::string> kept;
        for (int i = 0; i < argc; ++i) {
            kept.emplace_back(pointers[static_cast<size_t>(i)]);
        }
        EXPECT_EQ(pointers[static_cast<size_t>(argc)], nullptr);
        return kept;
    }

    int argc;

private:
    std::vector<std::string> storage;
    std::vector<char*> pointers;
};

class CommandLineTest : public ::testing::Test {
protected:
    CommandLineResult parse(std::vector<std::string> arguments) {
        CommandLine line(std::move(arguments));
        return line.parse(sample.registry);
    }

    // The error line of a refused command line, checking the exit status.
    std::string refusal(std::vector<std::string> arguments) {
        const CommandLineResult result = parse(std::move(arguments));
        EXPECT_EQ(result.action, CommandLineResult::Action::exit);
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_EQ(result.error.find('\n'), std::string::npos);
        EXPECT_TRUE(result.output.empty());
        return result.error;
    }

    testsupport::SampleSettings sample;
    testsupport::ScratchDirectory scratch;
};

TEST_F(CommandLineTest, NoOptionsRunsInteractivelyAsAlways) {
    CommandLine line({});
    const CommandLineResult result = line.parse(sample.registry);
    EXPECT_EQ(result.action, CommandLineResult::Action::run);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_TRUE(result.error.empty());
    const RunOptions& options = result.options;
    EXPECT_FALSE(options.batch());
    EXPECT_TRUE(options.assignments.empty());
    EXPECT_TRUE(options.sweeps.empty());
    EXPECT_EQ(options.warmup, 3);
    EXPECT_FALSE(options.report);
    EXPECT_TRUE(options.csvPath.empty() && options.jsonPath.empty());
    EXPECT_TRUE(options.settingsPath.empty() && options.captureDirectory.empty());
    EXPECT_EQ(line.left(), (std::vector<std::string>{"/usr/local/bin/glintmoth"}));
    EXPECT_EQ(sample.loopsCount.x, 0); // parsing applies nothing
}

TEST_F(CommandLineTest, GlutOptionsStayForGlutInitInTheirOrder) {
    CommandLine line({"-display", ":7", "--frames", "5", "-geometry", "640x480+10+10", "-iconic",
                      "--report", "-direct", "-indirect", "-gldebug", "-sync"});
    const CommandLineResult result = line.parse(sample.registry);
    ASSERT_EQ(result.action, CommandLineResult::Action::run) << result.error;
    EXPECT_EQ(result.options.frames, 5);
    EXPECT_TRUE(result.options.report);
    EXPECT_EQ(line.left(), (std::vector<std::string>{"/usr/local/bin/glintmoth", "-display", ":7",
                                                     "-geometry", "640x480+10+10", "-iconic",
                                                     "-direct", "-indirect", "-gldebug", "-sync"}));
}

TEST_F(CommandLineTest, AValueThatLooksLikeAGlutOptionStaysAValue) {
    // Relative names: the files would go to the working directory.
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(scratch.path());
    CommandLine line({"--csv", "-sync", "--json", "-display", "--frames", "1"});
    const CommandLineResult result = line.parse(sample.registry);
    std::filesystem::current_path(previous);
    ASSERT_EQ(result.action, CommandLineResult::Action::run) << result.error;
    EXPECT_EQ(result.options.csvPath, "-sync");
    EXPECT_EQ(result.options.jsonPath, "-display");
    EXPECT_EQ(line.argc, 1);
}

TEST_F(CommandLineTest, EveryOptionReadsIntoRunOptions) {
    const std::string settings = scratch.file("saved.json");
    testsupport::writeFile(settings, "{}");
    const CommandLineResult result =
        parse({"--set", "loopsCount=2000,20", "--set=fastMode=false", "--frames", "30", "--warmup",
               "0", "--sweep", "curPrim=0:1:1", "--sweep", "numShaderRegs=40:10:-15", "--csv",
               scratch.file("frames.csv"), "--json", scratch.file("summary.json"), "--settings",
               settings});
    ASSERT_EQ(result.action, CommandLineResult::Action::run) << result.error;
    const RunOptions& options = result.options;
    ASSERT_EQ(options.assignments.size(), 2u);
    EXPECT_EQ(options.assignments[0].name, "loopsCount");
    EXPECT_EQ(options.assignments[0].value, "2000,20");
    EXPECT_EQ(options.assignments[1].name, "fastMode");
    EXPECT_EQ(options.assignments[1].value, "false");
    EXPECT_TRUE(options.batch());
    EXPECT_EQ(options.frames, 30);
    EXPECT_EQ(options.warmup, 0);
    ASSERT_EQ(options.sweeps.size(), 2u);
    EXPECT_EQ(options.sweeps[0].name, "curPrim");
    EXPECT_EQ(options.sweeps[1].name, "numShaderRegs");
    EXPECT_EQ(options.sweeps[1].step, -15);
    EXPECT_EQ(options.csvPath, scratch.file("frames.csv"));
    EXPECT_EQ(options.jsonPath, scratch.file("summary.json"));
    EXPECT_EQ(options.settingsPath, settings);
    // Checking a file's place writes nothing there.
    EXPECT_EQ(scratch.listing(), "saved.json");
}

TEST_F(CommandLineTest, HelpListsOptionsAndSettingsAndExitsZero) {
    const CommandLineResult result = parse({"--help"});
    EXPECT_EQ(result.action, CommandLineResult::Action::exit);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_TRUE(result.error.empty());
    for (const char* text :
         {"--set", "--frames", "--warmup", "--sweep", "--csv", "--json", "--report", "--settings",
          "--capture", "--version", "curPrim: one of 0, 1, 4, 7", "freezePoints[1].SizeY: integer",
          "fastMode: 0 or 1 (false or true)", "loopsCount (x,y)",
          "freezePoints[1] (PosX,PosY,SizeX,SizeY)", "-geometry"}) {
        EXPECT_NE(result.output.find(text), std::string::npos) << text;
    }
}

TEST_F(CommandLineTest, VersionPrintsTheBuildVersion) {
    const CommandLineResult result = parse({"--version"});
    EXPECT_EQ(result.action, CommandLineResult::Action::exit);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, std::string("glintmoth ") + Vellumar::measure::versionString() + "\n");
    EXPECT_STREQ(Vellumar::measure::versionString(), "0.1.0");
}

TEST_F(CommandLineTest, BadSettingsNameTheCulprit) {
    EXPECT_EQ(refusal({"--set", "loopCount.x=5"}),
              "glintmoth: --set 'loopCount.x=5': unknown setting 'loopCount.x'");
    EXPECT_EQ(refusal({"--set", "loopsCount.x=5k"}),
              "glintmoth: --set 'loopsCount.x=5k': loopsCount.x: '5k' is not a whole number");
    EXPECT_EQ(refusal({"--set", "loopsCount.x=4294967296"}),
              "glintmoth: --set 'loopsCount.x=4294967296': loopsCount.x: 4294967296 is outside the "
              "32-bit range");
    EXPECT_EQ(refusal({"--set", "curPrim=3"}),
              "glintmoth: --set 'curPrim=3': curPrim: 3 is not one of 0, 1, 4, 7");
    EXPECT_EQ(refusal({"--set", "loopsCount=1"}),
              "glintmoth: --set 'loopsCount=1': loopsCount takes 2 values (x,y), got 1");
    EXPECT_EQ(refusal({"--set", "fastMode"}), "glintmoth: --set 'fastMode': expected NAME=VALUE");
    EXPECT_EQ(refusal({"--set"}), "glintmoth: --set: 1 required NAME=VALUE missing");
    EXPECT_EQ(refusal({"--set", "curTest=1", "curPrim=1"}),
              "glintmoth: unexpected argument 'curPrim=1' (see --help)");
}

TEST_F(CommandLineTest, FrameAndWarmupCounts) {
    EXPECT_EQ(refusal({"--frames", "0"}), "glintmoth: --frames '0': must be at least 1");
    EXPECT_EQ(refusal({"--frames", "-3"}), "glintmoth: --frames '-3': must be at least 1");
    EXPECT_EQ(refusal({"--frames", "ten"}), "glintmoth: --frames 'ten': not a whole number");
    EXPECT_EQ(refusal({"--frames", "1000001"}),
              "glintmoth: --frames '1000001': must be at most 1000000");
    EXPECT_EQ(refusal({"--frames", "99999999999999999999"}),
              "glintmoth: --frames '99999999999999999999': must be at most 1000000");
    EXPECT_EQ(refusal({"--frames", "1", "--warmup", "-1"}),
              "glintmoth: --warmup '-1': must be at least 0");
    EXPECT_EQ(refusal({"--frames"}), "glintmoth: --frames: 1 required N missing");
    EXPECT_EQ(parse({"--frames", "1"}).options.frames, 1);
    EXPECT_EQ(parse({"--frames", "1000000", "--warmup", "7"}).options.warmup, 7);
    // Decimal, whatever it looks like, and blanks around it do no harm.
    const RunOptions decimal = parse({"--frames", "010", "--warmup", " +7 "}).options;
    EXPECT_EQ(decimal.frames, 10);
    EXPECT_EQ(decimal.warmup, 7);
}

TEST_F(CommandLineTest, BadSweeps) {
    EXPECT_EQ(refusal({"--frames", "1", "--sweep", "loopsCount.x=0:10:0"}),
              "glintmoth: --sweep 'loopsCount.x=0:10:0': STEP 0 never reaches TO");
    EXPECT_EQ(refusal({"--frames", "1", "--sweep", "loopsCount.x=10:0:1"}),
              "glintmoth: --sweep 'loopsCount.x=10:0:1': STEP 1 walks away from TO (FROM > TO "
              "needs STEP < 0)");
    EXPECT_EQ(refusal({"--frames", "1", "--sweep", "loopsCount.x=0:10:-1"}),
              "glintmoth: --sweep 'loopsCount.x=0:10:-1': STEP -1 walks away from TO (FROM < TO "
              "needs STEP > 0)");
    EXPECT_EQ(refusal({"--frames", "1", "--sweep", "nothing=0:10:1"}),
              "glintmoth: --sweep 'nothing=0:10:1': unknown setting 'nothing'");
    EXPECT_EQ(refusal({"--frames", "1", "--sweep", "loopsCount=0:10:1"}),
              "glintmoth: --sweep 'loopsCount=0:10:1': 'loopsCount' is a group; name one of its "
              "members");
    EXPECT_EQ(refusal({"--frames", "1", "--sweep", "curPrim=0:7:1"}),
              "glintmoth: --sweep 'curPrim=0:7:1': curPrim: 2 is not one of 0, 1, 4, 7");
    EXPECT_EQ(refusal({"--frames", "1", "--sweep", "fastMode=0:2:1"}),
              "glintmoth: --sweep 'fastMode=0:2:1': fastMode: 2 is not 0, 1, true or false");
    EXPECT_EQ(refusal({"--frames", "1", "--sweep", "loopsCount.x=1:2000:1", "--sweep",
                       "loopsCount.y=1:2000:1"}),
              "glintmoth: --sweep: the sweeps make more than 1000000 configurations");
    EXPECT_EQ(refusal({"--frames", "1", "--sweep", "curTest=0:1:1", "--sweep", "curTest=1:0:-1"}),
              "glintmoth: --sweep: 'curTest' is swept twice");
    const CommandLineResult single = parse({"--frames", "1", "--sweep", "curPrim=4:4:1"});
    ASSERT_EQ(single.action, CommandLineResult::Action::run) << single.error;
    EXPECT_EQ(single.options.sweeps[0].count(), 1u);
}

TEST_F(CommandLineTest, OutputFilesMustBeWritable) {
    EXPECT_EQ(refusal({"--frames", "1", "--csv", scratch.path()}),
              "glintmoth: --csv '" + scratch.path() + "': " + scratch.path() + ": is a directory");
    const std::string missing = scratch.file("no/such/dir/out.json");
    EXPECT_EQ(refusal({"--frames", "1", "--json", missing}),
              "glintmoth: --json '" + missing + "': " + scratch.file("no/such/dir") +
                  ": No such file or directory");
    testsupport::writeFile(scratch.file("plain"), "x");
    EXPECT_EQ(refusal({"--frames", "1", "--csv", scratch.file("plain/out.csv")}),
              "glintmoth: --csv '" + scratch.file("plain/out.csv") + "': " + scratch.file("plain") +
                  ": is not a directory");
    EXPECT_EQ(refusal({"--frames", "1", "--csv", scratch.file("a"), "--json", scratch.file("a")}),
              "glintmoth: --csv and --json name the same file '" + scratch.file("a") + "'");
    EXPECT_EQ(refusal({"--frames", "1", "--csv", ""}), "glintmoth: --csv '': empty file name");
    // What only creating a file shows is refused before anything is measured.
    const std::string longName = scratch.file(std::string(300, 'n') + ".csv");
    EXPECT_EQ(refusal({"--frames", "1", "--csv", longName}),
              "glintmoth: --csv '" + longName + "': " + longName + ": File name too long");
    EXPECT_EQ(refusal({"--frames", "1", "--json", "/proc/x.json"})
                  .rfind("glintmoth: --json '/proc/x.json': /proc/x.json: ", 0),
              0u);
    EXPECT_EQ(scratch.listing(), "plain");
    // An empty value after '=' would take the next argument for the value.
    EXPECT_EQ(refusal({"--frames", "1", "--csv=", "--report"}), "glintmoth: --csv needs a value");
}

TEST_F(CommandLineTest, UnwritableDirectoryIsRefusedWhenPermissionsApply) {
    const std::string locked = scratch.file("locked");
    ASSERT_EQ(mkdir(locked.c_str(), 0500), 0);
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into a read-only directory";
    }
    EXPECT_EQ(refusal({"--frames", "1", "--csv", locked + "/out.csv"}),
              "glintmoth: --csv '" + locked + "/out.csv': " + locked + ": Permission denied");
}

TEST_F(CommandLineTest, SettingsFileAndCaptureDirectory) {
    EXPECT_EQ(refusal({"--settings", scratch.file("none.json")}),
              "glintmoth: --settings '" + scratch.file("none.json") +
                  "': No such file or directory");
    EXPECT_EQ(refusal({"--settings", scratch.path()}),
              "glintmoth: --settings '" + scratch.path() + "': is a directory");
    ASSERT_EQ(mkfifo(scratch.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(refusal({"--settings", scratch.file("fifo")}),
              "glintmoth: --settings '" + scratch.file("fifo") + "': is not a regular file");
    testsupport::writeFile(scratch.file("file"), "x");
    EXPECT_EQ(refusal({"--capture", scratch.file("file")}),
              "glintmoth: --capture '" + scratch.file("file") + "': " + scratch.file("file") +
                  ": is not a directory");
    EXPECT_EQ(refusal({"--capture", scratch.file("a/b")}),
              "glintmoth: --capture '" + scratch.file("a/b") + "': " + scratch.file("a") +
                  ": No such file or directory");
    EXPECT_EQ(parse({"--capture", scratch.path()}).action, CommandLineResult::Action::run);
    EXPECT_EQ(parse({"--capture", scratch.file("new/")}).action, CommandLineResult::Action::run);
    EXPECT_EQ(refusal({"--capture", scratch.path(), "--frames", "2"}),
              "glintmoth: --capture takes one capture and does not combine with --frames");
    EXPECT_EQ(parse({"--capture", scratch.file("c"), "--repeat", "3"}).options.repeat, 3);
    EXPECT_EQ(refusal({"--repeat", "3"}), "glintmoth: --repeat needs --capture");
    EXPECT_EQ(refusal({"--capture", scratch.file("c"), "--repeat", "0"}),
              "glintmoth: --repeat '0': must be at least 1");
}

TEST_F(CommandLineTest, BatchOptionsNeedFrames) {
    EXPECT_EQ(refusal({"--sweep", "curTest=0:1:1"}),
              "glintmoth: --sweep needs --frames (batch mode)");
    EXPECT_EQ(refusal({"--csv", scratch.file("f.csv")}),
              "glintmoth: --csv needs --frames (batch mode)");
    EXPECT_EQ(refusal({"--json", scratch.file("f.json")}),
              "glintmoth: --json needs --frames (batch mode)");
    EXPECT_EQ(refusal({"--warmup", "2"}), "glintmoth: --warmup needs --frames (batch mode)");
    EXPECT_EQ(refusal({"--report"}), "glintmoth: --report needs --frames (batch mode)");
    EXPECT_EQ(refusal({"--timeout", "5"}), "glintmoth: --timeout needs --frames or --capture");
    // Settings alone keep the program interactive.
    const CommandLineResult interactive = parse({"--set", "curTest=1"});
    EXPECT_EQ(interactive.action, CommandLineResult::Action::run);
    EXPECT_FALSE(interactive.options.batch());
}

TEST_F(CommandLineTest, NoWindowOptionsNeedARunWithoutOne) {
    EXPECT_EQ(refusal({"--headless"}), "glintmoth: --headless needs --frames or --capture: the "
                                       "interactive session runs in a window");
    EXPECT_EQ(refusal({"--device", "0", "--headless"}),
              "glintmoth: --device needs --frames or --capture: the interactive session runs "
              "in a window");
    EXPECT_EQ(refusal({"--frames", "1", "--device", "-1"}),
              "glintmoth: --device '-1': must be at least 0");
    const CommandLineResult batch = parse({"--frames", "1", "--device", "1"});
    ASSERT_EQ(batch.action, CommandLineResult::Action::run) << batch.error;
    EXPECT_EQ(batch.options.device, 1);
    EXPECT_TRUE(parse({"--list-devices"}).options.listDevices);
}

TEST_F(CommandLineTest, UnknownOptionsAndBrokenGlutOptions) {
    EXPECT_EQ(refusal({"--fraems", "3"}), "glintmoth: unknown option '--fraems' (see --help)");
    EXPECT_EQ(refusal({"-x"}), "glintmoth: unknown option '-x' (see --help)");
    EXPECT_EQ(refusal({"-displays"}), "glintmoth: unknown option '-displays' (see --help)");
    EXPECT_EQ(refusal({"stray"}), "glintmoth: unexpected argument 'stray' (see --help)");
    EXPECT_EQ(refusal({"--frames", "2", "-display"}), "glintmoth: -display needs a value");
    EXPECT_EQ(refusal({"-geometry"}), "glintmoth: -geometry needs a value");
    EXPECT_EQ(refusal({"--frames", "2", "--frames", "3"}).find("glintmoth: --frames"), 0u);
}

TEST(CommandLineEdges, NoArgumentsAtAllAndAnEmptyProgramName) {
    testsupport::SampleSettings sample;
    char* nothing[] = {nullptr};
    int argc = 0;
    EXPECT_EQ(parseCommandLine(argc, nothing, sample.registry).action,
              CommandLineResult::Action::run);
    EXPECT_EQ(argc, 0);
    char empty[] = "";
    char bad[] = "--bogus";
    char* unnamed[] = {empty, bad, nullptr};
    argc = 2;
    EXPECT_EQ(parseCommandLine(argc, unnamed, sample.registry).error,
              "glintmoth: unknown option '--bogus' (see --help)");
}

} // namespace
