// The steps of PatternAnalysis::analyse: unit sides worth trying from the line
// jumps, the candidates measured, the tile chosen, then its walk and the block.
#include "PatternAnalysis.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
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

// Calls `visit(offset)` for the edges of units of this size from the
// lower-left corner and, where the window is no multiple of it, from the
// upper-right corner.
template <typename Visit>
void eachAlignment(int size, int extent, Visit&& visit) {
    visit(0);
    if (extent % size != 0) {
        visit(extent % size);
    }
}

std::vector<Side> sidesWorthTrying(const LineJumps& jumps, Axis axis, int extent) {
    std::vector<Side> sides{{1, 0, 1.0}};
    const int largest = std::min(PatternAnalysis::maxUnitSide, extent);
    for (int size = 2; size <= largest; ++size) {
        eachAlignment(size, extent, [&](int offset) {
            const double separation = jumps.separation(axis, size, offset);
            if (separation >= PatternAnalysis::minSeparation) {
                sides.push_back({size, offset, separation});
            }
        });
    }
    if (sides.size() > maxSidesPerAxis) {
        std::partial_sort(sides.begin() + 1, sides.begin() + maxSidesPerAxis, sides.end(),
                          [](const Side& a, const Side& b) { return a.separation > b.separation; });
        sides.resize(maxSidesPerAxis);
    }
    return sides;
}

// The sizes the other axis found and this one did not, where this axis has
// any data across them: where threads shade neighbouring tiles at once, the
// edge between them blurs on one axis.
void borrowSides(std::vector<Side>& sides, const std::vector<Side>& other, const LineJumps& jumps,
                 Axis axis, int extent) {
    std::vector<Side> borrowed;
    for (const Side& side : other) {
        const bool known = std::any_of(sides.begin(), sides.end(),
                                       [&](const Side& s) { return s.size == side.size; }) ||
                           std::any_of(borrowed.begin(), borrowed.end(),
                                       [&](const Side& s) { return s.size == side.size; });
        if (known || side.size > extent) {
            continue;
        }
        eachAlignment(side.size, extent, [&](int offset) {
            const double separation = jumps.separation(axis, side.size, offset);
            if (separation > 0.0) {
                borrowed.push_back({side.size, offset, separation});
            }
        });
    }
    sides.insert(sides.end(), borrowed.begin(), borrowed.end());
}

// The axis along which the unit is cut into parts of the same length on the
// other axis, if it is.
std::optional<Axis> cutAxis(const TileGrid& part, const TileGrid& unit) {
    if (!unit.holds(part)) {
        return std::nullopt;
    }
    if (part.height == unit.height && part.width < unit.width) {
        return Axis::x;
    }
    if (part.width == unit.width && part.height < unit.height) {
        return Axis::y;
    }
    return std::nullopt;
}

bool concurrent(const TileMeasure& tiles) {
    return tiles.concurrency > PatternAnalysis::maxSerialConcurrency;
}

// What is left of a confidence when tiles were in flight together.
double concurrentWeight(const TileMeasure& tiles) {
    return concurrent(tiles) ? 0.5 / tiles.concurrency : 1.0;
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
            if (c.qualifies() && c.tight() && !mixedInFlight(c) && !runOfUnits(c)) {
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
                !mixedInFlight(c) && !shadedApart(c) && !runOfUnits(c)) {
                return &c;
            }
        }
        return tight;
    }

