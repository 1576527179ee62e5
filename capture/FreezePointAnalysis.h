// How much longer the pixels inside each freeze point took than the rest:
// the median shader-clock cycles (end - start) inside the point's rectangle
// against the median over covered pixels outside every freeze point. Without
// the shader clock the timings are absent, not zero.
//
// With the loop iterations each fragment really ran (the log's loops), the
// two medians are also fitted as fixed cycles plus cycles per iteration, and
// the iterations are checked against the counts the frame asked: a driver
// that stops loops early (llvmpipe) makes the cycle ratio far smaller than
// the ratio of the counts asked, and says so here.
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
    // Median loop iterations run by the first fragments inside and outside,
    // with the log's loops; the rest also with the clock and two different
    // iteration counts.
    std::optional<std::uint32_t> insideLoopsMedian;
    std::optional<std::uint32_t> outsideLoopsMedian;
    std::optional<double> cyclesPerLoop;
    std::optional<double> fixedCycles;
};

namespace FreezePointAnalysis {

// One entry per freeze point of the capture, in its order. Pixels whose clock
// ran backwards (end before start) count as covered but carry no timing.
std::vector<FreezePointTiming> analyse(const FragmentCapture& capture);

// The iteration count at which loops stopped: the most iterations any
// fragment ran of those that ran fewer than the frame asked of them. Empty
// where every fragment ran its count, or the log or the counts asked (both
// 0) are missing.
std::optional<std::uint32_t> loopsCutAt(const FragmentCapture& capture);

} // namespace FreezePointAnalysis

} // namespace Vellumar::capture
