// Per-line medians: a median ignores the odd pixel pair that crosses a
// primitive's edge or catches another thread's fragment in between.
#include "LineJumps.h"

#include <algorithm>

namespace Vellumar::capture {

namespace {

std::uint32_t median(std::vector<std::uint32_t>& values) {
    if (values.empty()) {
        return 0;
    }
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

std::uint32_t distance(std::uint32_t a, std::uint32_t b) {
    return a > b ? a - b : b - a;
}

} // namespace

LineJumps::LineJumps(const FragmentCapture& capture, const OrderIndex& index)
    : columnJumps(static_cast<std::size_t>(capture.width), 0),
      rowJumps(static_cast<std::size_t>(capture.height), 0) {
    const std::vector<std::uint32_t>& rank = index.ranks();
    std::vector<std::uint32_t> values;
    values.reserve(static_cast<std::size_t>(std::max(capture.width, capture.height)));

    for (int x = 1; x < capture.width; ++x) {
        values.clear();
        for (int y = 0; y < capture.height; ++y) {
            const std::uint32_t a = rank[capture.pixelIndex(x - 1, y)];
            const std::uint32_t b = rank[capture.pixelIndex(x, y)];
            if (a != OrderIndex::noRank && b != OrderIndex::noRank) {
                values.push_back(distance(a, b));
            }
        }
        columnJumps[static_cast<std::size_t>(x)] = median(values);
    }
    for (int y = 1; y < capture.height; ++y) {
        values.clear();
        for (int x = 0; x < capture.width; ++x) {
            const std::uint32_t a = rank[capture.pixelIndex(x, y - 1)];
            const std::uint32_t b = rank[capture.pixelIndex(x, y)];
            if (a != OrderIndex::noRank && b != OrderIndex::noRank) {
                values.push_back(distance(a, b));
            }
        }
        rowJumps[static_cast<std::size_t>(y)] = median(values);
    }
}

std::uint32_t LineJumps::jump(Axis axis, int line) const {
    const std::vector<std::uint32_t>& jumps = axis == Axis::x ? columnJumps : rowJumps;
    if (line <= 0 || static_cast<std::size_t>(line) >= jumps.size()) {
        return 0;
    }
    return jumps[static_cast<std::size_t>(line)];
}

double LineJumps::separation(Axis axis, int size) const {
    const std::vector<std::uint32_t>& jumps = axis == Axis::x ? columnJumps : rowJumps;
    if (size < 1) {
        return 0.0;
    }
    std::uint32_t boundaryMin = 0;
    bool anyBoundary = false;
    std::uint32_t insideMax = 0;
    for (std::size_t line = 1; line < jumps.size(); ++line) {
        const std::uint32_t jump = jumps[line];
        if (jump == 0) {
            continue;
        }
        if (line % static_cast<std::size_t>(size) == 0) {
            boundaryMin = anyBoundary ? std::min(boundaryMin, jump) : jump;
            anyBoundary = true;
        } else {
            insideMax = std::max(insideMax, jump);
        }
    }
    if (!anyBoundary) {
        return size == 1 ? 1.0 : 0.0;
    }
    if (size == 1 || insideMax == 0) {
        return 1.0;
    }
    return static_cast<double>(boundaryMin) / static_cast<double>(insideMax);
}

} // namespace Vellumar::capture
