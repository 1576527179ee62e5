// Everything the analysis of one capture found, as plain values: what the
// summary file, the console and the in-window views show. A size of 0 means
// the data did not support an answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "FreezePointAnalysis.h"
#include "SubgroupAnalysis.h"
#include "TileScorer.h"
#include "TraversalClassifier.h"

namespace Vellumar::capture {

struct Footprint {
    int width = 0;
    int height = 0;
    bool known() const { return width > 0 && height > 0; }
};

struct TileEstimate {
    Footprint size;
    // Where the tile edges fall: on the columns x with x mod width == offsetX
    // and the rows y with y mod height == offsetY (see TileGrid).
    int offsetX = 0;
    int offsetY = 0;
    // 0 to 1: how repeatable the tiles' inner order is, weighed by how
    // cleanly their edges stand out. 0 when no tile was found.
    double confidence = 0.0;
    // The evidence behind the choice, for whoever wants to check it.
    TileMeasure measure;
    double separationX = 0.0;
    double separationY = 0.0;
};

struct PatternReport {
    int width = 0;
    int height = 0;
    // Covered pixels: the first fragments, which the pattern is read from.
    std::size_t fragments = 0;
    TileEstimate tile;
    TraversalEstimate traversal;
    // The largest unit inside a tile whose pixels are shaded in one run in
    // every tile, and not merely as a piece of a longer run; 1 x 1 when none
    // is, unknown when no unit larger than a pixel was wholly covered.
    Footprint block;
    // Every unit found shaded in one run, from the smallest to the tile.
    std::vector<Footprint> levels;
    std::optional<SubgroupFootprint> subgroup;
    bool clockAvailable = false;
    std::vector<FreezePointTiming> freezePoints;
    // See FreezePointAnalysis::loopsCutAt.
    std::optional<std::uint32_t> loopsCutAt;
    // Fragments the frame shaded, and those the log had no room for.
    std::uint64_t shaded = 0;
    std::uint64_t dropped = 0;
};

} // namespace Vellumar::capture
