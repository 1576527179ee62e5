// One pass over the pixels for their cycles, a partial sort for the ramp's
// top, one more pass into the bins.
#include "CycleHistogram.h"

#include <algorithm>
#include <vector>

#include "FragmentCapture.h"
#include "ViewBuilder.h"

CycleHistogram::CycleHistogram() {
    plot.style = Vellumar::tweakbar::PlotStyle::Histogram;
    plot.values = counts;
}

void CycleHistogram::build(const Vellumar::capture::FragmentCapture& capture) {
    plot.count = 0;
    std::fill(std::begin(counts), std::end(counts), 0.0f);
    caption.clear();
    plot.caption = caption.c_str();
    // A clock that ran backwards gives no duration: the time view shows such
    // pixels without data.
    std::vector<std::uint64_t> cycles;
    for (std::size_t p = 0; capture.clockAvailable && p < capture.pixelCount(); ++p) {
        if (capture.covered(p) && capture.clockEnd[p] >= capture.clockStart[p]) {
            cycles.push_back(capture.clockEnd[p] - capture.clockStart[p]);
        }
    }
    if (cycles.empty()) {
        return;
    }
    shortest = *std::min_element(cycles.begin(), cycles.end());
    const auto top = cycles.begin() + static_cast<std::ptrdiff_t>(
                                          static_cast<double>(cycles.size() - 1) *
                                          Vellumar::capture::ViewBuilder::timeRampPercentile);
    std::nth_element(cycles.begin(), top, cycles.end());
    longest = *top;
    const double span = static_cast<double>(longest - shortest);
    for (std::uint64_t c : cycles) {
        const double share = span > 0.0 ? static_cast<double>(c - shortest) / span : 0.0;
        counts[std::min(bins - 1, static_cast<int>(share * bins))] += 1.0f;
    }
    plot.count = bins;
    caption = std::to_string(shortest) + " to " + std::to_string(longest) + " cycles, tallest " +
              std::to_string(static_cast<long>(*std::max_element(counts, counts + bins))) + " px";
    plot.caption = caption.c_str();
}
