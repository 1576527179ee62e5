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
    double values[plotColumns];
    const size_t shown = frames.last(FrameSeries::wall, plotColumns, values);
    double largest = 0.0;
    for (size_t i = 0; i < shown; ++i) {
        if (std::isfinite(values[i])) {
            largest = std::max(largest, values[i]);
        }
    }
    int used = std::snprintf(plotText, plotHeadingRoom, "last %zu, top %.3g ms", shown,
                             largest * millisecondsPerSecond);
    // The heading never takes more than its room, so the rows always fit.
    char* at = plotText + std::clamp(used, 0, plotHeadingRoom - 1);
    constexpr int halfSteps = 2 * plotRows;
    int heights[plotColumns] = {};
    for (size_t i = 0; i < shown; ++i) {
        const double share = largest > 0.0 && std::isfinite(values[i]) ? values[i] / largest : 0.0;
        heights[plotColumns - shown + i] =
            static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * halfSteps));
    }
    for (int row = plotRows - 1; row >= 0; --row) {
        *at++ = '\n';
        for (int column = 0; column < plotColumns; ++column) {
            const int above = heights[column] - 2 * row;
            *at++ = above >= 2 ? '#' : (above == 1 ? '.' : ' ');
        }
    }
    *at = '\0';
}
