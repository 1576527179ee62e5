// Reads a captured frame's order map and finds, from the numbers alone, how
// the rasteriser walked the window: its tile size, the path from tile to tile,
// the block shaded in one run inside a tile, the subgroup footprint and the
// freeze points' cost. It knows no driver; every answer comes with the
// evidence for it, and weak evidence gives "unknown" or a low confidence.
//
// The rules, and why:
// - Work on ranks (0..fragments-1 by order value), so that gaps the overdraw
//   leaves in the counter do not count as distance.
// - A candidate unit of w x h is an aligned rectangle from the lower-left
//   corner. Three measures judge it:
//   * separation, per axis (LineJumps): the smallest order jump over the
//     unit's boundary lines divided by the largest jump over lines inside it.
//     A unit the rasteriser works in has edges that jump further than
//     anything inside. A run of units that merely follow each other (two
//     64 x 64 tiles side by side in row order) has an inside line that jumps
//     as far as its edges, so its separation is about 1. Each axis of a
//     candidate needs at least minSeparation, or size 1.
//   * repeatability (TileScorer): in every wholly covered unit the pixels
//     follow each other in the same way. This holds for a unit one thread
//     shades, however many threads run, and fails for a pair of units two
//     threads shade at once, whose pixels mix by chance.
//   * tightness (TileScorer): covered pixels / rank range, 1 when nothing
//     else is shaded while the unit is.
// - Tightness alone cannot pick the tile: every sub-rectangle of a tile whose
//   inside runs block by block is tight too, and so is every run of tiles in
//   the walk's direction. Hence the "largest tight size" rule is refined. A
//   candidate qualifies with a repeatable inner order (or, with fewer than two
//   wholly covered tiles to compare, when it is tight). Tight qualifying
//   candidates are one thread's units and are looked at first; only when
//   there is none (several threads mixed every unit) the others are. Among
//   them the tile is the largest whose edges are strong (separation of at
//   least strongSeparation on each axis longer than 1). Runs of tiles score
//   about 1 on their run axis, and the groups of 2 and 4 tiles a Z curve makes
//   stay between 3 and 4.3, below the 8 to thousands of real tile edges; inner
//   blocks are strong too but smaller. When no candidate is strong (a Z curve
//   inside the tiles too), the one whose edges stand out most wins: the
//   highest log separation x + log separation y, the larger on a tie.
// - A size whose order simply continues the walk between tiles (row-major
//   rows inside column-major tiles) has no boundary in the data on that axis,
//   and the smaller unit is reported: the data cannot tell it apart.
// - Traversal: tiles ordered by their first fragment. When tiles are not
//   tight and at least half of them overlap another's rank range, several
//   threads shaded at once: "interleaved". Otherwise the best fitting path
//   (TraversalClassifier) if it predicts at least 80 % of the steps, else
//   "unknown".
// - Block: the largest tight unit strictly inside the tile (narrower and
//   lower than it, so a row of the tile's own walk does not count), with
//   separated edges on each axis longer than 1; 1 x 1 when none.
// - Tile confidence: repeatability (half the tightness with a single whole
//   tile) times the weaker edge's strength, log2(separation) / 4 capped at 1,
//   halved when tiles were mixed with other threads' tiles: an edge between
//   two tiles shaded at the same time blurs, and with blocks inside the tiles
//   a column of blocks can then pass for the tile.
#pragma once

#include "FragmentCapture.h"
#include "OrderIndex.h"
#include "PatternReport.h"

namespace Vellumar::capture {

class PatternAnalysis {
public:
    // Unit sides tried on each axis: every size from 1 to this.
    static constexpr int maxUnitSide = 256;
    static constexpr double minSeparation = 2.0;
    static constexpr double strongSeparation = 6.0;
    static constexpr double minRepeatability = 0.9;
    static constexpr double minTightness = 0.9;
    // The share of overlapping tiles that makes a walk interleaved.
    static constexpr double minOverlap = 0.5;

    // Throws std::invalid_argument for an inconsistent capture.
    static PatternReport analyse(const FragmentCapture& capture, const OrderIndex& index);
    static PatternReport analyse(const FragmentCapture& capture);
};

} // namespace Vellumar::capture
