// Tests of include expansion on files in a temporary directory: replacement,
// the commented-out form, name resolution, malformed directives, missing
// files, the directory includes stay in, and the depth and file limits that
// end cycles.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "CapturedSink.h"
#include "ShaderText.h"
#include "TempShaderDir.h"

namespace {

using testsupport::CapturedSink;
using testsupport::TempShaderDir;
using Vellumar::expandIncludes;

class ExpandIncludes : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("a.glsl", "A1\nA2\n");
        dir.write("b.glsl", "B\n");
    }
    std::string expand(const std::string& text) { return expandIncludes(text, base()); }
    std::string base() const { return dir.path() + "main.glsl"; }

    TempShaderDir dir;
    CapturedSink sink;
};

int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST_F(ExpandIncludes, ReplacesTheDirectiveAndKeepsWhatSurroundsIt) {
    // At position 0, and with a trailing comment after the closing quote.
    EXPECT_EQ(expand("#include \"a.glsl\"\nmain\n"), "A1\nA2\nmain\n");
    EXPECT_EQ(expand("x\n  #include \"b.glsl\" // lib\ny\n"), "x\n  B // lib\ny\n");
    EXPECT_EQ(expand("#include \"a.glsl\"#include \"b.glsl\""), "A1\nA2B");
    EXPECT_EQ(sink.text(), "");
}

TEST_F(ExpandIncludes, OnlyTheExactDoubleSlashFormIsCommentedOut) {
    EXPECT_EQ(expand("//#include \"a.glsl\"\n"), "//#include \"a.glsl\"\n");
    // A blank after the comment opener: the first included line lands
    // behind it, the others do not.
    EXPECT_EQ(expand("// #include \"a.glsl\"\n"), "// A1\nA2\n");
    // Inside a block comment, and inside a longer word: a plain search.
    EXPECT_EQ(expand("/* #include \"b.glsl\" */"), "/* B */");
    EXPECT_EQ(expand("my#include\"b.glsl\"s"), "myBs");
}

TEST_F(ExpandIncludes, NamesAtEveryDepthResolveAgainstTheTopLevelDirectory) {
    dir.write("sub/nested.glsl", "N\n#include \"b.glsl\"\n");
    dir.write("sub/b.glsl", "WRONG B FROM sub/\n");
    EXPECT_EQ(expand("#include \"sub/nested.glsl\"\n"), "N\nB\n");
    // The base path's file name does not matter, only its directory.
    EXPECT_EQ(expandIncludes("#include \"b.glsl\"", dir.path()), "B");
    EXPECT_EQ(sink.text(), "");
}

TEST_F(ExpandIncludes, IncludesStayInsideTheShaderDirectory) {
    // The directory's parent holds a file, and a link inside leads to it.
    TempShaderDir outer;
    outer.write("secret.txt", "SECRET\n");
    outer.write("Shaders/b.glsl", "B\n");
    outer.write("Shaders/sub/c.glsl", "C\n");
    const std::string base = outer.path() + "Shaders/main.glsl";
    ASSERT_EQ(symlink((outer.path() + "secret.txt").c_str(),
                      (outer.path() + "Shaders/link.glsl").c_str()),
              0);
    EXPECT_EQ(expandIncludes("#include \"sub/../b.glsl\"", base), "B");
    EXPECT_EQ(sink.text(), "");
    for (const std::string name : {"../secret.txt", "sub/../../secret.txt", "link.glsl"}) {
        CapturedSink refused;
        EXPECT_EQ(expandIncludes("#include \"" + name + "\"\n", base), "\n") << name;
        EXPECT_NE(refused.text().find("expandIncludes: include outside the shader directory, "
                                      "not read: "),
                  std::string::npos)
            << refused.text();
    }
}

TEST_F(ExpandIncludes, QuotesAreSearchedAcrossLineEnds) {
    EXPECT_EQ(expand("#include\n\"b.glsl\"\n"), "B\n");
}

TEST_F(ExpandIncludes, AMissingFileIsReportedAndExpandsToNothing) {
    EXPECT_EQ(expand("x\n#include \"gone.glsl\"\ny\n"), "x\n\ny\n");
    EXPECT_EQ(sink.text(), "CRITICAL ERROR: Shader::loadSource: unable to open file: " +
                               dir.path() + "gone.glsl\n");
}

TEST_F(ExpandIncludes, ADirectiveWithoutBothQuotesStaysAndTheScanGoesOn) {
    EXPECT_EQ(expand("#include a.glsl\n"), "#include a.glsl\n");
    EXPECT_EQ(expand("#include \"a.glsl\n"), "#include \"a.glsl\n");
    // A directive without quotes of its own takes the next ones, even those
    // of a later directive, and its span swallows that directive.
    EXPECT_EQ(expand("#include\n#include \"b.glsl\" end"), "B end");
    // The inserted text is scanned again: an unquoted directive at the end of
    // an included file takes the quotes that follow the outer directive.
    dir.write("open.glsl", "M\n#include\n");
    EXPECT_EQ(expand("#include \"open.glsl\" \"b.glsl\"\n"), "M\nB\n");
    dir.write("broken.glsl", "#include \"\n");
    EXPECT_EQ(expand("#include \"broken.glsl\"\n"), "#include \"\n");
}

