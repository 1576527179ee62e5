// Tests of define-line editing: where a new define goes, what an unchanged or
// changed value does to the text, the plain substring key, long lines, and
// values with line breaks.
#include <gtest/gtest.h>

#include <string>

#include "ShaderText.h"

namespace {

using Vellumar::applyDefineLine;

TEST(ApplyDefineLine, AMissingDefineGoesToPositionZeroAheadOfTheVersionLine) {
    std::string text = "#version 130\nvoid main() {}\n";
    EXPECT_TRUE(applyDefineLine(text, "ENABLE_BLOCKING", "0"));
    EXPECT_EQ(text, "#define ENABLE_BLOCKING 0\n#version 130\nvoid main() {}\n");

    // Later new defines go in front of earlier ones.
    EXPECT_TRUE(applyDefineLine(text, "USE_BAD_LOOP", "1"));
    EXPECT_EQ(text,
              "#define USE_BAD_LOOP 1\n#define ENABLE_BLOCKING 0\n#version 130\nvoid main() {}\n");

    std::string empty;
    EXPECT_TRUE(applyDefineLine(empty, "A", "1"));
    EXPECT_EQ(empty, "#define A 1\n");
}

TEST(ApplyDefineLine, AnInsertionPointPutsNewDefinesBelowIt) {
    const std::string version = "#version 450 compatibility\n";
    std::string text = version + "#define KEPT 1\nvoid main() {}\n";
    EXPECT_TRUE(applyDefineLine(text, "A", "1", version.size()));
    EXPECT_TRUE(applyDefineLine(text, "B", "2", version.size()));
    EXPECT_EQ(text, version + "#define B 2\n#define A 1\n#define KEPT 1\nvoid main() {}\n");
    // An existing line is rewritten where it stands, wherever the point is.
    EXPECT_TRUE(applyDefineLine(text, "KEPT", "3", version.size()));
    EXPECT_EQ(text, version + "#define B 2\n#define A 1\n#define KEPT 3\nvoid main() {}\n");
    // A point past the end appends.
    std::string shortText = "x\n";
    EXPECT_TRUE(applyDefineLine(shortText, "C", "0", 1000));
    EXPECT_EQ(shortText, "x\n#define C 0\n");
}

TEST(ApplyDefineLine, TheSameValueChangesNothingAndANewOneOnlyThatLine) {
    std::string text = "a\n#define NUM_PIPEVARS 20\nb\n";
    const std::string before = text;
    EXPECT_FALSE(applyDefineLine(text, "NUM_PIPEVARS", "20"));
    EXPECT_EQ(text, before);

    EXPECT_TRUE(applyDefineLine(text, "NUM_PIPEVARS", "1024"));
    EXPECT_EQ(text, "a\n#define NUM_PIPEVARS 1024\nb\n");
    EXPECT_EQ(text.size(), before.size() + 2);
    EXPECT_TRUE(applyDefineLine(text, "NUM_PIPEVARS", "7"));
    EXPECT_EQ(text, "a\n#define NUM_PIPEVARS 7\nb\n");

    // A file's own default on its last line, without a line break.
    std::string last = "x\n#define LAST 1";
    EXPECT_TRUE(applyDefineLine(last, "LAST", "22"));
    EXPECT_EQ(last, "x\n#define LAST 22");
    EXPECT_FALSE(applyDefineLine(last, "LAST", "22"));
}

TEST(ApplyDefineLine, TheKeyIsAPlainSubstringSearch) {
    // The key for NUM matches the line of NUM_PIPEVARS and takes it over.
    std::string text = "#define NUM_PIPEVARS 20\nrest\n";
    EXPECT_TRUE(applyDefineLine(text, "NUM", "3"));
    EXPECT_EQ(text, "#define NUM 3\nrest\n");

    // Behind a comment opener: the define part changes, the line stays a comment.
    std::string commented = "// #define ENABLE_BLOCKING 1\nvoid main() {}\n";
    EXPECT_TRUE(applyDefineLine(commented, "ENABLE_BLOCKING", "0"));
    EXPECT_EQ(commented, "// #define ENABLE_BLOCKING 0\nvoid main() {}\n");

    // Only the first occurrence is edited.
    std::string twice = "#define X 1\n#define X 1\n";
    EXPECT_TRUE(applyDefineLine(twice, "X", "2"));
    EXPECT_EQ(twice, "#define X 2\n#define X 1\n");
}

TEST(ApplyDefineLine, LinesLongerThanTheFixedBufferAreWrittenWhole) {
    std::string name(600, 'N');
    std::string text = "body\n";
    EXPECT_TRUE(applyDefineLine(text, name.c_str(), "1"));
    EXPECT_EQ(text, "#define " + name + " 1\nbody\n");
    EXPECT_FALSE(applyDefineLine(text, name.c_str(), "1"));
    EXPECT_TRUE(applyDefineLine(text, name.c_str(), "2"));
    EXPECT_EQ(text, "#define " + name + " 2\nbody\n");
}

TEST(ApplyDefineLine, AValueWithLineBreaksIsStableWhenSetAgain) {
    std::string text = "body\n";
    EXPECT_TRUE(applyDefineLine(text, "M", "a \\\n b"));
    EXPECT_EQ(text, "#define M a \\\n b\nbody\n");
    EXPECT_FALSE(applyDefineLine(text, "M", "a \\\n b"));
    EXPECT_EQ(text, "#define M a \\\n b\nbody\n");
}

} // namespace
