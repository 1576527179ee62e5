// Tests of the message sink: prefixes and line ends, '%' in arguments, the
// pause after a critical error (one number; none on a closed input, nor in an
// unattended run) and the cut of long messages.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "CapturedSink.h"
#include "MessageSink.h"

namespace {

using testsupport::CapturedSink;
using Vellumar::MessageSink;

TEST(MessageSink, LinesCarryTheirSeverityPrefixAndExactlyOneLineFeed) {
    CapturedSink sink;
    MessageSink::instance().info("shader %s has %d lines", "a.glsl", 12);
    MessageSink::instance().criticalError("failed");
    EXPECT_EQ(sink.text(), "INFO: shader a.glsl has 12 lines\nCRITICAL ERROR: failed\n");

    sink.clear();
    // A compile log that ends in a line feed is followed by an empty line.
    MessageSink::instance().info("%s", "0:1: error\n");
    EXPECT_EQ(sink.text(), "INFO: 0:1: error\n\n");
}

TEST(MessageSink, PerCentSignsInArgumentsAreWrittenLiterally) {
    CapturedSink sink;
    MessageSink::instance().info("Compilation error (%s): %s", "x.glsl", "a % b; %d %s %n");
    EXPECT_EQ(sink.text(), "INFO: Compilation error (x.glsl): a % b; %d %s %n\n");
}

TEST(MessageSink, CriticalErrorConsumesExactlyOneInteger) {
    CapturedSink sink("42 7\n");
    MessageSink::instance().criticalError("first");
    int next = 0;
    sink.input() >> next;
    EXPECT_EQ(next, 7);
}

TEST(MessageSink, InformationNeverPauses) {
    CapturedSink sink("5\n");
    MessageSink::instance().info("no pause");
    int next = 0;
    sink.input() >> next;
    EXPECT_EQ(next, 5);
}

TEST(MessageSink, PauseReturnsAtOnceOnEndOfInputAndATypoDoesNotSpoilLaterPauses) {
    {
        CapturedSink sink("");
        MessageSink::instance().criticalError("at end of input");
        EXPECT_TRUE(sink.input().eof());
    }
    {
        // Letters end the pause and are dropped with their line; the next
        // pause waits for, and takes, the next number.
        CapturedSink sink("abc 12\n34 56\n");
        MessageSink::instance().criticalError("letters typed");
        EXPECT_FALSE(sink.input().fail());
        MessageSink::instance().criticalError("second");
        int next = 0;
        sink.input() >> next;
        EXPECT_EQ(next, 56);
        EXPECT_EQ(sink.text(), "CRITICAL ERROR: letters typed\nCRITICAL ERROR: second\n");
    }
}

TEST(MessageSink, UnattendedItKeepsTheFirstCriticalErrorAndNeverWaits) {
    CapturedSink sink("1 2 3\n");
    MessageSink& messages = MessageSink::instance();
    messages.setUnattended(true);
    messages.info("before");
    messages.criticalError("Compilation error (%s): %s", "a.glsl", "0:1: error\n0:2: more");
    messages.waitForNumber();
    messages.criticalError("Program error (a.glsl)");
    messages.info("after");
    const std::optional<std::string> kept = messages.takeCriticalError();
    messages.setUnattended(false);
    EXPECT_EQ(kept, "Compilation error (a.glsl): 0:1: error\n0:2: more");
    EXPECT_EQ(messages.takeCriticalError(), std::nullopt);
    // What followed the error is dropped, and no number was read.
    EXPECT_EQ(sink.text(), "INFO: before\n");
    int next = 0;
    sink.input() >> next;
    EXPECT_EQ(next, 1);
}

TEST(MessageSink, LongMessagesAreCutToTheFormattingArea) {
    CapturedSink sink;
    std::string log(6000, 'x');
    MessageSink::instance().criticalError("%s", log.c_str());
    std::string expected =
        "CRITICAL ERROR: " + std::string(MessageSink::formatAreaSize - 1, 'x') + "\n";
    EXPECT_EQ(sink.text(), expected);
}

} // namespace
