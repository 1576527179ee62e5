// What a batch run measured, as text for its files (README's "Batch runs"
// gives their columns and keys) and for --report. The CSV has a row per
// measured frame, `config` and `frame` counting from 0; the JSON an object
// per configuration. "timer_coverage" is null while too few frames were long
// enough to judge, and so is a statistic of no frames; "trust" names the
// series to believe: "wall_s" when the coverage fires, "gpu_s" when it does
// not, "unknown" before it is judged. Times are seconds, written so that they
// read back exactly (nine significant digits in the CSV).
//
// Progress goes to the console in one of two forms, which the caller picks
// with isatty() on the stream it writes to:
//
//   bar (terminal): "\r[#######.............]  3/12  loopsCount.x=100  0:42 left"
//     redrawn in place; padded to the width so that a shorter line wipes a
//     longer one; the caller ends the run with a newline.
//   plain (log file, pipe): "configuration 3/12: loopsCount.x=100 (0:42 left)\n"
//
// The estimate assumes the configurations still to run take as long as the
// finished ones on average; before the first one finishes it reads "?".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ContextRecord.h"
#include "FrameLog.h"
#include "SettingRegistry.h"
#include "SweepPlan.h"

namespace Vellumar::measure {

struct ConfigurationResult {
    size_t index = 0;
    // Frames measured (warm-up frames not counted).
    size_t frames = 0;
    Configuration swept;
    std::vector<SettingValue> settings;
    Summary gpu;
    Summary wall;
    Coverage coverage;
};

// "configuration 3/12: loopsCount.x=100", or without the colon and what
// follows when nothing is swept: how the progress, the report and a timeout
// name a configuration.
std::string configurationHeading(size_t index, size_t total, std::string_view described);

std::string csvHeader(const std::vector<std::string>& sweptNames);
std::string csvRow(size_t config, size_t frame, const Configuration& swept, const FrameTime& time);

// {"version", "context" (contextJson), "configurations"}.
std::string resultsJson(const std::string& version, const ContextRecord& context,
                        const std::vector<ConfigurationResult>& results);

// "configuration 2/3: loopsCount.y=100: 5 frames", then a line for each
// series and one for the coverage.
std::string configurationReport(const ConfigurationResult& result, size_t total,
                                const std::string& described);

struct Progress {
    size_t index = 0; // the configuration starting now, from 0
    size_t total = 0;
    std::string_view configuration; // SweepPlan::describe() of it
    double elapsedSeconds = 0.0;    // since the first configuration started
};

std::string progressBar(const Progress& progress, size_t width = 80);
std::string progressPlainLine(const Progress& progress);

} // namespace Vellumar::measure
