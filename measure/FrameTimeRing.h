// The last frames' timings, GPU (timer query) and wall clock (around
// glFinish), kept in a fixed ring so that the per-frame push neither
// allocates nor grows. A "settings changed" mark splits the ring: statistics
// and the coverage rule look only at the frames drawn since the settings
// last changed, while a plot can still show every frame held.
#pragma once

#include <cstddef>
#include <vector>

namespace Vellumar::measure {

enum class FrameSeries {
    gpu,
    wall
};

struct FrameTime {
    double gpuSeconds = 0.0;
    double wallSeconds = 0.0;

    double of(FrameSeries series) const {
        return series == FrameSeries::gpu ? gpuSeconds : wallSeconds;
    }
};

class FrameTimeRing {
public:
    static constexpr size_t defaultCapacity = 256;

    // Holds the last `capacity` frames (at least one; 0 is taken as 1). The
    // storage is allocated here once.
    explicit FrameTimeRing(size_t capacity = defaultCapacity);

    // Adds the newest frame, overwriting the oldest once the ring is full.
    // Constant time, no allocation: safe on the frame path.
    void push(const FrameTime& frame) noexcept;
    // From now on only frames pushed after this call count as "since change".
    void markSettingsChanged() noexcept;
    // Forgets every frame.
    void clear() noexcept;

    size_t capacity() const { return slots.size(); }
    // Frames held, at most capacity().
    size_t size() const { return held; }
    // Frames held that were pushed after the last markSettingsChanged().
    size_t sizeSinceChange() const { return heldSinceChange; }

    // The i-th frame held, oldest first (i < size()).
    const FrameTime& fromOldest(size_t i) const;
    // The i-th frame since the last change, oldest first (i < sizeSinceChange()).
    const FrameTime& sinceChange(size_t i) const;

    // Copies one series of the last min(k, size()) frames, oldest first, into
    // out (room for k values, e.g. for a plot); returns how many it copied.
    size_t copyLast(FrameSeries series, size_t k, float* out) const;
    size_t copyLast(FrameSeries series, size_t k, double* out) const;

private:
    template <typename T>
    size_t copyLastAs(FrameSeries series, size_t k, T* out) const;

    std::vector<FrameTime> slots;
    size_t next = 0; // where the next push goes
    size_t held = 0;
    size_t heldSinceChange = 0;
};

} // namespace Vellumar::measure
