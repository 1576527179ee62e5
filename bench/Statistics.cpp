// Medians and least-squares lines for the frame benchmarks' tables.
#include "Statistics.h"

#include <cstddef>

#include "Percentile.h"

namespace testsupport {

double median(std::vector<double> values) {
    return values.empty() ? 0.0 : Vellumar::measure::percentile(values, 50.0);
}

LineFit fitLine(const std::vector<double>& x, const std::vector<double>& y) {
    const double n = static_cast<double>(x.size());
    double meanX = 0, meanY = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        meanX += x[i];
        meanY += y[i];
    }
    meanX /= n;
    meanY /= n;
    double sxy = 0, sxx = 0, syy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sxy += (x[i] - meanX) * (y[i] - meanY);
        sxx += (x[i] - meanX) * (x[i] - meanX);
        syy += (y[i] - meanY) * (y[i] - meanY);
    }
    LineFit fit{};
    if (sxx == 0.0) {
        return fit;
    }
    fit.slope = sxy / sxx;
    fit.intercept = meanY - fit.slope * meanX;
    fit.rSquared = syy == 0.0 ? 1.0 : (sxy * sxy) / (sxx * syy);
    return fit;
}

} // namespace testsupport
