// The figures of the Statistics bar: worked out from the frame log after the
// frame's measurement, into storage that the bar's read-only entries are
// bound to. Times are in milliseconds; the texts live in fixed buffers, so
// an update allocates nothing.
//
// The plot is text, since the bars draw no graphics: the wall time of the
// last frames the log holds (before the last change too), one column each,
// newest on the right, scaled to the largest one, in rows of '#' (a full
// step) and '.' (half a step).
#pragma once

#include <cstdint>

#include "FrameLog.h"

class StatisticsPanel {
public:
    static constexpr int plotColumns = 22;
    static constexpr int plotRows = 3;
    // Room for the plot's heading line, before its rows.
    static constexpr int plotHeadingRoom = 48;

    StatisticsPanel() = default;
    StatisticsPanel(const StatisticsPanel&) = delete;
    StatisticsPanel& operator=(const StatisticsPanel&) = delete;

    // Reads log.shown(): the frames since the last change, or those held from
    // test mode.
    void update(const Vellumar::measure::FrameLog& log);

    // Bound to the bar's entries.
    const char* showing = showingText;
    int32_t count = 0;
    double wallMedian = 0.0;
    double wallP5 = 0.0;
    double wallP95 = 0.0;
    double wallMin = 0.0;
    double wallMax = 0.0;
    double gpuMedian = 0.0;
    double gpuP5 = 0.0;
    double gpuP95 = 0.0;
    double gpuMin = 0.0;
    double gpuMax = 0.0;
    const char* coverage = coverageText;
    const char* plot = plotText;

private:
    void writePlot(const Vellumar::measure::FrameLog::Stretch& frames);

    char showingText[48] = "";
    char coverageText[96] = "";
    // A heading line, then the rows with their newlines.
    char plotText[plotHeadingRoom + plotRows * (plotColumns + 1)] = "";
};
