// Reads a captured frame's order map and finds, from the numbers alone, how
// the rasteriser walked the window: its tile size, the path from tile to tile,
// the block shaded in one run inside a tile, the subgroup footprint and the
// freeze points' cost. It knows no driver; every answer comes with the
// evidence for it, and weak evidence gives "unknown" or a low confidence.
//
// The rules, and why:
// - Work on ranks (0..fragments-1 by order value), so that gaps the overdraw
//   leaves in the counter do not count as distance, and on covered pixels
//   only, so that a grid of small primitives with gaps, points or thin
//   primitives read as a window-filling primitive does.
// - Fewer than minCoveredPixels covered pixels (one primitive drawn on one
//   spot) lie inside a tile or two and show only what is inside them: tile,
//   traversal and block stay unknown.
// - A candidate unit of w x h is a grid of aligned rectangles (TileGrid),
//   with whole units from the left or from the right edge, from the bottom
//   or from the top: a rasteriser that tiles a top-down framebuffer leaves
//   its cut row of tiles at the bottom of a GL window. Three measures judge
//   it, over its full tiles (TileScorer: wholly inside the window and covered
//   like the most covered one):
//   * separation, per axis (LineJumps): the median order jump over the
//     unit's boundary lines divided by the largest median jump over the lines
//     at one place inside it. A unit the rasteriser works in has edges that
//     jump further than anything inside. A run of units that merely follow
//     each other (two 64 x 64 tiles side by side in row order) has an inside
//     line that jumps as far as its edges: separation about 1. Each axis of a
//     candidate longer than 1 needs at least minSeparation, or comes from the
//     other axis: two threads shading neighbouring tiles at once reach both
//     sides of their common edge at about the same time, which blurs that
//     edge, so each axis also tries the sides the other axis found. Medians
//     keep odd tiles (at the window edge, on a primitive's edge, where a
//     rasteriser shades partly covered blocks first) from deciding alone.
//   * repeatability (TileScorer): in every full tile the pixels follow each
//     other in the same way. This holds for a unit one thread shades, however
//     many threads run, and fails for a pair of units two threads shade at
//     once, whose pixels mix by chance.
//   * tightness (TileScorer): covered pixels / rank range, 1 when nothing
//     else is shaded while the unit is.
//   A candidate qualifies with separated edges and a repeatable inner order
//   (or, with fewer than two full tiles to compare, when tight).
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
//   the tile, unless it is cut along one axis into qualifying units that
//   keep fewer tiles in flight by more than inFlightSlack times: two tiles
//   one thread shaded at different times repeat their order as one does,
//   but hold in their range everything shaded in between. Without threads such
//   a candidate is a column or run of the real tiles and fails the tests
//   above. Two tiles that two threads shade side by side at the same pace
//   make a tight unit whose inner order repeats nearly as well, and that is
//   not quite shaded one by one: such a candidate cut along one axis into
//   units shaded concurrently that repeat their order better by more than
//   mixMargin is such a mix, and never the tile.
// - Traversal: tiles ordered by their first fragment. With more than
//   maxSerialConcurrency tiles in flight on average the walk is "interleaved"
//   (the order between tiles in flight is chance), otherwise the best fitting
//   path (TraversalClassifier) if it predicts at least 80 % of the steps,
//   else "unknown".
// - Block: read inside the tile's full tiles only, each ranked on its own
//   (so that other threads' fragments do not count, nor cut tiles at the
//   window's edge), from units that divide the tile, are narrower and lower
//   than it (a row of the tile's own walk does not count), at least 2 x 2,
//   wholly covered, and have sides whose edges stand out there (or cannot be
//   told, a sparse grid's gaps hiding them). The levels are those as tight
//   as the tightest one (within blockTolerance: a primitive's edge cuts a
//   unit into two runs, the more often the larger it is), and the tile. The
//   block is the largest level that is not a run of smaller ones: a unit cut
//   along one axis into smaller tight units is a run when, of the steps from
//   one unit to the next, at least minRunShare go one part on the way the
//   parts inside a unit follow each other (llvmpipe's 16 x 4 pieces of its
//   64 x 4 rows of 4 x 4 blocks, in the tiles it walks that way; a real
//   block's neighbour does not continue its inside). The same rasteriser so
//   reads the same block whatever the window's size. 1 x 1 when no unit
//   qualifies, unknown when no unit is wholly covered (points).
// - Confidences: the tile's is its repeatability (half the tightness with a
//   single full tile) times the weaker edge's strength, log2(separation) / 3
//   capped at 1. With tiles in flight together the edges between tiles
//   shaded at the same time blur and which of them comes first is chance:
//   the edges' strength is replaced by 0.5 / concurrency, and the
//   traversal's confidence is the share of tiles shaded alongside another
//   times the same.
#pragma once

#include <cstddef>

#include "FragmentCapture.h"
#include "OrderIndex.h"
#include "PatternReport.h"

namespace Vellumar::capture {

namespace PatternAnalysis {

// Unit sides tried on each axis: every size from 1 to this.
constexpr int maxUnitSide = 256;
constexpr std::size_t minCoveredPixels = 1024;
constexpr double minSeparation = 2.0;
constexpr double minRepeatability = 0.9;
constexpr double minTightness = 0.9;
// The share of overlapping tiles that makes a non-tight candidate the tile,
// and how many times as many tiles in flight as the units it is made of it
// may keep.
constexpr double minOverlap = 0.5;
constexpr double inFlightSlack = 1.5;
// How much better than a candidate the concurrent units it is made of must
// repeat their order for it to be those units mixed.
constexpr double mixMargin = 0.02;
// Tiles in flight on average, above which they were shaded concurrently: a
// few stray pixels shaded out of their tile's run stay below it.
constexpr double maxSerialConcurrency = 1.05;
constexpr double blockTolerance = 0.05;
// About the most full tiles the block is read from: a 512 x 512 window's
// worth shows every way a rasteriser walks its tiles as well as a larger one.
constexpr std::size_t maxBlockTiles = 64;
constexpr double minRunShare = 0.25;

// Throws std::invalid_argument for an inconsistent capture.
PatternReport analyse(const FragmentCapture& capture, const OrderIndex& index);
PatternReport analyse(const FragmentCapture& capture);

} // namespace PatternAnalysis

} // namespace Vellumar::capture
