// The stretch bookkeeping: a change seen in add() starts the stretch after
// the frame, a restart() before the next one. The ring's index arithmetic:
// `next` is where the next frame goes, so the oldest held sits `held` slots
// before it.
#include "FrameLog.h"

#include <algorithm>

#include "Percentile.h"

namespace Vellumar::measure {

std::string Coverage::percent() const {
    double shown = std::round(ratio * 100.0);
    if (fires && shown >= coverageThreshold * 100.0) {
        shown = coverageThreshold * 100.0 - 1.0;
    }
    // Whatever the timer returned, the number stays printable.
    shown = shown >= 0.0 ? std::min(shown, 1e9) : 0.0;
    return std::to_string(static_cast<long long>(shown)) + " %";
}

std::string Coverage::message() const {
    return "the GPU timer covers only " + percent() + " of the frame's wall time on this renderer";
}

FrameLog::Stretch::Stretch(size_t capacity) : slots(std::max<size_t>(capacity, 1)) {
    scratch.reserve(slots.size());
}

void FrameLog::Stretch::push(const FrameTime& frame, bool counted) noexcept {
    slots[next] = frame;
    next = next + 1 == slots.size() ? 0 : next + 1;
    held = std::min(held + 1, slots.size());
    if (!counted) {
        return;
    }
    sinceChange = std::min(sinceChange + 1, slots.size());
    // The comparisons are false for NaN, which leaves such frames out too.
    if (frame.gpuSeconds >= 0.0 && frame.wallSeconds >= coverageMinimumWallSeconds) {
        gpuSum += frame.gpuSeconds;
        wallSum += frame.wallSeconds;
        ++judgedFrames;
    }
}

void FrameLog::Stretch::startAfresh() noexcept {
    sinceChange = judgedFrames = 0;
    gpuSum = wallSum = 0.0;
}

const FrameTime& FrameLog::Stretch::fromOldest(size_t i) const {
    // next - held + i without a division per call.
    const size_t size = slots.size();
    size_t index = next + size - held;
    index = index >= size ? index - size : index;
    index += i;
    return slots[index >= size ? index - size : index];
}

Summary FrameLog::Stretch::summary(FrameSeries series) const {
    scratch.clear();
    for (size_t i = 0; i < sinceChange; ++i) {
        const FrameTime& frame = (*this)[i];
        const double value = series == FrameSeries::gpu ? frame.gpuSeconds : frame.wallSeconds;
        if (!std::isnan(value)) {
            scratch.push_back(value);
        }
    }
    // Braced: evaluated in order, the count before the sorting.
    return {scratch.size(),           percentile(scratch, 50.0),
            percentile(scratch, 5.0), percentile(scratch, 95.0),
            percentile(scratch, 0.0), percentile(scratch, 100.0)};
}

Coverage FrameLog::Stretch::coverage() const {
    Coverage coverage;
    coverage.judgedFrames = judgedFrames;
    if (judgedFrames >= coverageMinimumFrames && wallSum > 0.0 && std::isfinite(gpuSum) &&
        std::isfinite(wallSum)) {
        coverage.ratio = gpuSum / wallSum;
        coverage.fires = coverage.ratio < coverageThreshold;
    }
    return coverage;
}

size_t FrameLog::Stretch::last(FrameSeries series, size_t k, double* out) const {
    const size_t count = std::min(k, held);
    for (size_t i = 0; i < count; ++i) {
        const FrameTime& frame = fromOldest(held - count + i);
        out[i] = series == FrameSeries::gpu ? frame.gpuSeconds : frame.wallSeconds;
    }
    return count;
}

FrameLog::FrameLog(size_t capacity) : current(capacity), held(capacity) {}

bool FrameLog::add(const FrameTime& frame, uint64_t settingsFingerprint) noexcept {
    const bool changed = !started || settingsFingerprint != fingerprint;
    frameRecording.add(frame, changed || restarted);
    started = true;
    restarted = false;
    current.push(frame, !changed);
    if (changed) {
        fingerprint = settingsFingerprint;
        held.startAfresh();
        current.startAfresh();
        return false;
    }
    const bool warns = !warned && current.coverage().fires;
    warned = warned || warns;
    return warns;
}

bool FrameLog::restart(uint64_t settingsFingerprint) noexcept {
    current.startAfresh();
    // add() sees the change then.
    if (!started || settingsFingerprint != fingerprint) {
        return true;
    }
    restarted = true;
    return false;
}

void FrameLog::hold(uint64_t settingsFingerprint) {
    // Rings of one size: the copy reuses the held one's room.
    held = current;
    // From the held frames on, the stretch goes on under the new settings.
    fingerprint = settingsFingerprint;
    started = true;
    restarted = true;
    current.startAfresh();
}

void FrameLog::resize(size_t capacity) {
    current = Stretch(capacity);
    held.startAfresh();
}

} // namespace Vellumar::measure
