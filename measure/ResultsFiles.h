// What a batch run measured, as text for its files and its console:
//
// CSV, one row per measured frame (warm-up frames are not written), for
// plotting outside the tool; `config` and `frame` count from 0:
//
//   config,frame,<each swept NAME>,gpu_s,wall_s
//
// JSON, one object per configuration inside {"version": "...",
// "configurations": [...]}:
//
//   {"config": 0, "swept": {"loopsCount.x": 100}, "settings": {...every
//    registered setting...}, "frames": 30,
//    "gpu_s":  {"median": .., "p5": .., "p95": .., "min": .., "max": ..},
//    "wall_s": {...},
//    "timer_coverage": 0.93, "timer_coverage_fires": false, "trust": "gpu_s"}
//
// "timer_coverage" is null while too few frames were long enough to judge,
// and so is a statistic of no frames. "trust" names the series to believe:
// "wall_s" when the coverage fires, "gpu_s" when it does not, "unknown"
// before it is judged. Times are seconds, written so that they read back
// exactly (nine significant digits in the CSV).
//
// --report, for standard output: the configuration's summaries and coverage.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

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

// "%.9g": nine significant digits; "nan" and "inf" for what is no finite number.
std::string formatDecimal(double value);

std::string csvHeader(const std::vector<std::string>& sweptNames);
std::string csvRow(size_t config, size_t frame, const Configuration& swept, const FrameTime& time);

std::string resultsJson(const std::string& version,
                        const std::vector<ConfigurationResult>& results);

// "configuration 2/3: loopsCount.y=100: 5 frames", then a line for each
// series and one for the coverage.
std::string configurationReport(const ConfigurationResult& result, size_t total,
                                const std::string& described);

} // namespace Vellumar::measure
