// Tests of reading shader files: line ends, the cut at a NUL, files larger
// than the reserve and the read block, what is no regular file or too large,
// and a missing file's report.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "CapturedSink.h"
#include "Shader.h"
#include "ShaderText.h"
#include "TempShaderDir.h"

namespace {

using testsupport::CapturedSink;
using testsupport::TempShaderDir;
using Vellumar::Shader;

using namespace std::string_literals;

TEST(LoadSource, EveryLineEndsInOneLineFeedWithOrWithoutAFinalBreak) {
    TempShaderDir dir;
    EXPECT_EQ(Shader::loadSource(dir.write("ended.glsl", "first\nsecond\n").c_str()),
              "first\nsecond\n");
    EXPECT_EQ(Shader::loadSource(dir.write("open.glsl", "first\nsecond").c_str()),
              "first\nsecond\n");
    EXPECT_EQ(Shader::loadSource(dir.write("blank.glsl", "\n\nx").c_str()), "\n\nx\n");
    EXPECT_EQ(Shader::loadSource(dir.write("empty.glsl", "").c_str()), "");
}

TEST(LoadSource, IsCutBeforeTheFirstNul) {
    TempShaderDir dir;
    EXPECT_EQ(Shader::loadSource(dir.write("nul.glsl", "ab\0cd\nef\n"s).c_str()), "ab");
    EXPECT_EQ(Shader::loadSource(dir.write("nul2.glsl", "line\n\0\n"s).c_str()), "line\n");
}

TEST(LoadSource, ReadsFilesLargerThanItsReserveAndItsReadBlock) {
    TempShaderDir dir;
    std::string big;
    for (int i = 0; big.size() < (1u << 20) + 70000; ++i) {
        big += "line " + std::to_string(i) + "\n";
    }
    big += "last without break";
    EXPECT_EQ(Shader::loadSource(dir.write("big.glsl", big).c_str()), big + "\n");
}

TEST(LoadSource, AMissingFileIsReportedAndReadsAsEmptyText) {
    CapturedSink sink; // empty input: the pause returns at once
    EXPECT_EQ(Shader::loadSource("/nonexistent/dir/x.glsl"), "");
    EXPECT_EQ(sink.text(), "CRITICAL ERROR: Shader::loadSource: unable to open file: "
                           "/nonexistent/dir/x.glsl\n");
}

TEST(LoadSource, OnlyARegularFileOfBoundedSizeIsRead) {
    TempShaderDir dir;
    const std::string fifo = dir.path() + "fifo.glsl";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    CapturedSink sink;
    // Neither waits for a writer nor reads without end.
    EXPECT_EQ(Shader::loadSource(fifo.c_str()), "");
    EXPECT_EQ(Shader::loadSource("/dev/urandom"), "");
    EXPECT_EQ(Shader::loadSource(dir.path().c_str()), "");
    const std::string huge =
        dir.write("huge.glsl", std::string(Vellumar::maxIncludedBytes + 1, '\n'));
    EXPECT_EQ(Shader::loadSource(huge.c_str()), "");
    EXPECT_EQ(sink.text(), "CRITICAL ERROR: Shader::loadSource: " + fifo +
                               ": is not a regular file\n"
                               "CRITICAL ERROR: Shader::loadSource: /dev/urandom: is not a "
                               "regular file\n"
                               "CRITICAL ERROR: Shader::loadSource: " +
                               dir.path() +
                               ": is a directory\nCRITICAL ERROR: Shader::loadSource: " + huge +
                               ": larger than 16 MiB\n");
}

TEST(LoadSource, TheMissingFileReportPausesForOneNumber) {
    CapturedSink sink("4 5\n");
    Shader::loadSource("/nonexistent/y.glsl");
    int next = 0;
    sink.input() >> next;
    EXPECT_EQ(next, 5);
}

} // namespace
