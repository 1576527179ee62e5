// Points the message sink at a string stream for the test's lifetime and at
// an input stream the test controls (empty by default: pauses return at once);
// or, for the fuzz targets, for good at nothing.
#pragma once

#include <ostream>
#include <sstream>
#include <string>

#include "MessageSink.h"

namespace testsupport {

class CapturedSink {
public:
    explicit CapturedSink(const std::string& input = "") : in(input) {
        Vellumar::MessageSink::instance().setStreams(out, in);
    }
    ~CapturedSink() { Vellumar::MessageSink::instance().useStandardStreams(); }

    std::string text() const { return out.str(); }
    void clear() { out.str(""); }
    std::istringstream& input() { return in; }

private:
    std::ostringstream out;
    std::istringstream in;
};

// Points the message sink for good at a stream that drops everything and an
// input that has ended, so that a critical error neither fills a log nor
// waits (the fuzz targets).
inline void quietMessageSink() {
    static std::ostream discard(nullptr);
    static std::istringstream noInput;
    Vellumar::MessageSink::instance().setStreams(discard, noInput);
}

} // namespace testsupport
