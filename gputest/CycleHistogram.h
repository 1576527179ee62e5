// The Capture bar's histogram of the time view's cycles: shader clock end −
// start over the covered pixels, in bins of equal width from the shortest
// pixel to the one the time view shows at its brightest (its ramp
// percentile); longer pixels count in the last bin, as the view shows them
// at its brightest too. Worked out once per capture shown, into storage the
// bar's plot entry is bound to; a capture without a clock gives no values,
// and the entry takes no room.
#pragma once

#include <cstdint>
#include <string>

#include "TweakBar.h"

namespace Vellumar::capture {
struct FragmentCapture;
} // namespace Vellumar::capture

class CycleHistogram {
public:
    static constexpr int bins = 32;

    CycleHistogram();
    // The plot points into the histogram's own storage.
    CycleHistogram(const CycleHistogram&) = delete;
    CycleHistogram& operator=(const CycleHistogram&) = delete;

    void build(const Vellumar::capture::FragmentCapture& capture);

    // Bound to the bar's plot entry.
    Vellumar::tweakbar::PlotData plot;
    // The cycles at the left edge of the first bin and the right edge of the last.
    std::uint64_t shortest = 0;
    std::uint64_t longest = 0;

private:
    float counts[bins] = {};
    std::string caption;
};
