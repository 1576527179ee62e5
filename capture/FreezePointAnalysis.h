// How much longer the pixels inside each freeze point took than the rest:
// the median shader-clock cycles (end - start) inside the point's rectangle
// against the median over covered pixels outside every freeze point. Without
// the shader clock the timings are absent, not zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "FragmentCapture.h"

namespace Vellumar::capture {

struct FreezePointTiming {
    FreezePoint point;
    // Covered pixels inside the point's rectangle, clipped to the window.
    std::size_t insidePixels = 0;
    // Each empty without the clock or without pixels to take it from; the
    // ratio also when the outside median is 0.
    std::optional<std::uint64_t> insideCyclesMedian;
    std::optional<std::uint64_t> outsideCyclesMedian;
    std::optional<double> ratio;
};

namespace FreezePointAnalysis {

// One entry per freeze point of the capture, in its order. Pixels whose clock
// ran backwards (end before start) count as covered but carry no timing.
std::vector<FreezePointTiming> analyse(const FragmentCapture& capture);

} // namespace FreezePointAnalysis

} // namespace Vellumar::capture
