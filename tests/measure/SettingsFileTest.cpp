#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "MeasureTestSupport.h"
#include "SettingsFile.h"

using testsupport::SampleSettings;
using testsupport::ScratchDirectory;
using Vellumar::measure::loadSettingsText;
using Vellumar::measure::readSettingsText;
using Vellumar::measure::SettingsLoadReport;
using Vellumar::measure::settingsText;

namespace {

void setUnusualValues(SampleSettings& sample) {
    sample.curTest = 1;
    sample.curPrim = 4;
    sample.loopsCount = {INT32_MIN, INT32_MAX};
    sample.numShaderRegs = -1;
    sample.fastMode = false;
    sample.freezePointEnabled[0] = false;
    sample.freezePointEnabled[1] = true;
    sample.freezePoints[1] = {1, -2, 300000, -4};
}

TEST(SettingsFile, RoundTripIsExact) {
    ScratchDirectory scratch;
    SampleSettings saved;
    setUnusualValues(saved);
    const std::string path = scratch.file("glintmoth-settings.json");
    testsupport::writeFile(path, settingsText(saved.registry));

    SampleSettings loaded;
    std::string text;
    ASSERT_EQ(readSettingsText(path, text), std::nullopt);
    const SettingsLoadReport report = loadSettingsText(loaded.registry, text, path);
    EXPECT_FALSE(report.fileError);
    EXPECT_TRUE(report.unknownKeys.empty() && report.refused.empty());
    const auto expected = saved.registry.snapshot();
    const auto actual = loaded.registry.snapshot();
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].name, expected[i].name);
        EXPECT_EQ(actual[i].value, expected[i].value) << expected[i].name;
    }
    EXPECT_EQ(settingsText(loaded.registry), text);
}

TEST(SettingsFile, WritesTypedValuesUnderEveryName) {
    SampleSettings sample;
    setUnusualValues(sample);
    const nlohmann::json document = nlohmann::json::parse(settingsText(sample.registry));
    EXPECT_EQ(document.size(), sample.registry.all().size());
    EXPECT_EQ(document["fastMode"], false);
    EXPECT_TRUE(document["freezePointEnabled[1]"].is_boolean());
    EXPECT_EQ(document["loopsCount.x"], INT32_MIN);
    EXPECT_EQ(document["freezePoints[1].SizeX"], 300000);
    EXPECT_EQ(document["curPrim"], 4);
}

TEST(SettingsFile, UnknownKeysAreSkippedAndNamed) {
    SampleSettings sample;
    const SettingsLoadReport report = loadSettingsText(
        sample.registry,
        R"({"zoom": 3, "curTest": 1, "loopsCount": [1, 2], "fastMode": false, "old.name": true})",
        "s.json");
    EXPECT_FALSE(report.fileError);
    EXPECT_EQ(report.unknownKeys, (std::vector<std::string>{"zoom", "loopsCount", "old.name"}));
    EXPECT_TRUE(report.refused.empty());
    EXPECT_EQ(sample.curTest, 1);
    EXPECT_FALSE(sample.fastMode);
}

TEST(SettingsFile, BadValuesAreRefusedPerKey) {
    SampleSettings sample;
    const SettingsLoadReport report = loadSettingsText(sample.registry, R"({
  "curPrim": 3,
  "loopsCount.x": 4294967296,
  "loopsCount.y": 77,
  "numShaderRegs": 2.5,
  "fastMode": 0,
  "curTest": "1",
  "freezePointEnabled[1]": 2,
  "freezePoints[0].PosX": true,
  "freezePoints[0].PosY": 18446744073709551615
})",
                                                       "s.json");
    EXPECT_FALSE(report.fileError);
    EXPECT_TRUE(report.unknownKeys.empty());
    EXPECT_EQ(report.refused,
              (std::vector<std::string>{
                  "s.json: curPrim: 3 is not one of 0, 1, 4, 7",
                  "s.json: loopsCount.x: 4294967296 is outside the 32-bit range",
                  "s.json: numShaderRegs: expected a whole number, got 2.5",
                  "s.json: curTest: expected a whole number, got \"1\"",
                  "s.json: freezePointEnabled[1]: 2 is not 0, 1, true or false",
                  "s.json: freezePoints[0].PosX: expected a whole number, got true",
                  "s.json: freezePoints[0].PosY: 18446744073709551615 is outside the 32-bit range",
              }));
    // The good keys applied, the refused ones kept their values.
    EXPECT_EQ(sample.loopsCount.y, 77);
    EXPECT_FALSE(sample.fastMode);
    EXPECT_EQ(sample.curPrim, 7);
    EXPECT_EQ(sample.loopsCount.x, 0);
    EXPECT_EQ(sample.numShaderRegs, 20);
}

