// Small statistics for the frame benchmarks: medians and least-squares lines.
#pragma once

#include <vector>

namespace testsupport {

double median(std::vector<double> values);

struct LineFit {
    double slope;
    double intercept;
    double rSquared;
};

// Least-squares line y = slope * x + intercept with its coefficient of
// determination; needs at least two distinct x.
LineFit fitLine(const std::vector<double>& x, const std::vector<double>& y);

} // namespace testsupport
