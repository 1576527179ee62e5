// snprintf into the members' buffers: the bar reads them while it draws.
#include "StatisticsPanel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

using Vellumar::measure::FrameSeries;
using Vellumar::measure::Summary;

constexpr double millisecondsPerSecond = 1000.0;

void copyInMilliseconds(const Summary& summary, double& median, double& p5, double& p95,
                        double& min, double& max) {
    median = summary.median * millisecondsPerSecond;
    p5 = summary.p5 * millisecondsPerSecond;
    p95 = summary.p95 * millisecondsPerSecond;
    min = summary.min * millisecondsPerSecond;
    max = summary.max * millisecondsPerSecond;
}

} // namespace

StatisticsPanel::StatisticsPanel() {
    wallPlot.values = wallPlotValues;
    wallPlot.caption = wallPlotCaption;
}

void StatisticsPanel::update(const Vellumar::measure::FrameLog& log) {
    const Vellumar::measure::FrameLog::Stretch& frames = log.shown();
    std::snprintf(showingText, sizeof showingText, "%s",
                  log.holdingFrames() ? "test mode, until a change" : "since the last change");
    const Summary wall = frames.summary(FrameSeries::wall);
    count = static_cast<int32_t>(std::min<size_t>(wall.count, INT32_MAX));
    copyInMilliseconds(wall, wallMedian, wallP5, wallP95, wallMin, wallMax);
    copyInMilliseconds(frames.summary(FrameSeries::gpu), gpuMedian, gpuP5, gpuP95, gpuMin, gpuMax);

    const Vellumar::measure::Coverage coverage = frames.coverage();
    if (!coverage.judged()) {
        std::snprintf(coverageText, sizeof coverageText,
                      "not judged: needs %zu frames of %g ms or more",
                      Vellumar::measure::coverageMinimumFrames,
                      Vellumar::measure::coverageMinimumWallSeconds * millisecondsPerSecond);
    } else {
        // A dozen characters at most: the string's own buffer holds them.
        std::snprintf(coverageText, sizeof coverageText, "%s of the wall time%s",
                      coverage.percent().c_str(), coverage.fires ? ": trust the wall time" : "");
    }
    writePlot(frames);
}

void StatisticsPanel::writePlot(const Vellumar::measure::FrameLog::Stretch& frames) {
    double seconds[plotFrames];
    const size_t shown = frames.last(FrameSeries::wall, plotFrames, seconds);
    double largest = 0.0;
    for (size_t i = 0; i < shown; ++i) {
        const double milliseconds =
            std::isfinite(seconds[i]) ? seconds[i] * millisecondsPerSecond : 0.0;
        wallPlotValues[i] = static_cast<float>(milliseconds);
        largest = std::max(largest, milliseconds);
    }
    wallPlot.count = static_cast<int>(shown);
    wallPlot.top = static_cast<float>(largest);
    wallPlot.guide = static_cast<float>(wallMedian);
    if (std::isfinite(wallMedian)) {
        std::snprintf(wallPlotCaption, sizeof wallPlotCaption, "top %.3g, median %.3g ms", largest,
                      wallMedian);
    } else {
        std::snprintf(wallPlotCaption, sizeof wallPlotCaption, "top %.3g ms", largest);
    }
}
