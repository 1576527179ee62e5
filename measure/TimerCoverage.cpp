// The coverage sums, shared by the array and the ring forms.
#include "TimerCoverage.h"

#include <cmath>

namespace Vellumar::measure {

TimerCoverage::TimerCoverage(CoverageRule rule) : limits(rule) {}

template <typename FrameAt>
Coverage TimerCoverage::evaluateFrames(size_t count, FrameAt frameAt) const {
    Coverage coverage;
    double gpuSum = 0.0;
    double wallSum = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const FrameTime& frame = frameAt(i);
        // The comparisons are false for NaN, which drops such frames too.
        const bool usable = frame.gpuSeconds >= 0.0 && frame.wallSeconds >= 0.0;
        if (usable && frame.wallSeconds >= limits.minimumWallSeconds) {
            gpuSum += frame.gpuSeconds;
            wallSum += frame.wallSeconds;
            ++coverage.judgedFrames;
        }
    }
    if (coverage.judgedFrames >= limits.minimumFrames && coverage.judgedFrames > 0 &&
        wallSum > 0.0 && std::isfinite(gpuSum) && std::isfinite(wallSum)) {
        coverage.ratio = gpuSum / wallSum;
        coverage.fires = coverage.ratio < limits.threshold;
    }
    return coverage;
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
