// One pass over the fragments in shading order gives every tile's first and
// last rank and each pixel's successor inside its tile; each score is one
// step over those arrays.
#include "TileScorer.h"

#include <algorithm>
#include <utility>

namespace Vellumar::capture {

TileScorer::TileScorer(const FragmentCapture& capture, const OrderIndex& index, Coverage coverage)
    : capture(capture), index(index), coverage(coverage), columnOf(capture.pixelCount()),
      rowOf(capture.pixelCount()) {
    // FragmentCapture::maxSide keeps coordinates within 16 bits.
    std::size_t p = 0;
    for (int y = 0; y < capture.height; ++y) {
        for (int x = 0; x < capture.width; ++x, ++p) {
            columnOf[p] = static_cast<std::uint16_t>(x);
            rowOf[p] = static_cast<std::uint16_t>(y);
        }
    }
}

TileScorer::TileScorer(TileScorer&& frame, const OrderIndex& index, Coverage coverage)
    : capture(frame.capture), index(index), coverage(coverage), columnOf(std::move(frame.columnOf)),
      rowOf(std::move(frame.rowOf)), tileColumn(std::move(frame.tileColumn)),
      tileRowStart(std::move(frame.tileRowStart)), whole(std::move(frame.whole)),
      first(std::move(frame.first)), last(std::move(frame.last)), count(std::move(frame.count)),
      lastPixel(std::move(frame.lastPixel)), next(std::move(frame.next)),
      tileOrder(std::move(frame.tileOrder)), overlapping(std::move(frame.overlapping)) {}

TileMeasure TileScorer::measure(const TileGrid& grid, std::vector<TileCell>* sequence) {
    return score(grid, sequence, true);
}

TileMeasure TileScorer::measureTightness(const TileGrid& grid, std::vector<TileCell>* sequence) {
    return score(grid, sequence, false);
}

TileMeasure TileScorer::score(const TileGrid& grid, std::vector<TileCell>* sequence, bool all) {
    TileMeasure result;
    result.grid = grid;
    if (sequence != nullptr) {
        sequence->clear();
    }
    if (!prepare(grid, all)) {
        return result;
    }
    scoreTightness(result);
    if (all) {
        scoreRepeatability(result);
        scoreOverlap(result);
    }
    if (sequence != nullptr) {
        listTiles(*sequence);
    }
    return result;
}

std::vector<std::uint32_t> TileScorer::fullTilesInOrder(const TileGrid& grid, std::size_t limit) {
    std::vector<std::uint32_t> pixels;
    if (!prepare(grid, false)) {
        return pixels;
    }
    std::size_t fullTiles = 0;
    for (std::size_t t = 0; t < whole.size(); ++t) {
        fullTiles += full(t);
    }
    limit = std::max<std::size_t>(limit, 1);
    const std::uint32_t every = static_cast<std::uint32_t>((fullTiles + limit - 1) / limit);
    // Where each kept tile's pixels start, none for the others.
    std::vector<std::uint32_t> start(whole.size(), none);
    std::uint32_t kept = 0;
    for (std::uint32_t t = 0; t < whole.size(); ++t) {
        // Knuth's multiplicative hash: the kept tiles follow no pattern.
        if (full(t) && (every <= 1 || (t * 2654435761u >> 8) % every == 0)) {
            start[t] = kept;
            kept += count[t];
        }
    }
    pixels.resize(kept);
    for (std::uint32_t p : index.pixelsInOrder()) {
        const std::uint32_t t = tileRowStart[rowOf[p]] + tileColumn[columnOf[p]];
        if (start[t] != none) {
            pixels[start[t]++] = p;
        }
    }
    return pixels;
}

bool TileScorer::prepare(const TileGrid& grid, bool successors) {
    if (grid.width < 1 || grid.height < 1 || grid.offsetX < 0 || grid.offsetX >= grid.width ||
        grid.offsetY < 0 || grid.offsetY >= grid.height || index.fragments() == 0) {
        return false;
    }
    // The walk and the block search lay out the tile grid just measured.
    const bool same = laidOut && grid.width == laidOutGrid.width &&
                      grid.height == laidOutGrid.height && grid.offsetX == laidOutGrid.offsetX &&
                      grid.offsetY == laidOutGrid.offsetY;
    if (same && (laidOutWithSuccessors || !successors)) {
        return true;
    }
    layOut(grid);
    followFragments(successors);
    countCoverage(grid);
    laidOut = true;
    laidOutGrid = grid;
    laidOutWithSuccessors = successors;
    return true;
}

void TileScorer::layOut(const TileGrid& grid) {
    gridX = grid.columns(capture.width);
    gridY = grid.rows(capture.height);
    const std::size_t tiles = static_cast<std::size_t>(gridX) * static_cast<std::size_t>(gridY);
    tileColumn.resize(static_cast<std::size_t>(capture.width));
    for (int x = 0; x < capture.width; ++x) {
        tileColumn[static_cast<std::size_t>(x)] = static_cast<std::uint32_t>(grid.column(x));
    }
    tileRowStart.resize(static_cast<std::size_t>(capture.height));
    for (int y = 0; y < capture.height; ++y) {
        tileRowStart[static_cast<std::size_t>(y)] =
            static_cast<std::uint32_t>(grid.row(y)) * static_cast<std::uint32_t>(gridX);
    }
    whole.assign(tiles, 0);
    for (int ty = 0; ty < gridY; ++ty) {
        for (int tx = 0; tx < gridX; ++tx) {
            whole[tileAt(tx, ty)] =
                grid.left(tx) >= 0 && grid.left(tx) + grid.width <= capture.width &&
                grid.bottom(ty) >= 0 && grid.bottom(ty) + grid.height <= capture.height;
        }
    }
}

void TileScorer::followFragments(bool successors) {
    const std::size_t tiles = whole.size();
    first.assign(tiles, none);
    last.assign(tiles, none);
    count.assign(tiles, 0);
    lastPixel.assign(tiles, none);
    next.assign(successors ? capture.pixelCount() : 0, none);
    tileOrder.clear();
    const std::vector<std::uint32_t>& inOrder = index.pixelsInOrder();
    for (std::size_t r = 0; r < inOrder.size(); ++r) {
        const std::uint32_t p = inOrder[r];
        const std::size_t t = tileRowStart[rowOf[p]] + tileColumn[columnOf[p]];
        if (count[t] == 0) {
            first[t] = static_cast<std::uint32_t>(r);
            tileOrder.push_back(static_cast<std::uint32_t>(t));
        } else if (successors) {
            next[lastPixel[t]] = p;
        }
        last[t] = static_cast<std::uint32_t>(r);
        lastPixel[t] = p;
        ++count[t];
    }
}

void TileScorer::countCoverage(const TileGrid& grid) {
    fullCount = static_cast<std::uint64_t>(grid.area());
    if (coverage == Coverage::likeTheFullest) {
        fullCount = 0;
        for (std::size_t t = 0; t < whole.size(); ++t) {
            if (whole[t] != 0) {
                fullCount = std::max<std::uint64_t>(fullCount, count[t]);
            }
        }
    }
    // One pixel has no order of its own to show.
    fullLeast =
        std::max<std::uint64_t>(2, coverage == Coverage::whole ? fullCount : (fullCount + 1) / 2);
}

void TileScorer::scoreTightness(TileMeasure& result) const {
    double tightnessSum = 0.0;
    for (std::size_t t = 0; t < whole.size(); ++t) {
        if (!full(t)) {
            continue;
        }
        ++result.fullTiles;
        tightnessSum += static_cast<double>(count[t]) /
                        (static_cast<double>(last[t]) - static_cast<double>(first[t]) + 1.0);
    }
    if (result.fullTiles > 0) {
        result.tightness = tightnessSum / result.fullTiles;
    }
}

std::int64_t TileScorer::nextInTile(const TileGrid& grid, int originX, int originY, int x,
                                    int y) const {
    const std::uint32_t n = next[capture.pixelIndex(originX + x, originY + y)];
    if (n == none) {
        return -1;
    }
    const int nx = columnOf[n] - originX;
    const int ny = rowOf[n] - originY;
    return static_cast<std::int64_t>(ny) * grid.width + nx;
}

void TileScorer::scoreRepeatability(TileMeasure& result) const {
    // Each tile covered like the fullest against the previous one, pixel by
    // covered pixel.
    const TileGrid& grid = result.grid;
    const std::vector<std::uint32_t>& rank = index.ranks();
    // Tiles compared wholly covered need no look at which pixels are.
    const bool dense = fullCount == static_cast<std::uint64_t>(grid.area());
    auto covered = [&](int x, int y) {
        return dense || rank[capture.pixelIndex(x, y)] != OrderIndex::noRank;
    };
    std::uint64_t matches = 0;
    std::uint64_t compared = 0;
    bool havePrevious = false;
    int previousX = 0;
    int previousY = 0;
    for (int ty = 0; ty < gridY; ++ty) {
        for (int tx = 0; tx < gridX; ++tx) {
            const std::size_t t = tileAt(tx, ty);
            if (whole[t] == 0 || count[t] != fullCount || fullCount < 2) {
                continue;
            }
            const int originX = grid.left(tx);
            const int originY = grid.bottom(ty);
            if (havePrevious) {
                ++result.comparedTiles;
                for (int y = 0; y < grid.height; ++y) {
                    for (int x = 0; x < grid.width; ++x) {
                        if (!covered(originX + x, originY + y)) {
                            continue;
                        }
                        matches += covered(previousX + x, previousY + y) &&
                                   nextInTile(grid, originX, originY, x, y) ==
                                       nextInTile(grid, previousX, previousY, x, y);
                        ++compared;
                    }
                }
            }
            havePrevious = true;
            previousX = originX;
            previousY = originY;
        }
    }
    if (compared > 0) {
        result.repeatability = static_cast<double>(matches) / static_cast<double>(compared);
    }
    if (result.comparedTiles > 0) {
        ++result.comparedTiles; // the first tile took part too
    }
}

void TileScorer::scoreOverlap(TileMeasure& result) {
    // Over every covered tile, in shading order.
    std::uint64_t spans = 0;
    std::uint32_t runningLast = 0;
    std::size_t runningTile = 0;
    overlapping.assign(whole.size(), 0);
    for (std::size_t i = 0; i < tileOrder.size(); ++i) {
        const std::uint32_t t = tileOrder[i];
        spans += static_cast<std::uint64_t>(last[t]) - first[t] + 1;
        if (i > 0 && first[t] < runningLast) {
            overlapping[t] = 1;
            overlapping[runningTile] = 1;
        }
        if (i == 0 || last[t] > runningLast) {
            runningLast = last[t];
            runningTile = t;
        }
    }
    std::size_t overlaps = 0;
    for (std::uint32_t t : tileOrder) {
        overlaps += overlapping[t];
    }
    result.overlap = static_cast<double>(overlaps) / static_cast<double>(tileOrder.size());
    result.concurrency = static_cast<double>(spans) / static_cast<double>(index.fragments());
}

void TileScorer::listTiles(std::vector<TileCell>& sequence) const {
    sequence.reserve(tileOrder.size());
    for (std::uint32_t t : tileOrder) {
        sequence.push_back(TileCell{static_cast<int>(t % static_cast<std::uint32_t>(gridX)),
                                    static_cast<int>(t / static_cast<std::uint32_t>(gridX)),
                                    first[t]});
    }
}

} // namespace Vellumar::capture
