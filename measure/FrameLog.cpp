// The stretch bookkeeping: a change seen in add() starts the stretch after
// the frame, a restart() before the next one.
#include "FrameLog.h"

#include <algorithm>

namespace Vellumar::measure {

FrameLog::FrameLog(size_t capacity, CoverageRule coverageRule)
    : ring(capacity), held(capacity), rule(coverageRule) {}

bool FrameLog::add(const FrameTime& frame, uint64_t settingsFingerprint) noexcept {
    const bool changed = !started || settingsFingerprint != fingerprint;
    const bool opensConfiguration = changed || restarted;
    started = true;
    restarted = false;
    ring.push(frame);
    recorder.add(frame, opensConfiguration);
    if (changed) {
        fingerprint = settingsFingerprint;
        holding = false;
        ring.markSettingsChanged();
        sums = {};
        return false;
    }
    rule.add(sums, frame);
    return rule.shouldReport(rule.judge(sums));
}

void FrameLog::restart(uint64_t settingsFingerprint) noexcept {
    fingerprint = settingsFingerprint;
    started = true;
    restarted = true;
    ring.markSettingsChanged();
    sums = {};
}

void FrameLog::hold(uint64_t settingsFingerprint) noexcept {
    held.clear();
    // The held ring keeps the newest frames when the live one is larger.
    const size_t count = ring.sizeSinceChange();
    const size_t first = count - std::min(count, held.capacity());
    for (size_t i = first; i < count; ++i) {
        held.push(ring.sinceChange(i));
    }
    holding = held.size() > 0;
    restart(settingsFingerprint);
}

void FrameLog::resize(size_t capacity) {
    ring = FrameTimeRing(capacity);
    held.clear();
    holding = false;
    sums = {};
}

} // namespace Vellumar::measure
