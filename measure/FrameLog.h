// What the program keeps of its frames, fed once per frame after the frame's
// glFinish: the ring of the last frames with its "settings changed" marks,
// the running timer-coverage check that speaks once, a stretch of frames held
// for the statistics panel, and the `w` recording. add() is the whole cost a
// frame pays for its statistics.
//
// The settings are compared by a fingerprint that the caller makes (the
// registry's, with whatever else changes what a frame measures folded in).
// The first frame with new settings goes into the ring and the recording but
// not into the new stretch of "frames since the change": it is the frame that
// rebuilds the shader program after a macro change, and the first timer
// result after start-up is garbage on some renderers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "FrameRecording.h"
#include "FrameTimeRing.h"
#include "TimerCoverage.h"

namespace Vellumar::measure {

class FrameLog {
public:
    explicit FrameLog(size_t capacity = FrameTimeRing::defaultCapacity, CoverageRule rule = {});

    // The frame path: constant time, no allocation. True only the first time
    // in the log's life that the coverage rule fires over the frames since
    // the last change: the caller prints TimerCoverage::message(coverage())
    // then.
    bool add(const FrameTime& frame, uint64_t settingsFingerprint) noexcept;

    // A new stretch from the next frame on, that frame included, under these
    // settings (a batch configuration after its warm-up frames).
    void restart(uint64_t settingsFingerprint) noexcept;
    // Keeps the frames of the current stretch for shown() until the settings
    // differ from `settingsFingerprint` (those in force from now on, e.g.
    // after the switch back to configuration mode), and restarts there.
    void hold(uint64_t settingsFingerprint) noexcept;
    // Room for `capacity` frames in the ring (a batch run keeps each
    // configuration's frames); forgets every frame.
    void resize(size_t capacity);

    // Every frame, with the mark of the last change.
    const FrameTimeRing& frames() const { return ring; }
    // What the statistics panel shows: the held frames while they are kept,
    // else frames().
    const FrameTimeRing& shown() const { return holding ? held : ring; }
    bool holdingFrames() const { return holding; }
    // The coverage of every frame since the last change (not only those the
    // ring still holds).
    Coverage coverage() const { return rule.judge(sums); }
    const TimerCoverage& coverageRule() const { return rule; }

    FrameRecording& recording() { return recorder; }
    const FrameRecording& recording() const { return recorder; }

private:
    FrameTimeRing ring;
    FrameTimeRing held;
    TimerCoverage rule;
    CoverageSums sums;
    FrameRecording recorder;
    uint64_t fingerprint = 0;
    bool started = false;
    bool restarted = false;
    bool holding = false;
};

} // namespace Vellumar::measure
