// The summary of a set of frame times shown in the panel and written to the
// results: count, median, 5th and 95th percentiles, minimum and maximum.
//
// Percentiles interpolate linearly between the closest ranks: with the n
// values sorted as v[0] <= ... <= v[n-1], the p-th percentile sits at rank
// r = p / 100 * (n - 1) and is v[floor(r)] + (r - floor(r)) * (v[floor(r) + 1]
// - v[floor(r)]). So the median of an even count is the mean of the middle
// two, p0 is the minimum, p100 the maximum, and one value is every percentile.
// NaN values (an unreadable timer) are left out; an empty set gives count 0
// and NaN figures.
#pragma once

#include <cstddef>
#include <limits>
#include <vector>

#include "FrameTimeRing.h"

namespace Vellumar::measure {

struct Summary {
    size_t count = 0;
    double median = std::numeric_limits<double>::quiet_NaN();
    double p5 = std::numeric_limits<double>::quiet_NaN();
    double p95 = std::numeric_limits<double>::quiet_NaN();
    double min = std::numeric_limits<double>::quiet_NaN();
    double max = std::numeric_limits<double>::quiet_NaN();
};

// The p-th percentile (0..100, clamped) of count values sorted ascending;
// NaN for no values.
double percentileOfSorted(const double* sorted, size_t count, double percent);

class FrameStatistics {
public:
    // Reserves scratch room for `capacity` values once; a summary of up to
    // that many values then allocates nothing.
    explicit FrameStatistics(size_t capacity = FrameTimeRing::defaultCapacity);

    Summary summarise(const double* values, size_t count);
    // One series of the frames since the ring's settings last changed.
    Summary summarise(const FrameTimeRing& ring, FrameSeries series);

private:
    Summary summariseScratch();

    std::vector<double> scratch;
};

} // namespace Vellumar::measure
