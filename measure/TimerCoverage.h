// Does the GPU timer measure the frame? Some renderers (a CPU rasteriser
// that writes the query's stamps per bin, say) report only part of the work.
// The rule compares the timer with the wall clock around glFinish:
//
//   coverage = sum(gpu seconds) / sum(wall seconds)
//
// over the frames whose wall time is at least minimumWallSeconds (shorter
// frames are mostly fixed overhead and say nothing about the timer), once at
// least minimumFrames such frames exist. It fires when coverage is below the
// threshold, and then the wall times are the figures to trust. Frames with a
// NaN or negative time are left out.
//
// The latch makes the console line appear once: shouldReport() is true the
// first time a firing result is offered, until resetLatch().
#pragma once

#include <cmath>
#include <cstddef>
#include <limits>
#include <string>

#include "FrameTimeRing.h"

namespace Vellumar::measure {

struct CoverageRule {
    double minimumWallSeconds = 0.001;
    size_t minimumFrames = 3;
    double threshold = 0.5;
};

struct Coverage {
    size_t judgedFrames = 0;
    // NaN while too few frames were long enough to judge.
    double ratio = std::numeric_limits<double>::quiet_NaN();
    bool fires = false;

    bool judged() const { return !std::isnan(ratio); }
};

// The running sums behind a coverage, for a caller that judges frame by
// frame as they come (constant time per frame) instead of over a set.
struct CoverageSums {
    size_t judgedFrames = 0;
    double gpuSeconds = 0.0;
    double wallSeconds = 0.0;
};

class TimerCoverage {
public:
    explicit TimerCoverage(CoverageRule rule = {});

    Coverage evaluate(const FrameTime* frames, size_t count) const;
    // The frames since the ring's settings last changed.
    Coverage evaluate(const FrameTimeRing& ring) const;

    // The same rule one frame at a time: add() counts the frame as evaluate()
    // would, judge() gives what evaluate() gives for the frames added.
    void add(CoverageSums& sums, const FrameTime& frame) const noexcept;
    Coverage judge(const CoverageSums& sums) const noexcept;

    // True once for a firing coverage: the caller prints message() then.
    bool shouldReport(const Coverage& coverage);
    bool reported() const { return latched; }
    void resetLatch() { latched = false; }

    // "the GPU timer covers only N % of the frame's wall time on this
    // renderer", N the coverage in per cent rounded down (so a coverage that
    // fires never reads 50).
    static std::string message(const Coverage& coverage);

    const CoverageRule& rule() const { return limits; }

private:
    template <typename FrameAt>
    Coverage evaluateFrames(size_t count, FrameAt frameAt) const;

    CoverageRule limits;
    bool latched = false;
};

} // namespace Vellumar::measure
