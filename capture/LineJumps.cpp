// Per-line medians: a median ignores the odd pixel pair that crosses a
// primitive's edge or catches another thread's fragment in between.
#include "LineJumps.h"

#include <algorithm>

namespace Vellumar::capture {

namespace {

// With an even count, the lower or the upper of the two middle values: the
// separation takes the one that speaks against a candidate, so that two
// lines, one on a real edge and one not, do not make an edge.
std::uint32_t median(std::vector<std::uint32_t>& values, bool upper) {
    if (values.empty()) {
        return 0;
    }
    const std::size_t at = upper ? values.size() / 2 : (values.size() - 1) / 2;
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(at);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

std::uint32_t distance(std::uint32_t a, std::uint32_t b) { return a > b ? a - b : b - a; }

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
        columnJumps[static_cast<std::size_t>(x)] = median(values, true);
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
        rowJumps[static_cast<std::size_t>(y)] = median(values, true);
    }
}

std::uint32_t LineJumps::jump(Axis axis, int line) const {
    const std::vector<std::uint32_t>& jumps = axis == Axis::x ? columnJumps : rowJumps;
    if (line <= 0 || static_cast<std::size_t>(line) >= jumps.size()) {
        return 0;
    }
    return jumps[static_cast<std::size_t>(line)];
}

double LineJumps::separation(Axis axis, int size, int offset) const {
    const std::vector<std::uint32_t>& jumps = axis == Axis::x ? columnJumps : rowJumps;
    if (size < 1 || offset < 0 || offset >= size) {
        return 0.0;
    }
    if (size == 1) {
        return 1.0;
    }
    // Lines grouped by their place inside the unit; each group's median
    // speaks for that place, so a few odd units (at the window edge, on a
    // primitive's edge) cannot decide alone.
    std::vector<std::uint32_t> values;
    auto medianAt = [&](std::size_t place, bool upper) {
        values.clear();
        for (std::size_t line = place; line < jumps.size();
             line += static_cast<std::size_t>(size)) {
            if (line > 0 && jumps[line] > 0) {
                values.push_back(jumps[line]);
            }
        }
        return median(values, upper);
    };
    const std::uint32_t boundary = medianAt(static_cast<std::size_t>(offset), false);
    if (boundary == 0) {
        return 0.0;
    }
    std::uint32_t inside = 0;
    for (std::size_t place = 0; place < static_cast<std::size_t>(size); ++place) {
        if (place != static_cast<std::size_t>(offset)) {
            inside = std::max(inside, medianAt(place, true));
        }
    }
    if (inside == 0) {
        return 1.0;
    }
    return static_cast<double>(boundary) / static_cast<double>(inside);
}

} // namespace Vellumar::capture
