// Progress of a batch run on the console, in two forms; the caller picks one
// with isatty() on the stream it writes to:
//
//   bar (terminal): "\r[#######.............]  3/12  loopsCount.x=100  0:42 left"
//     redrawn in place; padded to the width so that a shorter line wipes a
//     longer one; the caller ends the run with a newline.
//   plain (log file, pipe): "configuration 3/12: loopsCount.x=100 (0:42 left)\n"
//
// The estimate assumes the configurations still to run take as long as the
// finished ones on average; before the first one finishes it reads "?". It
// reads "m:ss" or "h:mm:ss", rounded up to whole seconds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Vellumar::measure {

struct Progress {
    size_t index = 0; // the configuration starting now, from 0
    size_t total = 0;
    std::string_view configuration; // SweepPlan::describe() of it
    double elapsedSeconds = 0.0;    // since the first configuration started
};

std::string progressBar(const Progress& progress, size_t width = 80);
std::string progressPlainLine(const Progress& progress);

} // namespace Vellumar::measure
