// Sorting a copy is cheap at a few hundred values and gives every percentile
// at once; it runs only when a summary is shown or written, never per frame.
#include "FrameStatistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vellumar::measure {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

double percentileOfSorted(const double* sorted, size_t count, double percent) {
    if (count == 0 || std::isnan(percent)) {
        return notANumber;
    }
    const double clamped = std::clamp(percent, 0.0, 100.0);
    const double rank = clamped / 100.0 * static_cast<double>(count - 1);
    const size_t lower = std::min(static_cast<size_t>(rank), count - 1);
    const size_t upper = std::min(lower + 1, count - 1);
    const double fraction = rank - static_cast<double>(lower);
    // Equal neighbours return exactly; it also keeps infinities from
    // turning into NaN through inf - inf.
    if (fraction == 0.0 || sorted[lower] == sorted[upper]) {
        return sorted[lower];
    }
    return sorted[lower] + fraction * (sorted[upper] - sorted[lower]);
}

FrameStatistics::FrameStatistics(size_t capacity) { scratch.reserve(capacity); }

Summary FrameStatistics::summarise(const double* values, size_t count) {
    scratch.clear();
    for (size_t i = 0; i < count; ++i) {
        if (!std::isnan(values[i])) {
            scratch.push_back(values[i]);
        }
    }
    return summariseScratch();
}

Summary FrameStatistics::summarise(const FrameTimeRing& ring, FrameSeries series) {
    scratch.clear();
    for (size_t i = 0; i < ring.sizeSinceChange(); ++i) {
        const double value = ring.sinceChange(i).of(series);
        if (!std::isnan(value)) {
            scratch.push_back(value);
        }
    }
    return summariseScratch();
}

Summary FrameStatistics::summariseScratch() {
    std::sort(scratch.begin(), scratch.end());
    const double* sorted = scratch.data();
    const size_t count = scratch.size();
    Summary summary;
    summary.count = count;
    summary.median = percentileOfSorted(sorted, count, 50.0);
    summary.p5 = percentileOfSorted(sorted, count, 5.0);
    summary.p95 = percentileOfSorted(sorted, count, 95.0);
    summary.min = count ? sorted[0] : notANumber;
    summary.max = count ? sorted[count - 1] : notANumber;
    return summary;
}

} // namespace Vellumar::measure
