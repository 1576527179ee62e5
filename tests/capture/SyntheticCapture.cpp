// Builds the per-thread pixel streams tile by tile, mixes them, and numbers
// the fragments in the mixed order.
#include "SyntheticCapture.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

using Vellumar::capture::FragmentCapture;

namespace testsupport {

namespace {

using Cell = std::pair<int, int>;

// Morton index, bit by bit: x takes the even bits, y the odd ones.
std::uint64_t morton(int x, int y) {
    std::uint64_t index = 0;
    for (int bit = 0; bit < 16; ++bit) {
        index |= static_cast<std::uint64_t>((x >> bit) & 1) << (2 * bit);
        index |= static_cast<std::uint64_t>((y >> bit) & 1) << (2 * bit + 1);
    }
    return index;
}

std::vector<Cell> walkCells(Walk walk, int gridX, int gridY) {
    std::vector<Cell> cells;
    for (int y = 0; y < gridY; ++y) {
        for (int x = 0; x < gridX; ++x) {
            cells.emplace_back(x, y);
        }
    }
    auto key = [&](const Cell& c) -> std::uint64_t {
        const auto [x, y] = c;
        switch (walk) {
        case Walk::rowMajor: return static_cast<std::uint64_t>(y) * gridX + x;
        case Walk::columnMajor: return static_cast<std::uint64_t>(x) * gridY + y;
        case Walk::serpentine:
            return static_cast<std::uint64_t>(y) * gridX + (y % 2 == 0 ? x : gridX - 1 - x);
        case Walk::zOrder: return morton(x, y);
        }
        return 0;
    };
    std::sort(cells.begin(), cells.end(),
              [&](const Cell& a, const Cell& b) { return key(a) < key(b); });
    return cells;
}

struct Fragment {
    std::size_t pixel;
    std::uint32_t subgroup;
    std::uint32_t lane;
};

// The pixels of one tile in shading order, as offsets from its corner.
std::vector<Cell> tilePixels(const SyntheticLayout& layout, const std::vector<Unit>& inside) {
    std::vector<Cell> pixels{{0, 0}};
    int parentWidth = layout.tileWidth;
    int parentHeight = layout.tileHeight;
    // Expand level by level: each unit's corner becomes its children's.
    std::vector<Unit> levels = inside;
    levels.push_back(Unit{1, 1, layout.pixelWalk});
    for (const Unit& unit : levels) {
        const std::vector<Cell> children =
            walkCells(unit.walk, parentWidth / unit.width, parentHeight / unit.height);
        std::vector<Cell> expanded;
        for (const Cell& corner : pixels) {
            for (const Cell& child : children) {
                expanded.emplace_back(corner.first + child.first * unit.width,
                                      corner.second + child.second * unit.height);
            }
        }
        pixels.swap(expanded);
        parentWidth = unit.width;
        parentHeight = unit.height;
    }
    return pixels;
}

} // namespace

FragmentCapture makeCapture(const SyntheticLayout& layout) {
    FragmentCapture capture = FragmentCapture::blank(layout.width, layout.height);
    const int gridX = (layout.width + layout.tileWidth - 1) / layout.tileWidth;
    const int gridY = (layout.height + layout.tileHeight - 1) / layout.tileHeight;
    const std::vector<Cell> tiles = walkCells(layout.tileWalk, gridX, gridY);
    const std::vector<Cell> offsets = tilePixels(layout, layout.inside);
    const std::vector<Cell> otherOffsets = tilePixels(layout, layout.otherInside);

    std::vector<std::vector<Fragment>> streams(static_cast<std::size_t>(layout.threads));
    std::uint32_t subgroup = 0;
    for (std::size_t t = 0; t < tiles.size(); ++t) {
        std::vector<Fragment>& stream = streams[t % streams.size()];
        int lane = 0;
        const bool other =
            layout.otherEvery > 0 && t % static_cast<std::size_t>(layout.otherEvery) == 0;
        for (const Cell& offset : other ? otherOffsets : offsets) {
            const int x = tiles[t].first * layout.tileWidth + offset.first;
            const int y = tiles[t].second * layout.tileHeight + offset.second;
            if (x >= layout.width || y >= layout.height) {
                continue;
            }
            stream.push_back(
                Fragment{capture.pixelIndex(x, y), subgroup, static_cast<std::uint32_t>(lane)});
            if (layout.subgroupSize > 0 && ++lane == layout.subgroupSize) {
                lane = 0;
                ++subgroup;
            }
        }
        if (lane != 0) {
            ++subgroup;
        }
    }

    if (layout.subgroupSize > 0) {
        capture.enableBallot();
    }
    std::mt19937 random(layout.seed);
    std::vector<std::size_t> next(streams.size(), 0);
    std::vector<std::size_t> live(streams.size());
    std::iota(live.begin(), live.end(), 0);
    std::uint32_t order = 0;
    while (!live.empty()) {
        const std::size_t pick =
            std::uniform_int_distribution<std::size_t>(0, live.size() - 1)(random);
        const std::size_t s = live[pick];
        if (next[s] == streams[s].size()) {
            live.erase(live.begin() + static_cast<std::ptrdiff_t>(pick));
            continue;
        }
        for (int i = 0; i < layout.run && next[s] < streams[s].size(); ++i) {
            const Fragment& f = streams[s][next[s]++];
            capture.order[f.pixel] = order;
            capture.overdraw[f.pixel] = 1;
            if (layout.subgroupSize > 0) {
                capture.subgroup[f.pixel] = f.subgroup;
                capture.lane[f.pixel] = f.lane;
            }
            order += layout.orderStep;
        }
    }
    if (layout.fromTop) {
        for (int y = 0; y < capture.height / 2; ++y) {
            for (int x = 0; x < capture.width; ++x) {
                const std::size_t a = capture.pixelIndex(x, y);
                const std::size_t b = capture.pixelIndex(x, capture.height - 1 - y);
                std::swap(capture.order[a], capture.order[b]);
                std::swap(capture.overdraw[a], capture.overdraw[b]);
                if (layout.subgroupSize > 0) {
                    std::swap(capture.subgroup[a], capture.subgroup[b]);
                    std::swap(capture.lane[a], capture.lane[b]);
                }
            }
        }
    }
    if (layout.coverStep > 0) {
        for (int y = 0; y < capture.height; ++y) {
            for (int x = 0; x < capture.width; ++x) {
                if (x % layout.coverStep >= layout.coverSide ||
                    y % layout.coverStep >= layout.coverSide) {
                    capture.order[capture.pixelIndex(x, y)] = FragmentCapture::notCovered;
                    capture.overdraw[capture.pixelIndex(x, y)] = 0;
                }
            }
        }
    }
    if (layout.clock) {
        addClock(capture, 100, 100);
    }
    return capture;
}

FragmentCapture makeNoise(int width, int height, std::uint32_t seed) {
    FragmentCapture capture = FragmentCapture::blank(width, height);
    std::iota(capture.order.begin(), capture.order.end(), 0u);
    std::shuffle(capture.order.begin(), capture.order.end(), std::mt19937(seed));
    std::fill(capture.overdraw.begin(), capture.overdraw.end(), 1u);
    return capture;
}

void addClock(FragmentCapture& capture, std::uint64_t cycles, std::uint64_t freezeCycles) {
    capture.enableClock();
    for (int y = 0; y < capture.height; ++y) {
        for (int x = 0; x < capture.width; ++x) {
            const std::size_t p = capture.pixelIndex(x, y);
            if (!capture.covered(p)) {
                continue;
            }
            std::uint64_t length = cycles;
            for (const Vellumar::capture::FreezePoint& f : capture.freezePoints) {
                // 64-bit sums: tests place points at the ends of the int range.
                if (x >= f.x && x < std::int64_t{f.x} + f.width && y >= f.y &&
                    y < std::int64_t{f.y} + f.height) {
                    length = freezeCycles;
                }
            }
            capture.clockStart[p] = 5000 + std::uint64_t{capture.order[p]} * 7;
            capture.clockEnd[p] = capture.clockStart[p] + length;
        }
    }
}

} // namespace testsupport
