// Reads a captured frame's order map and finds, from the numbers alone, how
// the rasteriser walked the window: its tile size, the path from tile to tile,
// the block shaded in one run inside a tile, the subgroup footprint and the
// freeze points' cost. It knows no driver; every answer comes with the
// evidence for it, and weak evidence gives "unknown" or a low confidence.
//
// The rules, and why:
// - Work on ranks (0..fragments-1 by order value), so that gaps the overdraw
//   leaves in the counter do not count as distance.
// - A candidate unit of w x h is a grid of aligned rectangles (TileGrid),
//   with whole units from the left or from the right edge, from the bottom
//   or from the top: a rasteriser that tiles a top-down framebuffer leaves
//   its cut row of tiles at the bottom of a GL window. Three measures judge
//   it:
//   * separation, per axis (LineJumps): the median order jump over the
//     unit's boundary lines divided by the largest median jump over the lines
//     at one place inside it. A unit the rasteriser works in has edges that
//     jump further than anything inside. A run of units that merely follow
//     each other (two 64 x 64 tiles side by side in row order) has an inside
//     line that jumps as far as its edges: separation about 1. Each axis of a
//     candidate longer than 1 needs at least minSeparation. Medians keep odd
//     tiles (at the window edge, on a primitive's edge, where a rasteriser
//     shades partly covered blocks first) from deciding alone.
//   * repeatability (TileScorer): in every wholly covered unit the pixels
//     follow each other in the same way. This holds for a unit one thread
//     shades, however many threads run, and fails for a pair of units two
//     threads shade at once, whose pixels mix by chance.
//   * tightness (TileScorer): covered pixels / rank range, 1 when nothing
//     else is shaded while the unit is.
//   A candidate qualifies with separated edges and a repeatable inner order
//   (or, with fewer than two wholly covered tiles to compare, when tight).
// - The tile is the largest tight qualifying candidate, as long as the
//   sizes are thought through:
//   * sub-rectangles of a tile are tight when its inside goes block by block,
//     but they are smaller: the largest wins;
//   * a run of tiles that follow each other (two side by side in a row-major
//     walk, a Z curve's groups of 2 and 4) is tight too, and is excluded: a
//     candidate is a run when it cuts along one axis into smaller tight
//     qualifying units whose own walk over the window is a clean path;
//   * a size whose order simply continues the walk between tiles (row-major
//     rows inside column-major tiles) shows no edge on that axis, and the
//     smaller unit is reported: the data cannot tell them apart.
// - Several threads: a thread's tile is then not tight. When a qualifying
//   candidate holds the tight tile found (blocks shaded in one go), is larger,
//   and at least half its tiles share their rank range with another, it is
//   the tile, and the walk is "interleaved". Without threads such a
//   candidate is a column or run of the real tiles and fails the tests above.
// - Traversal: tiles ordered by their first fragment. Interleaved as just
//   said, otherwise the best fitting path (TraversalClassifier) if it
//   predicts at least 80 % of the steps, else "unknown".
// - Block: the largest tight unit strictly inside the tile (narrower and
//   lower than it, so a row of the tile's own walk does not count), with
//   separated edges on each axis longer than 1; 1 x 1 when none.
// - Tile confidence: repeatability (half the tightness with a single whole
//   tile) times the weaker edge's strength, log2(separation) / 3 capped at 1,
//   halved for an interleaved tile, whose edges blur where two tiles were
//   shaded at the same time.
#pragma once

#include "FragmentCapture.h"
#include "OrderIndex.h"
#include "PatternReport.h"

namespace Vellumar::capture {

namespace PatternAnalysis {

// Unit sides tried on each axis: every size from 1 to this.
constexpr int maxUnitSide = 256;
constexpr double minSeparation = 2.0;
constexpr double minRepeatability = 0.9;
constexpr double minTightness = 0.9;
// The share of overlapping tiles that makes a walk interleaved.
constexpr double minOverlap = 0.5;

// Throws std::invalid_argument for an inconsistent capture.
PatternReport analyse(const FragmentCapture& capture, const OrderIndex& index);
PatternReport analyse(const FragmentCapture& capture);

} // namespace PatternAnalysis

} // namespace Vellumar::capture
