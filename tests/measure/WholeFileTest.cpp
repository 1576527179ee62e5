// The one writer: a file appears whole at commit or not at all, only where
// it replaces a plain file; two spellings of one file are one file; what a
// killed run left behind is removed by the next write, and nothing else.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "MeasureTestSupport.h"
#include "WholeDirectory.h"
#include "WholeFile.h"

using testsupport::readFile;
using testsupport::ScratchDirectory;
using testsupport::writeFile;
using Vellumar::measure::WholeDirectory;
using Vellumar::measure::WholeFile;
using Vellumar::measure::WriteError;

namespace {

std::string problemWriting(const std::string& path) {
    try {
        Vellumar::measure::writeWholeFile(path, "text");
        return "written";
    } catch (const WriteError& error) {
        return error.what();
    }
}

// Runs `work`, which ends with _exit(0) and so cleans nothing up, in a child
// process, as a run that is killed; returns the child's process id, of a
// process that no longer runs.
template <typename Work>
pid_t killedRun(Work work) {
    const pid_t child = fork();
    if (child == 0) {
        work();
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return child;
}

TEST(WholeFile, TextAppearsOnlyAtCommitAndAnUncommittedOneLeavesTheOldFile) {
    ScratchDirectory scratch;
    writeFile(scratch.file("out.txt"), "old");
    {
        WholeFile file(scratch.file("out.txt"));
        file.write("new but never committed");
        EXPECT_EQ(scratch.listing().rfind(".glintmoth-", 0), 0u) << scratch.listing();
    }
    EXPECT_EQ(scratch.listing(), "out.txt");
    EXPECT_EQ(readFile(scratch.file("out.txt")), "old");
    WholeFile file(scratch.file("out.txt"));
    file.write("half");
    file.write(" and whole\n");
    file.commit();
    EXPECT_EQ(scratch.listing(), "out.txt");
    EXPECT_EQ(readFile(scratch.file("out.txt")), "half and whole\n");
}

TEST(WholeFile, UnwritablePlacesAndWhatIsNoPlainFileAreRefused) {
    ScratchDirectory scratch;
    writeFile(scratch.file("mine"), "keep me");
    ASSERT_EQ(mkdir(scratch.file("folder").c_str(), 0700), 0);
    ASSERT_EQ(symlink("mine", scratch.file("link").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", scratch.file("dangling").c_str()), 0);
    ASSERT_EQ(mkfifo(scratch.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(problemWriting(""), "empty file name");
    EXPECT_EQ(problemWriting(scratch.file("gone/out.csv")),
              scratch.file("gone") + ": No such file or directory");
    EXPECT_EQ(problemWriting(scratch.file("mine/out.csv")),
              scratch.file("mine") + ": is not a directory");
    EXPECT_EQ(problemWriting(scratch.file("folder")), scratch.file("folder") + ": is a directory");
    EXPECT_EQ(problemWriting(scratch.file("link")), scratch.file("link") + ": is a symbolic link");
    EXPECT_EQ(problemWriting(scratch.file("dangling")),
              scratch.file("dangling") + ": is a symbolic link");
    EXPECT_EQ(problemWriting(scratch.file("fifo")),
              scratch.file("fifo") + ": is not a regular file");

    // What the name turns into during the writing counts at the commit.
    WholeFile late(scratch.file("late"));
    late.write("text");
    ASSERT_EQ(symlink("mine", scratch.file("late").c_str()), 0);
    EXPECT_THROW(late.commit(), WriteError);
    WholeFile later(scratch.file("later"));
    ASSERT_EQ(mkdir(scratch.file("later").c_str(), 0700), 0);
    EXPECT_THROW(later.commit(), WriteError);

    EXPECT_EQ(readFile(scratch.file("mine")), "keep me");
    struct stat info {};
    ASSERT_EQ(lstat(scratch.file("fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(problemWriting(scratch.file("mine")), "written"); // a plain file is replaced
}

TEST(WholeFile, ReadOnlyDirectoryIsRefusedWhenPermissionsApply) {
    ScratchDirectory scratch;
    const std::string locked = scratch.file("locked");
    ASSERT_EQ(mkdir(locked.c_str(), 0500), 0);
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into a read-only directory";
    }
    EXPECT_EQ(problemWriting(locked + "/out.csv"), locked + ": Permission denied");
    EXPECT_TRUE(std::filesystem::is_empty(locked));
}

TEST(WholeFile, SameFileComparesFilesNotSpellings) {
    ScratchDirectory scratch;
    ASSERT_EQ(mkdir(scratch.file("o").c_str(), 0700), 0);
    const std::string plain = scratch.file("o/x.out");
    const std::string twisted = scratch.path() + "/./o/../o/x.out";
    EXPECT_TRUE(Vellumar::measure::sameFile(plain, twisted));
    EXPECT_FALSE(Vellumar::measure::sameFile(plain, scratch.file("x.out")));
    writeFile(plain, "x");
    EXPECT_TRUE(Vellumar::measure::sameFile(twisted, plain));
    ASSERT_EQ(link(plain.c_str(), scratch.file("hard").c_str()), 0);
    EXPECT_TRUE(Vellumar::measure::sameFile(scratch.file("hard"), plain));
    EXPECT_FALSE(Vellumar::measure::sameFile(scratch.file("o/y.out"), plain));
}

TEST(WholeFile, AKilledRunsLeftoversGoWithTheNextWriteAndNothingElseDoes) {
    namespace fs = std::filesystem;
    ScratchDirectory scratch;
    killedRun([&] {
        WholeDirectory capture(scratch.file("capture"), "capture");
        capture.writeFile("replay/010.png", "half");
        _exit(0);
    });
    const pid_t dead = killedRun([&] {
        WholeFile results(scratch.file("results.json"));
        results.write("half");
        _exit(0);
    });
    // Not leftovers: a name of ours that holds what no marker names, one of
    // a process that runs, and a name that is not ours.
    const std::string foreign = scratch.file(".glintmoth-" + std::to_string(dead) + "-99.tmp");
    ASSERT_EQ(mkdir(foreign.c_str(), 0700), 0);
    writeFile(foreign + "/notes.txt", "mine");
    const std::string running = scratch.file(".glintmoth-" + std::to_string(getppid()) + "-0.tmp");
    writeFile(running, "in use");
    writeFile(scratch.file("other.tmp"), "not ours");
    const auto entries = [&] {
        return std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator());
    };
    ASSERT_EQ(entries(), 5) << scratch.listing();

    // A file's write removes leftover files; a directory's write looks into
    // leftover directories too.
    Vellumar::measure::writeWholeFile(scratch.file("results.json"), "whole");
    EXPECT_EQ(entries(), 5) << scratch.listing();
    WholeDirectory(scratch.file("capture"), "capture").commit();
    EXPECT_EQ(entries(), 5) << scratch.listing();
    for (const std::string& kept : {foreign + "/notes.txt", running, scratch.file("other.tmp"),
                                    scratch.file("results.json"), scratch.file("capture")}) {
        EXPECT_TRUE(fs::exists(kept)) << kept;
    }
}

} // namespace