TEST_F(ExpandIncludes, ACycleStopsAtTheDepthLimitWithOneReport) {
    dir.write("self.glsl", "S\n#include \"self.glsl\"\n");
    std::string once = expand("#include \"self.glsl\"\n#include \"self.glsl\"\n");
    // Each top-level directive expands maxIncludeDepth nested copies.
    EXPECT_EQ(occurrences(once, "S\n"), 2 * Vellumar::maxIncludeDepth);
    EXPECT_EQ(once.find("#include"), std::string::npos);
    EXPECT_EQ(sink.text(), "CRITICAL ERROR: expandIncludes: include nesting deeper than 32, "
                           "stopped at: " +
                               dir.path() + "self.glsl\n");

    // Once per call: a second expansion reports again.
    sink.clear();
    dir.write("ping.glsl", "#include \"pong.glsl\"\n");
    dir.write("pong.glsl", "#include \"ping.glsl\"\n");
    EXPECT_EQ(expand("#include \"ping.glsl\""), "");
    EXPECT_EQ(occurrences(sink.text(), "CRITICAL ERROR"), 1);
    // ping at odd depths, pong at even ones: the 32nd file, pong, names ping.
    EXPECT_NE(sink.text().find("stopped at: " + dir.path() + "ping.glsl\n"), std::string::npos);
}

TEST_F(ExpandIncludes, ABranchingCycleStopsAtTheFileLimitWithOneReport) {
    // Twice itself at every level: 2^32 copies without a limit on files.
    dir.write("twice.glsl", "T\n#include \"twice.glsl\"\n#include \"twice.glsl\"\n");
    std::string text = expand("#include \"twice.glsl\"\n");
    EXPECT_EQ(occurrences(text, "T\n"), Vellumar::maxIncludedFiles);
    EXPECT_EQ(text.find("#include"), std::string::npos);
    // The depth limit is met first, on the way down; one report in all.
    EXPECT_EQ(occurrences(sink.text(), "CRITICAL ERROR"), 1);
    EXPECT_NE(sink.text().find("include nesting deeper than 32"), std::string::npos);
}

TEST_F(ExpandIncludes, ManyIncludesOfOneFileStopAtTheFileLimit) {
    std::string text;
    for (int i = 0; i < Vellumar::maxIncludedFiles + 3; ++i) {
        text += "#include \"b.glsl\"\n";
    }
    std::string expanded = expand(text);
    EXPECT_EQ(occurrences(expanded, "B\n"), Vellumar::maxIncludedFiles);
    EXPECT_EQ(sink.text(),
              "CRITICAL ERROR: expandIncludes: more than 4096 included files, stopped at: " +
                  dir.path() + "b.glsl\n");
}

TEST_F(ExpandIncludes, NestingUpToTheLimitIsExpandedCompletely) {
    // A chain of exactly maxIncludeDepth files.
    for (int i = 1; i <= Vellumar::maxIncludeDepth; ++i) {
        std::string body = "L" + std::to_string(i) + "\n";
        if (i < Vellumar::maxIncludeDepth) {
            body += "#include \"l" + std::to_string(i + 1) + ".glsl\"\n";
        }
        dir.write("l" + std::to_string(i) + ".glsl", body);
    }
    std::string text = expand("#include \"l1.glsl\"\n");
    EXPECT_EQ(occurrences(text, "L"), Vellumar::maxIncludeDepth);
    EXPECT_NE(text.find("L32\n"), std::string::npos);
    EXPECT_EQ(sink.text(), "");
}

TEST_F(ExpandIncludes, ALargeFileIncludingItselfTwiceStopsAtTheByteLimitWithOneReport) {
    // 100 KB including itself twice: 4,096 copies (400 MB) under the file limit alone.
    std::string body(100 * 1024, 'x');
    body += "\n#include \"large.glsl\"\n#include \"large.glsl\"\n";
    dir.write("large.glsl", body);
    std::string text = expand("#include \"large.glsl\"\n");
    EXPECT_LE(text.size(), Vellumar::maxIncludedBytes);
    EXPECT_GT(text.size(), Vellumar::maxIncludedBytes - body.size());
    // The depth limit is met first, on the way down; one report in all.
    EXPECT_EQ(occurrences(sink.text(), "CRITICAL ERROR"), 1);
}

TEST_F(ExpandIncludes, ManyIncludesOfALargeFileStopAtTheByteLimit) {
    dir.write("mib.glsl", std::string((std::size_t{1} << 20) - 1, 'm') + "\n");
    std::string text;
    for (int i = 0; i < 20; ++i) {
        text += "#include \"mib.glsl\"\n";
    }
    std::string expanded = expand(text);
    EXPECT_EQ(occurrences(expanded, "#include"), 0);
    EXPECT_EQ(expanded.size(), 16 * ((std::size_t{1} << 20) - 1) + 20);
    EXPECT_EQ(sink.text(),
              "CRITICAL ERROR: expandIncludes: included text beyond 16 MiB, stopped at: " +
                  dir.path() + "mib.glsl\n");
}

TEST_F(ExpandIncludes, AQuietExpansionCutsTheSameWayWithoutAReport) {
    std::string text;
    for (int i = 0; i < Vellumar::maxIncludedFiles + 3; ++i) {
        text += "#include \"b.glsl\"\n";
    }
    std::string quiet = expandIncludes(text, base(), false);
    EXPECT_EQ(sink.text(), "");
    EXPECT_EQ(quiet, expand(text));
    EXPECT_EQ(occurrences(sink.text(), "CRITICAL ERROR"), 1);
}

} // namespace
