// The coverage sums, one frame at a time; the array and the ring forms
// add up their frames the same way.
#include "TimerCoverage.h"

#include <cmath>

namespace Vellumar::measure {

TimerCoverage::TimerCoverage(CoverageRule rule) : limits(rule) {}

void TimerCoverage::add(CoverageSums& sums, const FrameTime& frame) const noexcept {
    // The comparisons are false for NaN, which drops such frames too.
    const bool usable = frame.gpuSeconds >= 0.0 && frame.wallSeconds >= 0.0;
    if (usable && frame.wallSeconds >= limits.minimumWallSeconds) {
        sums.gpuSeconds += frame.gpuSeconds;
        sums.wallSeconds += frame.wallSeconds;
        ++sums.judgedFrames;
    }
}

Coverage TimerCoverage::judge(const CoverageSums& sums) const noexcept {
    Coverage coverage;
    coverage.judgedFrames = sums.judgedFrames;
    if (sums.judgedFrames >= limits.minimumFrames && sums.judgedFrames > 0 &&
        sums.wallSeconds > 0.0 && std::isfinite(sums.gpuSeconds) &&
        std::isfinite(sums.wallSeconds)) {
        coverage.ratio = sums.gpuSeconds / sums.wallSeconds;
        coverage.fires = coverage.ratio < limits.threshold;
    }
    return coverage;
}

template <typename FrameAt>
Coverage TimerCoverage::evaluateFrames(size_t count, FrameAt frameAt) const {
    CoverageSums sums;
    for (size_t i = 0; i < count; ++i) {
        add(sums, frameAt(i));
    }
    return judge(sums);
}

Coverage TimerCoverage::evaluate(const FrameTime* frames, size_t count) const {
    return evaluateFrames(count, [frames](size_t i) -> const FrameTime& { return frames[i]; });
}

Coverage TimerCoverage::evaluate(const FrameTimeRing& ring) const {
    return evaluateFrames(ring.sizeSinceChange(),
                          [&ring](size_t i) -> const FrameTime& { return ring.sinceChange(i); });
}

bool TimerCoverage::shouldReport(const Coverage& coverage) {
    if (!coverage.fires || latched) {
        return false;
    }
    latched = true;
    return true;
}

std::string TimerCoverage::message(const Coverage& coverage) {
    // A coverage that does not fire can exceed 100 %; cap the number so that
    // it stays printable whatever the timer returned.
    double percent = std::floor(coverage.ratio * 100.0);
    if (!(percent >= 0.0)) {
        percent = 0.0;
    }
    if (percent > 1e9) {
        percent = 1e9;
    }
    return "the GPU timer covers only " + std::to_string(static_cast<long long>(percent)) +
           " % of the frame's wall time on this renderer";
}

} // namespace Vellumar::measure
