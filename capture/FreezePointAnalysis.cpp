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

template <typename T>
std::optional<T> median(std::vector<T>& values) {
    if (values.empty()) {
        return std::nullopt;
    }
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Per pixel: the loop iterations of its first fragment (the one whose clocks
// the maps hold); empty without the log's loops.
std::vector<std::uint32_t> firstFragmentLoops(const FragmentCapture& capture) {
    const FragmentLog& log = capture.log;
    if (log.loops.empty()) {
        return {};
    }
    std::vector<std::uint32_t> loops(capture.pixelCount(), none);
    for (std::size_t i = 0; i < log.size(); ++i) {
        std::uint32_t& first = loops[log.pixel[i]];
        if (first == none) {
            first = log.loops[i];
        }
    }
    return loops;
}

// Pixels inside any of the capture's freeze points.
std::vector<std::uint8_t> insideAnyPoint(const FragmentCapture& capture) {
    std::vector<std::uint8_t> inside(capture.pixelCount(), 0);
    for (const FreezePoint& point : capture.freezePoints) {
        const PixelRect r = clip(point, capture.width, capture.height);
        for (int y = r.y0; y < r.y1; ++y) {
            for (int x = r.x0; x < r.x1; ++x) {
                inside[capture.pixelIndex(x, y)] = 1;
            }
        }
    }
    return inside;
}

// The line through (outside loops, cycles) and (inside loops, cycles).
void fitLoopCost(FreezePointTiming& timing) {
    if (!timing.insideLoopsMedian || !timing.outsideLoopsMedian || !timing.insideCyclesMedian ||
        !timing.outsideCyclesMedian || *timing.insideLoopsMedian == *timing.outsideLoopsMedian) {
        return;
    }
    const double loops = static_cast<double>(*timing.insideLoopsMedian) -
                         static_cast<double>(*timing.outsideLoopsMedian);
    const double cycles = static_cast<double>(*timing.insideCyclesMedian) -
                          static_cast<double>(*timing.outsideCyclesMedian);
    timing.cyclesPerLoop = cycles / loops;
    timing.fixedCycles = static_cast<double>(*timing.outsideCyclesMedian) -
                         *timing.cyclesPerLoop * static_cast<double>(*timing.outsideLoopsMedian);
}

} // namespace

std::optional<std::uint32_t> FreezePointAnalysis::loopsCutAt(const FragmentCapture& capture) {
    const FragmentLog& log = capture.log;
    if (log.loops.empty() || (capture.standardLoopsAsked == 0 && capture.freezingLoopsAsked == 0)) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t> inside = insideAnyPoint(capture);
    std::optional<std::uint32_t> cut;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const std::uint32_t asked =
            inside[log.pixel[i]] ? capture.freezingLoopsAsked : capture.standardLoopsAsked;
        if (log.loops[i] < asked) {
            cut = std::max(cut.value_or(0), log.loops[i]);
        }
    }
    return cut;
}

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

    const std::vector<std::uint8_t> insideAny = insideAnyPoint(capture);
    const std::vector<std::uint32_t> loopsOf = firstFragmentLoops(capture);
    std::vector<std::uint64_t> cycles;
    std::vector<std::uint32_t> loops;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        cycles.clear();
        loops.clear();
        for (int y = rects[i].y0; y < rects[i].y1; ++y) {
            for (int x = rects[i].x0; x < rects[i].x1; ++x) {
                const std::size_t p = capture.pixelIndex(x, y);
                if (!capture.covered(p)) {
                    continue;
                }
                ++result[i].insidePixels;
                if (!loopsOf.empty()) {
                    loops.push_back(loopsOf[p]);
                }
                if (capture.clockAvailable && capture.clockEnd[p] >= capture.clockStart[p]) {
                    cycles.push_back(capture.clockEnd[p] - capture.clockStart[p]);
                }
            }
        }
        result[i].insideCyclesMedian = median(cycles);
        result[i].insideLoopsMedian = median(loops);
    }
    if (result.empty()) {
        return result;
    }

    cycles.clear();
    loops.clear();
    for (std::size_t p = 0; p < capture.pixelCount(); ++p) {
        if (!capture.covered(p) || insideAny[p] != 0) {
            continue;
        }
        if (!loopsOf.empty()) {
            loops.push_back(loopsOf[p]);
        }
        if (capture.clockAvailable && capture.clockEnd[p] >= capture.clockStart[p]) {
            cycles.push_back(capture.clockEnd[p] - capture.clockStart[p]);
        }
    }
    const std::optional<std::uint64_t> outside = median(cycles);
    const std::optional<std::uint32_t> outsideLoops = median(loops);
    for (FreezePointTiming& timing : result) {
        timing.outsideLoopsMedian = outsideLoops;
        timing.outsideCyclesMedian = outside;
        fitLoopCost(timing);
        if (timing.insideCyclesMedian && outside && *outside > 0) {
            timing.ratio =
                static_cast<double>(*timing.insideCyclesMedian) / static_cast<double>(*outside);
        }
    }
    return result;
}

} // namespace Vellumar::capture
