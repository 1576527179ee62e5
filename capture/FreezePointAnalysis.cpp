// Rectangles are clipped in 64-bit arithmetic so that any position or size
// (negative, or far outside the window) is safe.
#include "FreezePointAnalysis.h"

#include <algorithm>

namespace Vellumar::capture {

namespace {

struct PixelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0; // half-open
};

PixelRect clip(const FreezePoint& point, int width, int height) {
    auto clamp = [](std::int64_t v, int limit) {
        return static_cast<int>(std::clamp<std::int64_t>(v, 0, limit));
    };
    PixelRect r;
    r.x0 = clamp(point.x, width);
    r.y0 = clamp(point.y, height);
    r.x1 = clamp(static_cast<std::int64_t>(point.x) + std::max(point.width, 0), width);
    r.y1 = clamp(static_cast<std::int64_t>(point.y) + std::max(point.height, 0), height);
    return r;
}

std::optional<std::uint64_t> median(std::vector<std::uint64_t>& values) {
    if (values.empty()) {
        return std::nullopt;
    }
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

} // namespace

std::vector<FreezePointTiming> FreezePointAnalysis::analyse(const FragmentCapture& capture) {
    capture.validate();
    std::vector<FreezePointTiming> result;
    std::vector<PixelRect> rects;
    for (const FreezePoint& point : capture.freezePoints) {
        FreezePointTiming timing;
        timing.point = point;
        result.push_back(timing);
        rects.push_back(clip(point, capture.width, capture.height));
    }

    std::vector<std::uint8_t> insideAny(capture.pixelCount(), 0);
    std::vector<std::uint64_t> cycles;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        cycles.clear();
        for (int y = rects[i].y0; y < rects[i].y1; ++y) {
            for (int x = rects[i].x0; x < rects[i].x1; ++x) {
                const std::size_t p = capture.pixelIndex(x, y);
                insideAny[p] = 1;
                if (!capture.covered(p)) {
                    continue;
                }
                ++result[i].insidePixels;
                if (capture.clockAvailable && capture.clockEnd[p] >= capture.clockStart[p]) {
                    cycles.push_back(capture.clockEnd[p] - capture.clockStart[p]);
                }
            }
        }
        result[i].insideCyclesMedian = median(cycles);
    }
    if (!capture.clockAvailable || result.empty()) {
        return result;
    }

    cycles.clear();
    for (std::size_t p = 0; p < capture.pixelCount(); ++p) {
        if (capture.covered(p) && insideAny[p] == 0 &&
            capture.clockEnd[p] >= capture.clockStart[p]) {
            cycles.push_back(capture.clockEnd[p] - capture.clockStart[p]);
        }
    }
    const std::optional<std::uint64_t> outside = median(cycles);
    for (FreezePointTiming& timing : result) {
        timing.outsideCyclesMedian = outside;
        if (timing.insideCyclesMedian && outside && *outside > 0) {
            timing.ratio =
                static_cast<double>(*timing.insideCyclesMedian) / static_cast<double>(*outside);
        }
    }
    return result;
}

} // namespace Vellumar::capture
