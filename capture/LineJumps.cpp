// Medians everywhere: per line (or band) over its pixel pairs, per place over
// its lines. A median ignores the odd pair that crosses a primitive's edge or
// catches another thread's fragment in between, and the odd unit at the
// window's edge.
#include "LineJumps.h"

#include <algorithm>
#include <tuple>

namespace Vellumar::capture {

namespace {

// With an even count, the lower or the upper of the two middle values: the
// separation takes the one that speaks against a candidate, so that two
// lines, one on a real edge and one not, do not make an edge.
template <typename It>
std::uint32_t median(It begin, It end, bool upper) {
    if (begin == end) {
        return 0;
    }
    const auto count = end - begin;
    const auto middle = begin + (upper ? count / 2 : (count - 1) / 2);
    std::nth_element(begin, middle, end);
    return *middle;
}

std::uint32_t distance(std::uint32_t a, std::uint32_t b) { return a > b ? a - b : b - a; }

enum class Role {
    none,
    boundary,
    inside
};

// What the band of lines first..last is to units of `size` with their edges
// on the lines at `offset`: a boundary when it holds one of those lines.
Role roleOf(int first, int last, int size, int offset) {
    const int width = last - first + 1;
    if (width > 1 && 2 * width > size) {
        return Role::none;
    }
    const int firstBoundary = first + ((offset - first) % size + size) % size;
    return firstBoundary <= last ? Role::boundary : Role::inside;
}

struct GapPair {
    int first;
    int last;
    std::uint32_t jump;
};

} // namespace

LineJumps::LineJumps(const FragmentCapture& capture, const OrderIndex& index) {
    measure(capture, index, Axis::x);
    measure(capture, index, Axis::y);
}

void LineJumps::measure(const FragmentCapture& capture, const OrderIndex& index, Axis axis) {
    const std::vector<std::uint32_t>& rank = index.ranks();
    const int lines = axis == Axis::x ? capture.width : capture.height;
    const int across = axis == Axis::x ? capture.height : capture.width;
    std::vector<std::uint32_t>& jumps = axis == Axis::x ? columnJumps : rowJumps;
    std::vector<Band>& bands = axis == Axis::x ? columnGaps : rowGaps;
    auto rankAt = [&](int line, int other) {
        return axis == Axis::x ? rank[capture.pixelIndex(line, other)]
                               : rank[capture.pixelIndex(other, line)];
    };

    jumps.assign(static_cast<std::size_t>(lines), 0);
    std::vector<std::uint32_t> values;
    values.reserve(static_cast<std::size_t>(across));
    for (int line = 1; line < lines; ++line) {
        values.clear();
        for (int other = 0; other < across; ++other) {
            const std::uint32_t a = rankAt(line - 1, other);
            const std::uint32_t b = rankAt(line, other);
            if (a != OrderIndex::noRank && b != OrderIndex::noRank) {
                values.push_back(distance(a, b));
            }
        }
        jumps[static_cast<std::size_t>(line)] = median(values.begin(), values.end(), true);
    }

    if (index.fragments() == capture.pixelCount()) {
        return; // no gaps
    }
    // Pixels go in memory order, each row or column remembering its last.
    std::vector<GapPair> gaps;
    std::vector<int> previous(static_cast<std::size_t>(across), -1);
    std::vector<std::uint32_t> previousRank(static_cast<std::size_t>(across), 0);
    for (int y = 0; y < capture.height; ++y) {
        for (int x = 0; x < capture.width; ++x) {
            const std::uint32_t r = rank[capture.pixelIndex(x, y)];
            if (r == OrderIndex::noRank) {
                continue;
            }
            const int line = axis == Axis::x ? x : y;
            const std::size_t other = static_cast<std::size_t>(axis == Axis::x ? y : x);
            if (previous[other] >= 0 && line - previous[other] > 1) {
                gaps.push_back(
                    GapPair{previous[other] + 1, line, distance(previousRank[other], r)});
            }
            previous[other] = line;
            previousRank[other] = r;
        }
    }
    std::sort(gaps.begin(), gaps.end(), [](const GapPair& a, const GapPair& b) {
        return std::tie(a.first, a.last) < std::tie(b.first, b.last);
    });
    for (std::size_t begin = 0; begin < gaps.size();) {
        std::size_t end = begin;
        values.clear();
        for (; end < gaps.size() && gaps[end].first == gaps[begin].first &&
               gaps[end].last == gaps[begin].last;
             ++end) {
            values.push_back(gaps[end].jump);
        }
        bands.push_back(
            Band{gaps[begin].first, gaps[begin].last, median(values.begin(), values.end(), true)});
        begin = end;
    }
}

double LineJumps::separation(Axis axis, int size, int offset) const {
    const std::vector<std::uint32_t>& jumps = axis == Axis::x ? columnJumps : rowJumps;
    const std::vector<Band>& bands = axis == Axis::x ? columnGaps : rowGaps;
    if (size < 1 || offset < 0 || offset >= size) {
        return 0.0;
    }
    if (size == 1) {
        return 1.0;
    }
    // The bands' jumps: those on a boundary, and the others bucketed by the
    // places they cover.
    std::vector<std::uint32_t> boundaryBands;
    std::vector<std::size_t> start(bands.empty() ? 0 : static_cast<std::size_t>(size) + 1, 0);
    std::vector<std::uint32_t> insideBands;
    if (!bands.empty()) {
        for (const Band& band : bands) {
            const Role role = roleOf(band.first, band.last, size, offset);
            if (role == Role::boundary) {
                boundaryBands.push_back(band.jump);
            } else if (role == Role::inside) {
                for (int line = band.first; line <= band.last; ++line) {
                    ++start[static_cast<std::size_t>(line % size) + 1];
                }
            }
        }
        for (std::size_t p = 1; p < start.size(); ++p) {
            start[p] += start[p - 1];
        }
        insideBands.resize(start.back());
        std::vector<std::size_t> next(start.begin(), start.end() - 1);
        for (const Band& band : bands) {
            if (roleOf(band.first, band.last, size, offset) == Role::inside) {
                for (int line = band.first; line <= band.last; ++line) {
                    insideBands[next[static_cast<std::size_t>(line % size)]++] = band.jump;
                }
            }
        }
    }
    // Lines grouped by their place inside the unit; each group's median
    // speaks for that place, so that a few odd units cannot decide alone.
    std::vector<std::uint32_t> values;
    auto medianAt = [&](std::size_t place, bool upper) {
        values.clear();
        for (std::size_t line = place; line < jumps.size();
             line += static_cast<std::size_t>(size)) {
            if (jumps[line] > 0) {
                values.push_back(jumps[line]);
            }
        }
        if (place == static_cast<std::size_t>(offset)) {
            values.insert(values.end(), boundaryBands.begin(), boundaryBands.end());
        } else if (!start.empty()) {
            values.insert(values.end(),
                          insideBands.begin() + static_cast<std::ptrdiff_t>(start[place]),
                          insideBands.begin() + static_cast<std::ptrdiff_t>(start[place + 1]));
        }
        return median(values.begin(), values.end(), upper);
    };
    const std::uint32_t edge = medianAt(static_cast<std::size_t>(offset), false);
    if (edge == 0) {
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
    return static_cast<double>(edge) / static_cast<double>(inside);
}

} // namespace Vellumar::capture
