// The ring's index arithmetic: `next` is where the next frame goes, so the
// oldest frame held sits `held` slots before it.
#include "FrameTimeRing.h"

#include <algorithm>

namespace Vellumar::measure {

FrameTimeRing::FrameTimeRing(size_t capacity) : slots(std::max<size_t>(capacity, 1)) {}

void FrameTimeRing::push(const FrameTime& frame) noexcept {
    const size_t slotCount = slots.size();
    slots[next] = frame;
    next = next + 1 == slotCount ? 0 : next + 1;
    held = std::min(held + 1, slotCount);
    heldSinceChange = std::min(heldSinceChange + 1, slotCount);
}

void FrameTimeRing::markSettingsChanged() noexcept { heldSinceChange = 0; }

void FrameTimeRing::clear() noexcept {
    next = 0;
    held = 0;
    heldSinceChange = 0;
}

const FrameTime& FrameTimeRing::fromOldest(size_t i) const {
    // next - held + i without a division per call, which passes over the
    // whole ring repeat; the last modulo only keeps a wrong index inside the
    // storage.
    const size_t size = slots.size();
    size_t index = next + size - held;
    if (index >= size) {
        index -= size;
    }
    index += i;
    if (index >= size) {
        index -= size;
    }
    if (index >= size) {
        index %= size;
    }
    return slots[index];
}

const FrameTime& FrameTimeRing::sinceChange(size_t i) const {
    return fromOldest(held - heldSinceChange + i);
}

template <typename T>
size_t FrameTimeRing::copyLastAs(FrameSeries series, size_t k, T* out) const {
    const size_t count = std::min(k, held);
    const size_t first = held - count;
    for (size_t i = 0; i < count; ++i) {
        out[i] = static_cast<T>(fromOldest(first + i).of(series));
    }
    return count;
}

size_t FrameTimeRing::copyLast(FrameSeries series, size_t k, float* out) const {
    return copyLastAs(series, k, out);
}

size_t FrameTimeRing::copyLast(FrameSeries series, size_t k, double* out) const {
    return copyLastAs(series, k, out);
}

} // namespace Vellumar::measure
