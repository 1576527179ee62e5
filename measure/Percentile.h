// The one percentile rule of the tool, for the frame statistics, the
// benchmarks' medians and the capture analysis alike. With the n values
// sorted as v[0] <= ... <= v[n-1], the p-th percentile sits at rank
// r = p / 100 * (n - 1) and is v[floor(r)] + (r - floor(r)) * (v[floor(r) + 1]
// - v[floor(r)]): the median of an even count is the mean of the middle two,
// p0 the minimum, p100 the maximum, and one value is every percentile.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace Vellumar::measure {

// The p-th percentile (p clamped to 0..100) of values that hold no NaN, which
// it reorders (a partial sort: linear time). NaN for no values or a NaN p.
template <typename T>
double percentile(std::vector<T>& values, double percent) {
    if (values.empty() || std::isnan(percent)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const double rank =
        std::clamp(percent, 0.0, 100.0) / 100.0 * static_cast<double>(values.size() - 1);
    const size_t lower = std::min(static_cast<size_t>(rank), values.size() - 1);
    const auto at = values.begin() + static_cast<std::ptrdiff_t>(lower);
    std::nth_element(values.begin(), at, values.end());
    const double low = static_cast<double>(*at);
    const double fraction = rank - static_cast<double>(lower);
    if (fraction == 0.0 || at + 1 == values.end()) {
        return low;
    }
    // Equal neighbours give their value exactly, infinite ones too (inf - inf).
    const double high = static_cast<double>(*std::min_element(at + 1, values.end()));
    return high == low ? low : low + fraction * (high - low);
}

} // namespace Vellumar::measure
