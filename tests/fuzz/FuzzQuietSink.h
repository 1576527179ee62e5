// Points the message sink at a stream that drops everything and an input that
// has ended, so that a critical error neither fills the log nor waits.
#pragma once

#include <ostream>
#include <sstream>

#include "MessageSink.h"

namespace testsupport {

inline void quietMessageSink() {
    static std::ostream discard(nullptr);
    static std::istringstream noInput;
    Vellumar::MessageSink::instance().setStreams(discard, noInput);
}

} // namespace testsupport