TEST(SettingsFile, BrokenFileIsRefusedWithLineAndColumnAndAppliesNothing) {
    SampleSettings sample;
    const SettingsLoadReport trailingComma = loadSettingsText(
        sample.registry, "{\n  \"curTest\": 1,\n  \"fastMode\": false,\n}\n", "broken.json");
    ASSERT_TRUE(trailingComma.fileError);
    EXPECT_EQ(*trailingComma.fileError,
              "broken.json:4:1: syntax error while parsing object key - unexpected '}'; "
              "expected string literal");
    EXPECT_EQ(sample.curTest, 0);
    EXPECT_TRUE(sample.fastMode);

    const SettingsLoadReport cut =
        loadSettingsText(sample.registry, "{\"curTest\": 1,\n \"fastMode\": fal", "cut.json");
    ASSERT_TRUE(cut.fileError);
    EXPECT_EQ(cut.fileError->rfind("cut.json:2:", 0), 0u) << *cut.fileError;
    EXPECT_EQ(sample.curTest, 0);

    const SettingsLoadReport empty = loadSettingsText(sample.registry, "", "empty.json");
    ASSERT_TRUE(empty.fileError);
    EXPECT_EQ(empty.fileError->rfind("empty.json:1:1: ", 0), 0u) << *empty.fileError;

    const SettingsLoadReport list = loadSettingsText(sample.registry, "  [1, 2]", "list.json");
    ASSERT_TRUE(list.fileError);
    EXPECT_EQ(*list.fileError, "list.json:1:3: expected an object of settings, got array");
}

// The check before the window opens says the same, with no registry.
TEST(SettingsFile, ReadingChecksTheTextWholeAndNamesAFileThatCannotBeRead) {
    ScratchDirectory scratch;
    std::string text;
    testsupport::writeFile(scratch.file("list.json"), "  [1, 2]");
    EXPECT_EQ(readSettingsText(scratch.file("list.json"), text),
              scratch.file("list.json") + ":1:3: expected an object of settings, got array");
    testsupport::writeFile(scratch.file("broken.json"), "{\n  \"curTest\": 1,\n}");
    EXPECT_EQ(readSettingsText(scratch.file("broken.json"), text),
              scratch.file("broken.json") +
                  ":3:1: syntax error while parsing object key - unexpected '}'; "
                  "expected string literal");
    testsupport::writeFile(scratch.file("ok.json"), "{\"anything\": [1], \"curTest\": \"x\"}");
    EXPECT_EQ(readSettingsText(scratch.file("ok.json"), text), std::nullopt);
    EXPECT_EQ(text, "{\"anything\": [1], \"curTest\": \"x\"}");
    EXPECT_EQ(readSettingsText(scratch.file("none.json"), text),
              scratch.file("none.json") + ": No such file or directory");
}

TEST(SettingsFile, WhatIsNoSettingsFileIsRefusedInOneLineWithoutWaitingOrFillingMemory) {
    ScratchDirectory scratch;
    std::string text;
    // A number beyond a double, under a known key and an unknown one.
    for (const char* key : {"curTest", "x"}) {
        testsupport::writeFile(scratch.file("huge.json"),
                               "{\"curPrim\": 4, \"" + std::string(key) + "\": 1e309}");
        EXPECT_EQ(readSettingsText(scratch.file("huge.json"), text),
                  scratch.file("huge.json") + ": " + key + ": number overflow parsing '1e309'");
        SampleSettings sample;
        EXPECT_EQ(loadSettingsText(sample.registry, "{\"" + std::string(key) + "\": -1e999}", "f")
                      .fileError,
                  std::string("f: ") + key + ": number overflow parsing '-1e999'");
    }
    EXPECT_EQ(readSettingsText("/dev/zero", text), "/dev/zero: is not a regular file");
    EXPECT_EQ(readSettingsText("/dev/urandom", text), "/dev/urandom: is not a regular file");
    ASSERT_EQ(mkfifo(scratch.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(readSettingsText(scratch.file("fifo"), text),
              scratch.file("fifo") + ": is not a regular file");
    testsupport::writeFile(scratch.file("big.json"),
                           std::string(Vellumar::measure::maxSettingsFileBytes + 1, ' '));
    EXPECT_EQ(readSettingsText(scratch.file("big.json"), text),
              scratch.file("big.json") + ": larger than 4 MiB");
    EXPECT_EQ(text, "");
}

// Many keys (their cost per key is measure_bench's BM_SettingsFileKeys):
// every one reported, in the file's order.
TEST(SettingsFile, ManyUnknownKeysAreAllReportedInFileOrder) {
    std::string text = "{";
    for (int k = 0; k < 40000; ++k) {
        text += (k ? ",\"k" : "\"k") + std::to_string(k) + "\":1";
    }
    text += "}";
    SampleSettings sample;
    const SettingsLoadReport many = loadSettingsText(sample.registry, text, "many.json");
    ASSERT_EQ(many.unknownKeys.size(), 40000u);
    EXPECT_EQ(many.unknownKeys[1], "k1");
    EXPECT_EQ(many.unknownKeys[39999], "k39999");
}

} // namespace
