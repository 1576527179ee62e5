// Names the path the rasteriser took from tile to tile: given the grid cells
// in the order their first fragment was shaded, it checks each known path
// (in every direction) and keeps the one that predicts the most steps.
#pragma once

#include <vector>

#include "LineJumps.h"
#include "TileScorer.h"

namespace Vellumar::capture {

enum class Traversal {
    rowMajor,
    columnMajor,
    serpentine,
    zOrder,
    interleaved, // several threads: tiles' order ranges overlap
    unknown,
};

const char* traversalName(Traversal traversal);

struct TraversalEstimate {
    Traversal pattern = Traversal::unknown;
    // Share of steps from one tile to the next that the pattern predicts,
    // scaled down below 8 steps (for interleaved: the share of tiles shaded
    // alongside another).
    double confidence = 0.0;
    // Along x: +1 left to right, -1 right to left; along y: +1 bottom to top,
    // -1 top to bottom; 0 where not known. Interleaved walks keep the path
    // their first fragments follow, when one fits.
    int xStep = 0;
    int yStep = 0;
    // The axis that changes fastest: x for row by row (and for a Z curve
    // whose lowest bit is x), y for column by column.
    Axis fastAxis = Axis::x;
};

namespace TraversalClassifier {

// A named pattern needs at least this share of its steps predicted.
constexpr double minimumFit = 0.8;

// `sequence` holds cells of a gridX x gridY grid, each once. Fewer than two
// cells, or no pattern that fits, give unknown.
TraversalEstimate classify(int gridX, int gridY, const std::vector<TileCell>& sequence);

// Per step (sequence[i] to sequence[i + 1]): whether `path` predicts it. All
// false for unknown and interleaved.
std::vector<bool> predictedSteps(int gridX, int gridY, const std::vector<TileCell>& sequence,
                                 const TraversalEstimate& path);

} // namespace TraversalClassifier

} // namespace Vellumar::capture
