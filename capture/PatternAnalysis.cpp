// The steps of PatternAnalysis::analyse: unit sides worth trying from the line
// jumps, the candidates measured, the tile chosen, then its walk and the block.
#include "PatternAnalysis.h"

#include <algorithm>
#include <cmath>

#include "LineJumps.h"

namespace Vellumar::capture {

namespace {

// At most this many sides per axis go on to the (costlier) tile measures;
// real data pass a handful.
constexpr std::size_t maxSidesPerAxis = 12;

struct Side {
    int size;
    double separation;
};

std::vector<Side> sidesWorthTrying(const LineJumps& jumps, Axis axis, int extent) {
    std::vector<Side> sides{{1, 1.0}};
    const int largest = std::min(PatternAnalysis::maxUnitSide, extent);
    for (int size = 2; size <= largest; ++size) {
        const double separation = jumps.separation(axis, size);
        if (separation >= PatternAnalysis::minSeparation) {
            sides.push_back({size, separation});
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
    double score() const { return std::log(separationX) + std::log(separationY); }
    long area() const { return static_cast<long>(measure.width) * measure.height; }
    bool strong() const {
        return (measure.width == 1 || separationX >= PatternAnalysis::strongSeparation) &&
               (measure.height == 1 || separationY >= PatternAnalysis::strongSeparation);
    }
};

bool qualifiesAsTile(const TileMeasure& m) {
    if (m.fullTiles < 1) {
        return false;
    }
    if (m.comparedTiles >= 2) {
        return m.repeatability >= PatternAnalysis::minRepeatability;
    }
    return m.tightness >= PatternAnalysis::minTightness;
}

// 0 at separation 1, 1 from separation 16 up: a clear edge jumps by more
// than an order of magnitude.
double edgeStrength(double separation) {
    return std::clamp(std::log2(std::max(separation, 1.0)) / 4.0, 0.0, 1.0);
}

double tileConfidence(const Candidate& c) {
    double strength = 1.0;
    if (c.measure.width > 1) {
        strength = std::min(strength, edgeStrength(c.separationX));
    }
    if (c.measure.height > 1) {
        strength = std::min(strength, edgeStrength(c.separationY));
    }
    if (c.measure.tightness < PatternAnalysis::minTightness) {
        // Mixed with other threads' tiles: a tile edge between two tiles shaded
        // at once blurs, and a column of blocks can pass for the tile.
        strength *= 0.5;
    }
    if (c.measure.comparedTiles >= 2) {
        return c.measure.repeatability * strength;
    }
    // A single tile cannot show that its order repeats.
    return 0.5 * c.measure.tightness * strength;
}

bool better(const Candidate& a, const Candidate& b) {
    return a.score() > b.score() + 1e-9 ||
           (std::abs(a.score() - b.score()) <= 1e-9 && a.area() > b.area());
}

// Among the qualifying candidates that are tight (or, in the second round,
// that are not): the largest with strong edges, else the one whose edges
// stand out most.
const Candidate* chooseTile(const std::vector<Candidate>& candidates, bool tight) {
    const Candidate* largestStrong = nullptr;
    const Candidate* best = nullptr;
    for (const Candidate& c : candidates) {
        if (!qualifiesAsTile(c.measure) ||
            (c.measure.tightness >= PatternAnalysis::minTightness) != tight) {
            continue;
        }
        if (best == nullptr || better(c, *best)) {
            best = &c;
        }
        if (c.strong() && (largestStrong == nullptr || c.area() > largestStrong->area() ||
                           (c.area() == largestStrong->area() && better(c, *largestStrong)))) {
            largestStrong = &c;
        }
    }
    return largestStrong != nullptr ? largestStrong : best;
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

    const LineJumps jumps(capture, index);
    const std::vector<Side> widths = sidesWorthTrying(jumps, Axis::x, capture.width);
    const std::vector<Side> heights = sidesWorthTrying(jumps, Axis::y, capture.height);

    TileScorer scorer(capture, index);
    std::vector<Candidate> candidates;
    for (const Side& w : widths) {
        for (const Side& h : heights) {
            if (w.size * h.size < 2) {
                continue;
            }
            candidates.push_back(
                Candidate{scorer.measure(w.size, h.size), w.separation, h.separation});
        }
    }

    const Candidate* tile = chooseTile(candidates, true);
    if (tile == nullptr) {
        tile = chooseTile(candidates, false);
    }
    if (tile == nullptr) {
        return report;
    }

    const int tw = tile->measure.width;
    const int th = tile->measure.height;
    report.tile.size = Footprint{tw, th};
    report.tile.confidence = tileConfidence(*tile);
    report.tile.measure = tile->measure;
    report.tile.separationX = tile->separationX;
    report.tile.separationY = tile->separationY;

    std::vector<TileCell> sequence;
    const TileMeasure walk = scorer.measure(tw, th, &sequence);
    report.traversal = TraversalClassifier::classify((capture.width + tw - 1) / tw,
                                                     (capture.height + th - 1) / th, sequence);
    if (walk.tightness < minTightness && walk.overlap >= minOverlap) {
        report.traversal.pattern = Traversal::interleaved;
        report.traversal.confidence = walk.overlap;
    }

    const Candidate* block = nullptr;
    for (const Candidate& c : candidates) {
        const int bw = c.measure.width;
        const int bh = c.measure.height;
        if (bw >= tw || bh >= th || tw % bw != 0 || th % bh != 0 ||
            c.measure.tightness < minTightness || c.measure.fullTiles < 1) {
            continue;
        }
        report.levels.push_back(Footprint{bw, bh});
        if (block == nullptr || c.area() > block->area() ||
            (c.area() == block->area() && c.score() > block->score())) {
            block = &c;
        }
    }
    report.block =
        block != nullptr ? Footprint{block->measure.width, block->measure.height} : Footprint{1, 1};
    report.levels.push_back(report.tile.size);
    std::sort(report.levels.begin(), report.levels.end(),
              [](const Footprint& a, const Footprint& b) {
                  return a.width * a.height < b.width * b.height ||
                         (a.width * a.height == b.width * b.height && a.width < b.width);
              });
    return report;
}

} // namespace Vellumar::capture
