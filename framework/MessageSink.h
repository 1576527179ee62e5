// The process-wide console reporter. Every diagnostic of the program's own code
// goes through it: "INFO: " lines, and "CRITICAL ERROR: " lines that then hold
// the program until the user types a number. Standard error and standard input
// by default; tests put their own streams in. An unattended run (a batch, a
// capture) has nobody at the console: it keeps its first critical error for
// the run to fail with, and never waits.
#pragma once

#include <cstddef>
#include <cstdarg>
#include <iosfwd>
#include <optional>
#include <string>

namespace Vellumar {

class MessageSink {
public:
    static MessageSink& instance();

    void info(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void criticalError(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Reads one integer from the input and discards it. Returns at once when
    // the input has ended or failed, so a closed console never hangs us.
    void waitForNumber();

    // Unattended: a critical error is kept instead of written (the first one
    // only; every message after it follows from it and is dropped), and no
    // pause waits, whatever standard input is.
    void setUnattended(bool on);
    // The kept critical error, if any, which is then forgotten.
    std::optional<std::string> takeCriticalError();

    void setStreams(std::ostream& output, std::istream& input);
    void useStandardStreams();

    // Messages longer than this, terminator included, are cut to fit.
    static constexpr std::size_t formatAreaSize = 4096;

    MessageSink(const MessageSink&) = delete;
    MessageSink& operator=(const MessageSink&) = delete;

private:
    MessageSink();
    void write(const char* prefix, const char* format, std::va_list args);

    char formatArea[formatAreaSize];
    std::ostream* output;
    std::istream* input;
    bool unattended = false;
    std::optional<std::string> keptError;
};

} // namespace Vellumar
