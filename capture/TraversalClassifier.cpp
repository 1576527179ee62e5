// Each candidate path is a key per cell; a step of the real sequence is
// predicted when it goes to the next covered cell by that key. Counting exact
// successors (rather than steps that merely increase the key) keeps a column
// by column walk from passing for row by row.
#include "TraversalClassifier.h"

#include <algorithm>
#include <cstdint>

#include "RadixSort.h"

namespace Vellumar::capture {

namespace {

constexpr double fewSteps = 8.0;

std::uint64_t spreadBits(std::uint32_t v) {
    std::uint64_t x = v & 0xffffu;
    x = (x | (x << 8)) & 0x00ff00ffu;
    x = (x | (x << 4)) & 0x0f0f0f0fu;
    x = (x | (x << 2)) & 0x33333333u;
    x = (x | (x << 1)) & 0x55555555u;
    return x;
}

struct Candidate {
    Traversal pattern;
    Axis fastAxis;
    int xStep;
    int yStep;
};

std::uint64_t keyOf(const Candidate& c, int gridX, int gridY, int cellX, int cellY) {
    const std::uint64_t x = static_cast<std::uint64_t>(c.xStep > 0 ? cellX : gridX - 1 - cellX);
    const std::uint64_t y = static_cast<std::uint64_t>(c.yStep > 0 ? cellY : gridY - 1 - cellY);
    const std::uint64_t gx = static_cast<std::uint64_t>(gridX);
    const std::uint64_t gy = static_cast<std::uint64_t>(gridY);
    switch (c.pattern) {
    case Traversal::rowMajor: return c.fastAxis == Axis::x ? y * gx + x : x * gy + y;
    case Traversal::serpentine:
        if (c.fastAxis == Axis::x) {
            return y * gx + (y % 2 == 0 ? x : gx - 1 - x);
        }
        return x * gy + (x % 2 == 0 ? y : gy - 1 - y);
    case Traversal::zOrder:
        if (c.fastAxis == Axis::x) {
            return spreadBits(static_cast<std::uint32_t>(x)) |
                   (spreadBits(static_cast<std::uint32_t>(y)) << 1);
        }
        return spreadBits(static_cast<std::uint32_t>(y)) |
               (spreadBits(static_cast<std::uint32_t>(x)) << 1);
    default: return 0;
    }
}

// Column-major is row-major with y the fast axis; it is named apart at the
// end. The list order settles ties: on a single row of tiles all row-wise
// paths agree, and the plainest name wins.
const std::vector<Candidate>& candidates() {
    static const std::vector<Candidate> list = [] {
        std::vector<Candidate> all;
        for (Traversal pattern : {Traversal::rowMajor, Traversal::serpentine, Traversal::zOrder}) {
            for (Axis fast : {Axis::x, Axis::y}) {
                for (int yStep : {1, -1}) {
                    for (int xStep : {1, -1}) {
                        all.push_back(Candidate{pattern, fast, xStep, yStep});
                    }
                }
            }
        }
        return all;
    }();
    return list;
}

// Marks, per step of the sequence, whether it goes to the next covered cell
// by the candidate's key. The keys are radix sorted: the walk checks of the
// analysis run this on grids of 100,000 cells.
class StepPredictor {
public:
    StepPredictor(int gridX, int gridY, const std::vector<TileCell>& sequence)
        : gridX(gridX), gridY(gridY), sequence(sequence), keys(sequence.size()),
          byKey(sequence.size()), predicted(sequence.size()) {}

    // hits[i] for the step from sequence[i]; returns how many steps hit.
    std::size_t run(const Candidate& c, std::vector<bool>* hits) {
        const std::size_t n = sequence.size();
        for (std::size_t i = 0; i < n; ++i) {
            keys[i] =
                static_cast<std::uint32_t>(keyOf(c, gridX, gridY, sequence[i].x, sequence[i].y));
            byKey[i] = static_cast<std::uint32_t>(i);
        }
        sorter.sort(byKey, keys);
        for (std::size_t r = 0; r < n; ++r) {
            predicted[byKey[r]] = static_cast<std::uint32_t>(r);
        }
        std::size_t hitCount = 0;
        if (hits != nullptr) {
            hits->assign(n > 0 ? n - 1 : 0, false);
        }
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const bool hit = predicted[i + 1] == predicted[i] + 1;
            hitCount += hit;
            if (hits != nullptr) {
                (*hits)[i] = hit;
            }
        }
        return hitCount;
    }

private:
    int gridX;
    int gridY;
    const std::vector<TileCell>& sequence;
    std::vector<std::uint32_t> keys;
    std::vector<std::uint32_t> byKey;
    std::vector<std::uint32_t> predicted;
    RadixSort sorter;
};

} // namespace

const char* traversalName(Traversal traversal) {
    switch (traversal) {
    case Traversal::rowMajor: return "row-major";
    case Traversal::columnMajor: return "column-major";
    case Traversal::serpentine: return "serpentine";
    case Traversal::zOrder: return "z-order";
    case Traversal::interleaved: return "interleaved";
    case Traversal::unknown: return "unknown";
    }
    return "unknown";
}

TraversalEstimate TraversalClassifier::classify(int gridX, int gridY,
                                                const std::vector<TileCell>& sequence) {
    TraversalEstimate best;
    if (sequence.size() < 2 || gridX < 1 || gridY < 1) {
        return best;
    }
    StepPredictor predictor(gridX, gridY, sequence);
    const double steps = static_cast<double>(sequence.size() - 1);
    double bestScore = -1.0;
    for (const Candidate& c : candidates()) {
        const double score = static_cast<double>(predictor.run(c, nullptr)) / steps;
        if (score > bestScore) {
            bestScore = score;
            best.pattern = c.pattern;
            best.fastAxis = c.fastAxis;
            best.xStep = c.xStep;
            best.yStep = c.yStep;
        }
    }
    if (bestScore < minimumFit) {
        return TraversalEstimate{};
    }
    if (best.pattern == Traversal::rowMajor && best.fastAxis == Axis::y) {
        best.pattern = Traversal::columnMajor;
    }
    // A handful of steps fits several paths at once (on 2 x 2 tiles a Z
    // curve is row by row): few steps, little confidence.
    best.confidence = bestScore * std::min(1.0, steps / fewSteps);
    return best;
}

std::vector<bool> TraversalClassifier::predictedSteps(int gridX, int gridY,
                                                      const std::vector<TileCell>& sequence,
                                                      const TraversalEstimate& path) {
    std::vector<bool> hits(sequence.size() > 1 ? sequence.size() - 1 : 0, false);
    if (path.pattern == Traversal::unknown || path.pattern == Traversal::interleaved ||
        sequence.size() < 2) {
        return hits;
    }
    const Traversal keyed =
        path.pattern == Traversal::columnMajor ? Traversal::rowMajor : path.pattern;
    StepPredictor predictor(gridX, gridY, sequence);
    predictor.run(Candidate{keyed, path.fastAxis, path.xStep, path.yStep}, &hits);
    return hits;
}

} // namespace Vellumar::capture
