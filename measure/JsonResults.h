// The summary of a batch run as JSON: one object per configuration,
//
//   {"config": 0, "swept": {"loopsCount.x": 100}, "settings": {...every
//    registered setting...}, "frames": 30,
//    "gpu_s":  {"median": .., "p5": .., "p95": .., "min": .., "max": ..},
//    "wall_s": {...},
//    "timer_coverage": 0.93, "timer_coverage_fires": false, "trust": "gpu_s"}
//
// inside {"version": "...", "configurations": [...]}. "timer_coverage" is
// null while too few frames were long enough to judge, and so is a statistic
// of no frames. "trust" names the series to believe: "wall_s" when the
// coverage rule fires, else "gpu_s". Numbers are written so that they read
// back exactly. write() replaces the whole file atomically, so calling it
// after each configuration keeps a usable file should the run stop.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "FrameStatistics.h"
#include "SettingRegistry.h"
#include "SweepPlan.h"
#include "TimerCoverage.h"

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

class JsonResults {
public:
    JsonResults(std::string path, std::string version);

    void add(ConfigurationResult result);
    std::optional<std::string> write() const;
    // The document write() puts in the file.
    std::string text() const;

    const std::vector<ConfigurationResult>& results() const { return configurations; }

private:
    std::string target;
    std::string programVersion;
    std::vector<ConfigurationResult> configurations;
};

} // namespace Vellumar::measure
