// The figures of the Statistics bar: worked out from the frame log after the
// frame's measurement, into storage that the bar's read-only entries and its
// plot are bound to. Times are in milliseconds; the texts and the plotted
// values live in fixed buffers, so an update allocates nothing.
//
// The plot: the wall time of the last frames the log holds (before the last
// change too), newest on the right, from 0 up to the largest one, with a
// guide line at the median of the frames since the change; the caption
// gives both values.
#pragma once

#include <cstdint>

#include "FrameLog.h"
#include "TweakBar.h"

class StatisticsPanel {
public:
    static constexpr int plotFrames = 64;

    StatisticsPanel();
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
    Vellumar::tweakbar::PlotData wallPlot;

private:
    void writePlot(const Vellumar::measure::FrameLog::Stretch& frames);

    char showingText[48] = "";
    char coverageText[96] = "";
    float wallPlotValues[plotFrames] = {};
    char wallPlotCaption[64] = "";
};
