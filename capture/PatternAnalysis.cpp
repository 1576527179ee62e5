// The steps of PatternAnalysis::analyse: unit sides worth trying from the line
// jumps, the candidates measured, the tile chosen, then its walk and the block.
#include "PatternAnalysis.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>

#include "LineJumps.h"

namespace Vellumar::capture {

namespace {

// At most this many sides per axis go on to the (costlier) tile measures;
// real data pass a handful.
constexpr std::size_t maxSidesPerAxis = 12;

struct Side {
    int size;
    int offset;
    double separation;
};

// Each size with its edges from the lower-left corner and, where the window
// is no multiple of it, from the upper-right corner.
std::vector<Side> sidesWorthTrying(const LineJumps& jumps, Axis axis, int extent) {
    std::vector<Side> sides{{1, 0, 1.0}};
    const int largest = std::min(PatternAnalysis::maxUnitSide, extent);
    for (int size = 2; size <= largest; ++size) {
        const int offsets[] = {0, extent % size};
        const int alignments = offsets[1] == 0 ? 1 : 2;
        for (int i = 0; i < alignments; ++i) {
            const int offset = offsets[i];
            const double separation = jumps.separation(axis, size, offset);
            if (separation >= PatternAnalysis::minSeparation) {
                sides.push_back({size, offset, separation});
            }
        }
    }
    if (sides.size() > maxSidesPerAxis) {
        std::partial_sort(sides.begin() + 1, sides.begin() + maxSidesPerAxis, sides.end(),
                          [](const Side& a, const Side& b) { return a.separation > b.separation; });
        sides.resize(maxSidesPerAxis);
    }
    return sides;
}

struct Candidate {
    TileMeasure measure;
    double separationX;
    double separationY;

    const TileGrid& grid() const { return measure.grid; }
    long area() const { return measure.grid.area(); }
    double score() const { return std::log(separationX) + std::log(separationY); }
    bool tight() const { return measure.tightness >= PatternAnalysis::minTightness; }
    bool qualifies() const {
        if (measure.fullTiles < 1) {
            return false;
        }
        if (measure.comparedTiles >= 2) {
            return measure.repeatability >= PatternAnalysis::minRepeatability;
        }
        return tight();
    }
    bool holds(const Candidate& other) const { return measure.grid.holds(other.measure.grid); }
    // Larger; of two the same size, the one with clearer edges.
    bool preferredTo(const Candidate& other) const {
        return area() > other.area() || (area() == other.area() && score() > other.score());
    }
};

// Picks the tile among the measured candidates, remembering which smaller
// units walk the window along a clean path.
class TileChoice {
public:
    TileChoice(const std::vector<Candidate>& candidates, TileScorer& scorer,
               const FragmentCapture& capture)
        : candidates(candidates), scorer(scorer), capture(capture) {
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            bySize.push_back(i);
        }
        std::sort(bySize.begin(), bySize.end(), [&](std::size_t a, std::size_t b) {
            return candidates[a].preferredTo(candidates[b]);
        });
    }

    const Candidate* choose() {
        const Candidate* tight = nullptr;
        for (std::size_t i : bySize) {
            const Candidate& c = candidates[i];
            if (c.qualifies() && c.tight() && !runOfUnits(c)) {
                tight = &c;
                break;
            }
        }
        // Several threads: a thread's tile is not tight, but holds the tight
        // units (blocks shaded in one go) and shares its range with others.
        for (std::size_t i : bySize) {
            const Candidate& c = candidates[i];
            if (c.qualifies() && !c.tight() && c.measure.overlap >= PatternAnalysis::minOverlap &&
                (tight == nullptr || (c.holds(*tight) && c.area() > tight->area())) &&
                !runOfUnits(c)) {
                return &c;
            }
        }
        return tight;
    }

private:
    // A unit made of smaller tight units cut along one axis is a run of them
    // (two tiles side by side in a row-major walk, a Z curve's groups of
    // tiles) when those units walk the window along a clean path that also
    // predicts the steps from one such unit into the next. Rows inside a tile
    // walk a clean path too, but it breaks exactly where a tile ends.
    bool runOfUnits(const Candidate& unit) {
        for (const Candidate& part : candidates) {
            const bool alongX =
                part.grid().height == unit.grid().height && part.grid().width < unit.grid().width;
            const bool alongY =
                part.grid().width == unit.grid().width && part.grid().height < unit.grid().height;
            if ((alongX || alongY) && unit.holds(part) && part.tight() && part.qualifies() &&
                walkRunsAcross(part, unit)) {
                return true;
            }
        }
        return false;
    }

    bool walkRunsAcross(const Candidate& part, const Candidate& unit) {
        const TileGrid& small = part.grid();
        const auto key = std::tuple{small.width, small.height, small.offsetX, small.offsetY};
        auto known = walks.find(key);
        if (known == walks.end()) {
            Walk walk;
            scorer.measure(small, &walk.sequence);
            const int gridX = small.columns(capture.width);
            const int gridY = small.rows(capture.height);
            walk.hits = TraversalClassifier::predictedSteps(
                gridX, gridY, walk.sequence,
                TraversalClassifier::classify(gridX, gridY, walk.sequence));
            known = walks.emplace(key, std::move(walk)).first;
        }
        const Walk& walk = known->second;
        const TileGrid& large = unit.grid();
        // The larger tile a small one lies in, from its first pixel inside
        // the window.
        auto column = [&](const TileCell& c) { return large.column(std::max(small.left(c.x), 0)); };
        auto row = [&](const TileCell& c) { return large.row(std::max(small.bottom(c.y), 0)); };
        std::size_t crossings = 0;
        std::size_t predicted = 0;
        for (std::size_t i = 0; i < walk.hits.size(); ++i) {
            const TileCell& from = walk.sequence[i];
            const TileCell& to = walk.sequence[i + 1];
            if (column(from) != column(to) || row(from) != row(to)) {
                ++crossings;
                predicted += walk.hits[i];
            }
        }
        return crossings > 0 &&
               static_cast<double>(predicted) >=
                   TraversalClassifier::minimumFit * static_cast<double>(crossings);
    }

