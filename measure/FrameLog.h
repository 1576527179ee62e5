// What the program keeps of its frames, fed once per frame after its
// glFinish: a fixed ring of the last frames, the stretch of those since the
// settings last changed with its statistics and timer coverage, a copy held
// for the statistics panel, and the `w` recording. add() is the whole cost a
// frame pays for all of it.
//
// The settings are compared by a fingerprint that the caller makes. The
// first frame with new settings goes into the ring and the recording but not
// into the new stretch: it rebuilds the shader program after a macro change,
// and the first timer result after start-up is garbage on some renderers.
//
// Timer coverage: some renderers (a CPU rasteriser that writes the query's
// stamps per bin, say) time only part of the frame. Over the stretch's
// frames of at least coverageMinimumWallSeconds (shorter ones are mostly
// fixed overhead) with no NaN or negative time, coverage = sum(gpu seconds)
// / sum(wall seconds), judged once coverageMinimumFrames such frames exist;
// below coverageThreshold it fires, and the wall times are the ones to trust.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FrameRecording.h"

namespace Vellumar::measure {

inline constexpr double coverageMinimumWallSeconds = 0.001;
inline constexpr size_t coverageMinimumFrames = 3;
inline constexpr double coverageThreshold = 0.5;

enum class FrameSeries {
    gpu,
    wall
};

// Count, median, 5th and 95th percentiles, minimum and maximum of one series
// (Percentile.h); NaN times are left out, and no frames give NaN figures.
struct Summary {
    size_t count = 0;
    double median = NAN, p5 = NAN, p95 = NAN, min = NAN, max = NAN;
};

struct Coverage {
    size_t judgedFrames = 0;
    // NaN while too few frames were long enough to judge.
    double ratio = NAN;
    bool fires = false;

    bool judged() const { return !std::isnan(ratio); }
    // "4 %", as the console line, the panel and --report all show it: the
    // nearest whole per cent, but a coverage that fires never reads the
    // threshold (49.6 % shows 49, not 50).
    std::string percent() const;
    // "the GPU timer covers only 4 % of the frame's wall time on this renderer"
    std::string message() const;
};

class FrameLog {
public:
    static constexpr size_t defaultCapacity = 256;

    // Frames in a ring of fixed room, the last ones "since the change".
    class Stretch {
    public:
        // The frames since the change, oldest first.
        size_t size() const { return sinceChange; }
        const FrameTime& operator[](size_t i) const { return fromOldest(held - sinceChange + i); }
        // Allocates nothing for as many frames as the ring holds.
        Summary summary(FrameSeries series) const;
        // Over every frame since the change, also those the ring no longer holds.
        Coverage coverage() const;
        // One series of the last min(k, held) frames, those before the change
        // too, oldest first, into out; returns how many.
        size_t last(FrameSeries series, size_t k, double* out) const;

    private:
        friend class FrameLog;
        explicit Stretch(size_t capacity);
        void push(const FrameTime& frame, bool counted) noexcept;
        void startAfresh() noexcept;
        const FrameTime& fromOldest(size_t i) const;

        std::vector<FrameTime> slots;
        size_t next = 0; // where the next frame goes
        size_t held = 0;
        size_t sinceChange = 0;
        size_t judgedFrames = 0;
        double gpuSum = 0.0;
        double wallSum = 0.0;
        mutable std::vector<double> scratch;
    };

    // Room for `capacity` frames (at least one) in the ring, allocated here.
    explicit FrameLog(size_t capacity = defaultCapacity);

    // The frame path: constant time, no allocation. True only the first time
    // in the log's life that the coverage fires: the caller prints
    // live().coverage().message() then.
    bool add(const FrameTime& frame, uint64_t settingsFingerprint) noexcept;
    // A new stretch from the next frame on, under these settings (a batch
    // configuration after its warm-up frames). The next frame counts unless
    // no frame was drawn with these settings yet (no warm-up): it is then the
    // first after a change, and stays out like any such frame. Returns
    // whether it stays out.
    bool restart(uint64_t settingsFingerprint) noexcept;
    // Keeps the ring as it is for shown() until the settings differ from
    // `settingsFingerprint` (those in force from now on, e.g. after the
    // switch back to configuration mode), and restarts there.
    void hold(uint64_t settingsFingerprint);
    // Room for `capacity` frames (a batch run keeps each configuration's
    // frames); forgets every frame.
    void resize(size_t capacity);

    const Stretch& live() const { return current; }
    // What the statistics panel shows: the held stretch while it is kept.
    const Stretch& shown() const { return holdingFrames() ? held : current; }
    bool holdingFrames() const { return held.size() > 0; }

    FrameRecording& recording() { return frameRecording; }

private:
    Stretch current;
    Stretch held;
    FrameRecording frameRecording;
    uint64_t fingerprint = 0;
    bool started = false;
    bool restarted = false;
    bool warned = false;
};

} // namespace Vellumar::measure
