// The console reporter: formatting into a fixed area, writing the prefixed
// line, and the pause that reads one number (and never waits on a closed
// input, nor in an unattended run).
#include "MessageSink.h"

#include <cstdio>
#include <limits>
#include <cstring>
#include <iostream>
#include <utility>

namespace Vellumar {

namespace {
const char* const criticalPrefix = "CRITICAL ERROR: ";
} // namespace

MessageSink& MessageSink::instance() {
    // Never destroyed: messages may still come while other statics go away.
    static MessageSink* sink = new MessageSink();
    return *sink;
}

MessageSink::MessageSink() : formatArea{}, output(&std::cerr), input(&std::cin) {}

void MessageSink::setStreams(std::ostream& newOutput, std::istream& newInput) {
    output = &newOutput;
    input = &newInput;
}

void MessageSink::useStandardStreams() { setStreams(std::cerr, std::cin); }

void MessageSink::setUnattended(bool on) { unattended = on; }

std::optional<std::string> MessageSink::takeCriticalError() {
    return std::exchange(keptError, std::nullopt);
}

void MessageSink::write(const char* prefix, const char* format, std::va_list args) {
    if (keptError) {
        return;
    }
    std::vsnprintf(formatArea, sizeof formatArea, format ? format : "", args);
    if (unattended && prefix == criticalPrefix) {
        keptError = formatArea;
        return;
    }
    // The formatted text goes out as it stands: a '%' that came in through an
    // argument (a compile log, say) must not be read as a conversion again.
    output->write(prefix, static_cast<std::streamsize>(std::strlen(prefix)));
    output->write(formatArea, static_cast<std::streamsize>(std::strlen(formatArea)));
    output->put('\n');
    output->flush();
}

void MessageSink::info(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    write("INFO: ", format, args);
    va_end(args);
}

void MessageSink::criticalError(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    write(criticalPrefix, format, args);
    va_end(args);
    waitForNumber();
}

void MessageSink::waitForNumber() {
    if (unattended) {
        return;
    }
    int discarded = 0;
    if (*input >> discarded || input->eof()) {
        return;
    }
    // Anything else typed ends the pause too, and is dropped with the rest of
    // its line: a failed stream would let every later pause, and every later
    // console question, return at once.
    input->clear();
    input->ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

} // namespace Vellumar