    struct Walk {
        std::vector<TileCell> sequence;
        std::vector<bool> hits;
    };

    const std::vector<Candidate>& candidates;
    TileScorer& scorer;
    const FragmentCapture& capture;
    std::vector<std::size_t> bySize;
    std::map<std::tuple<int, int, int, int>, Walk> walks;
};

// 0 at separation 1, 1 from separation 8 up.
double edgeStrength(double separation) {
    return std::clamp(std::log2(std::max(separation, 1.0)) / 3.0, 0.0, 1.0);
}

double tileConfidence(const Candidate& c) {
    double strength = 1.0;
    if (c.grid().width > 1) {
        strength = std::min(strength, edgeStrength(c.separationX));
    }
    if (c.grid().height > 1) {
        strength = std::min(strength, edgeStrength(c.separationY));
    }
    if (!c.tight()) {
        // Mixed with other threads' tiles: an edge between two tiles shaded
        // at the same time blurs.
        strength *= 0.5;
    }
    if (c.measure.comparedTiles >= 2) {
        return c.measure.repeatability * strength;
    }
    // A single tile cannot show that its order repeats.
    return 0.5 * c.measure.tightness * strength;
}

bool byArea(const Footprint& a, const Footprint& b) {
    return a.width * a.height < b.width * b.height ||
           (a.width * a.height == b.width * b.height && a.width < b.width);
}

// Every pairing of the widths and heights worth trying, measured.
std::vector<Candidate> measureCandidates(const FragmentCapture& capture, const OrderIndex& index,
                                         TileScorer& scorer) {
    const LineJumps jumps(capture, index);
    const std::vector<Side> widths = sidesWorthTrying(jumps, Axis::x, capture.width);
    const std::vector<Side> heights = sidesWorthTrying(jumps, Axis::y, capture.height);
    std::vector<Candidate> candidates;
    for (const Side& w : widths) {
        for (const Side& h : heights) {
            if (w.size * h.size < 2) {
                continue;
            }
            const TileGrid grid{w.size, h.size, w.offset, h.offset};
            candidates.push_back(Candidate{scorer.measure(grid), w.separation, h.separation});
        }
    }
    return candidates;
}

TileEstimate tileEstimate(const Candidate& tile) {
    TileEstimate estimate;
    estimate.size = Footprint{tile.grid().width, tile.grid().height};
    estimate.offsetX = tile.grid().offsetX;
    estimate.offsetY = tile.grid().offsetY;
    estimate.confidence = tileConfidence(tile);
    estimate.measure = tile.measure;
    estimate.separationX = tile.separationX;
    estimate.separationY = tile.separationY;
    return estimate;
}

// The path from tile to tile, interleaved when the tiles' ranges overlap.
TraversalEstimate walkBetween(const TileGrid& grid, const FragmentCapture& capture,
                              TileScorer& scorer) {
    std::vector<TileCell> sequence;
    const TileMeasure walk = scorer.measure(grid, &sequence);
    TraversalEstimate traversal = TraversalClassifier::classify(
        grid.columns(capture.width), grid.rows(capture.height), sequence);
    if (walk.tightness < PatternAnalysis::minTightness &&
        walk.overlap >= PatternAnalysis::minOverlap) {
        traversal.pattern = Traversal::interleaved;
        traversal.confidence = walk.overlap;
    }
    return traversal;
}

// The tight units inside the tile: the largest is the block, and all of
// them with the tile are the levels, smallest first.
void findBlock(const std::vector<Candidate>& candidates, const Candidate& tile,
               PatternReport& report) {
    const Candidate* block = nullptr;
    for (const Candidate& c : candidates) {
        const int bw = c.grid().width;
        const int bh = c.grid().height;
        if (bw >= tile.grid().width || bh >= tile.grid().height || !tile.holds(c) || !c.tight() ||
            c.measure.fullTiles < 1) {
            continue;
        }
        report.levels.push_back(Footprint{bw, bh});
        if (block == nullptr || c.preferredTo(*block)) {
            block = &c;
        }
    }
    report.block =
        block != nullptr ? Footprint{block->grid().width, block->grid().height} : Footprint{1, 1};
    report.levels.push_back(report.tile.size);
    std::sort(report.levels.begin(), report.levels.end(), byArea);
}

} // namespace

PatternReport PatternAnalysis::analyse(const FragmentCapture& capture) {
    const OrderIndex index(capture);
    return analyse(capture, index);
}

PatternReport PatternAnalysis::analyse(const FragmentCapture& capture, const OrderIndex& index) {
    capture.validate();
    PatternReport report;
    report.width = capture.width;
    report.height = capture.height;
    report.fragments = index.fragments();
    report.subgroup = SubgroupAnalysis::analyse(capture);
    report.clockAvailable = capture.clockAvailable;
    report.freezePoints = FreezePointAnalysis::analyse(capture);
    if (index.fragments() < 2) {
        return report;
    }
    TileScorer scorer(capture, index);
    const std::vector<Candidate> candidates = measureCandidates(capture, index, scorer);
    const Candidate* tile = TileChoice(candidates, scorer, capture).choose();
    if (tile == nullptr) {
        return report;
    }
    report.tile = tileEstimate(*tile);
    report.traversal = walkBetween(tile->grid(), capture, scorer);
    findBlock(candidates, *tile, report);
    return report;
}

} // namespace Vellumar::capture