private:
    // Whether the unit, not shaded one by one itself, is cut along one axis
    // into units shaded concurrently that repeat their inner order better
    // than it does: then it is those units mixed by chance, two tiles that
    // two threads shade side by side at the same pace, however tight.
    bool mixedInFlight(const Candidate& unit) const {
        if (!concurrent(unit.measure) || unit.measure.comparedTiles < 2) {
            return false;
        }
        for (const Candidate& part : candidates) {
            if (cutAxis(part.grid(), unit.grid()) && part.qualifies() && concurrent(part.measure) &&
                part.measure.repeatability >
                    unit.measure.repeatability + PatternAnalysis::mixMargin) {
                return true;
            }
        }
        return false;
    }

    // Whether the unit is cut along one axis into qualifying units that keep
    // far fewer tiles in flight: then its range holds what was shaded between
    // them, as for two tiles one thread shaded at different times, whose
    // order repeats as one tile's does.
    bool shadedApart(const Candidate& unit) const {
        for (const Candidate& part : candidates) {
            if (cutAxis(part.grid(), unit.grid()) && part.qualifies() &&
                unit.measure.concurrency >
                    PatternAnalysis::inFlightSlack * part.measure.concurrency) {
                return true;
            }
        }
        return false;
    }

    // A unit made of smaller tight units cut along one axis is a run of them
    // (two tiles side by side in a row-major walk, a Z curve's groups of
    // tiles) when those units walk the window along a clean path that also
    // predicts the steps from one such unit into the next. Rows inside a tile
    // walk a clean path too, but it breaks exactly where a tile ends.
    bool runOfUnits(const Candidate& unit) {
        for (const Candidate& part : candidates) {
            if (cutAxis(part.grid(), unit.grid()) && part.tight() && part.qualifies() &&
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
    if (concurrent(c.measure)) {
        // Edges between tiles shaded together blur whatever the tile: only
        // the inner order speaks.
        strength = concurrentWeight(c.measure);
    } else {
        if (c.grid().width > 1) {
            strength = std::min(strength, edgeStrength(c.separationX));
        }
        if (c.grid().height > 1) {
            strength = std::min(strength, edgeStrength(c.separationY));
        }
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
    std::vector<Side> widths = sidesWorthTrying(jumps, Axis::x, capture.width);
    std::vector<Side> heights = sidesWorthTrying(jumps, Axis::y, capture.height);
    const std::vector<Side> ownWidths = widths;
    borrowSides(widths, heights, jumps, Axis::x, capture.width);
    borrowSides(heights, ownWidths, jumps, Axis::y, capture.height);
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

// The path from tile to tile, interleaved when tiles were in flight together.
TraversalEstimate walkBetween(const TileGrid& grid, const FragmentCapture& capture,
                              TileScorer& scorer) {
    std::vector<TileCell> sequence;
    const TileMeasure walk = scorer.measure(grid, &sequence);
    TraversalEstimate traversal = TraversalClassifier::classify(
        grid.columns(capture.width), grid.rows(capture.height), sequence);
    if (concurrent(walk)) {
        traversal.pattern = Traversal::interleaved;
        traversal.confidence = walk.overlap * concurrentWeight(walk);
    }
    return traversal;
}

// The sides of units inside a tile side worth trying: those that divide it
// and whose edges stand out inside full tiles, or could not be told apart
// there (a sparse grid's gaps hide them).
std::vector<int> sidesInside(const LineJumps& jumps, Axis axis, int tileSide, int tileOffset) {
    std::vector<int> sides;
    for (int d = 2; d < tileSide; ++d) {
        if (tileSide % d != 0) {
            continue;
        }
        const double separation = jumps.separation(axis, d, tileOffset % d);
        if (separation == 0.0 || separation >= PatternAnalysis::minSeparation) {
            sides.push_back(d);
        }
    }
    return sides;
}

// The units inside the tile, measured in its full tiles, each tile ranked on
// its own: the block and the levels.
class BlockSearch {
public:
    // Takes over the frame's scorer, done with by then.
    BlockSearch(const FragmentCapture& capture, const TileGrid& tile, TileScorer&& frameScorer)
        : capture(capture), tile(tile),
          local(capture.pixelCount(),
                frameScorer.fullTilesInOrder(tile, PatternAnalysis::maxBlockTiles)),
          scorer(std::move(frameScorer), local, Coverage::whole) {}

    void find(PatternReport& report) {
        const LineJumps jumps(capture, local);
        std::vector<TileMeasure> units;
        for (int w : sidesInside(jumps, Axis::x, tile.width, tile.offsetX)) {
            for (int h : sidesInside(jumps, Axis::y, tile.height, tile.offsetY)) {
                units.push_back(
                    scorer.measureTightness(TileGrid{w, h, tile.offsetX % w, tile.offsetY % h}));
            }
        }
        const bool evidence = std::any_of(units.begin(), units.end(),
                                          [](const TileMeasure& u) { return u.fullTiles > 0; }) ||
                              sideBySidePixels();
        double tightest = 0.0;
        for (const TileMeasure& u : units) {
            if (u.fullTiles > 0) {
                tightest = std::max(tightest, u.tightness);
            }
        }
        std::vector<const TileMeasure*> tight;
        for (const TileMeasure& u : units) {
            if (u.fullTiles > 0 && u.tightness >= PatternAnalysis::minTightness &&
                u.tightness >= tightest - PatternAnalysis::blockTolerance) {
                tight.push_back(&u);
            }
        }
        // Larger first; of two the same size, the tighter.
        std::sort(tight.begin(), tight.end(), [](const TileMeasure* a, const TileMeasure* b) {
            return a->grid.area() > b->grid.area() ||
                   (a->grid.area() == b->grid.area() && a->tightness > b->tightness);
        });
        for (const TileMeasure* u : tight) {
            report.levels.push_back(Footprint{u->grid.width, u->grid.height});
        }
        const auto block = std::find_if(tight.begin(), tight.end(), [&](const TileMeasure* u) {
            return !runOfParts(*u, tight);
        });
        if (block != tight.end()) {
            report.block = Footprint{(*block)->grid.width, (*block)->grid.height};
        } else if (evidence) {
            report.block = Footprint{1, 1};
        }
    }

private:
    // Whether some covered pixels in the full tiles touch: then a block larger
    // than a pixel could have shown, had there been one.
    bool sideBySidePixels() const {
        const std::vector<std::uint32_t>& rank = local.ranks();
        for (std::uint32_t p : local.pixelsInOrder()) {
            const int x = static_cast<int>(p % static_cast<std::uint32_t>(capture.width));
            const int y = static_cast<int>(p / static_cast<std::uint32_t>(capture.width));
            if ((x + 1 < capture.width && rank[p + 1] != OrderIndex::noRank) ||
                (y + 1 < capture.height &&
                 rank[capture.pixelIndex(x, y + 1)] != OrderIndex::noRank)) {
                return true;
            }
        }
        return false;
    }

    // Whether the unit is cut along one axis into tight parts that the walk
    // goes through as it goes from one unit to the next.
    bool runOfParts(const TileMeasure& unit, const std::vector<const TileMeasure*>& tight) {
        for (const TileMeasure* part : tight) {
            if (const std::optional<Axis> axis = cutAxis(part->grid, unit.grid)) {
                scorer.measureTightness(part->grid, &walk);
                if (continuation(part->grid, unit.grid, *axis) >= PatternAnalysis::minRunShare) {
                    return true;
                }
            }
        }
        return false;
    }

    // Of the steps from one unit to the next inside a tile, the share that
    // goes one part on in the direction the parts inside a unit follow. The
    // parts' walk is in `walk`.
    double continuation(const TileGrid& part, const TileGrid& unit, Axis axis) const {
        std::size_t inside[2] = {0, 0};      // steps back, steps on
        std::size_t transitions[2] = {0, 0}; // one part back, one part on
        std::size_t allTransitions = 0;
        for (std::size_t i = 0; i + 1 < walk.size(); ++i) {
            const int ax = part.left(walk[i].x);
            const int ay = part.bottom(walk[i].y);
            const int bx = part.left(walk[i + 1].x);
            const int by = part.bottom(walk[i + 1].y);
            if (tile.column(ax) != tile.column(bx) || tile.row(ay) != tile.row(by)) {
                continue;
            }
            const int dx = walk[i + 1].x - walk[i].x;
            const int dy = walk[i + 1].y - walk[i].y;
            const int along = axis == Axis::x ? dx : dy;
            const int across = axis == Axis::x ? dy : dx;
            const bool oneStep = across == 0 && (along == 1 || along == -1);
            const std::size_t direction = along > 0 ? 1 : 0;
            if (unit.column(ax) == unit.column(bx) && unit.row(ay) == unit.row(by)) {
                inside[direction] += oneStep;
            } else {
                ++allTransitions;
                transitions[direction] += oneStep;
            }
        }
        if (allTransitions == 0 || inside[0] + inside[1] == 0) {
            return 0.0;
        }
        const std::size_t way = inside[1] >= inside[0] ? 1 : 0;
        return static_cast<double>(transitions[way]) / static_cast<double>(allTransitions);
    }

    const FragmentCapture& capture;
    const TileGrid tile;
    const OrderIndex local;
    TileScorer scorer;
    std::vector<TileCell> walk;
};

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
    report.loopsCutAt = FreezePointAnalysis::loopsCutAt(capture);
    // A capture made from maps alone stands for one fragment per covered pixel.
    report.shaded = capture.log.empty() ? index.fragments() : capture.log.shaded;
    report.dropped = capture.log.dropped();
    if (index.fragments() < minCoveredPixels) {
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
    BlockSearch(capture, tile->grid(), std::move(scorer)).find(report);
    report.levels.push_back(report.tile.size);
    std::sort(report.levels.begin(), report.levels.end(), byArea);
    return report;
}

} // namespace Vellumar::capture
