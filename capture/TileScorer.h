// Measures of one candidate tile grid: the window cut into aligned rectangles
// of one size, each scored by how its pixels' ranks behave. A grid the
// rasteriser really works in gives tight tiles (their ranks form one run)
// when one thread shades, and the same inner order in every tile whatever the
// number of threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FragmentCapture.h"
#include "OrderIndex.h"

namespace Vellumar::capture {

// Rectangles of width x height whose edges fall on the columns x with
// x mod width == offsetX and the rows y with y mod height == offsetY. Offset
// 0 starts whole tiles at the lower-left corner; an offset of (window width
// mod width) ends them at the right edge, (window height mod height) at the
// top edge, as a rasteriser that tiles its framebuffer from the top-left
// corner does. Tiles cut by the window are partial.
struct TileGrid {
    int width = 1;
    int height = 1;
    int offsetX = 0;
    int offsetY = 0;

    // How far the first column (row) of tiles reaches out of the window.
    int shiftX() const { return (width - offsetX) % width; }
    int shiftY() const { return (height - offsetY) % height; }
    int columns(int windowWidth) const { return (windowWidth + shiftX() + width - 1) / width; }
    int rows(int windowHeight) const { return (windowHeight + shiftY() + height - 1) / height; }
    int column(int x) const { return (x + shiftX()) / width; }
    int row(int y) const { return (y + shiftY()) / height; }
    int left(int column) const { return column * width - shiftX(); }
    int bottom(int row) const { return row * height - shiftY(); }
    long area() const { return static_cast<long>(width) * height; }
    // Every edge of ours is an edge of `finer`: our tiles are made of its.
    bool holds(const TileGrid& finer) const {
        return width % finer.width == 0 && height % finer.height == 0 &&
               offsetX % finer.width == finer.offsetX && offsetY % finer.height == finer.offsetY;
    }
};

// Which tiles of a grid are full, that is, scored. For the tiles of a frame:
// those wholly inside the window and covered like the most covered such tile
// (at least half its pixels, and two): a grid of small primitives or points
// covers every tile alike, if sparsely, while edge tiles the window or a
// primitive cuts would look tighter than they are. For blocks inside tiles:
// the wholly covered ones only, since a block with a gap in it shows a run
// whatever the rasteriser did.
enum class Coverage {
    likeTheFullest,
    whole,
};

struct TileMeasure {
    TileGrid grid;
    // Tiles full as the scorer's Coverage says.
    int fullTiles = 0;
    // Mean over the full tiles of covered pixels / (last rank - first rank + 1):
    // 1 when nothing else was shaded while a tile was, 1/k with k tiles shaded
    // at once.
    double tightness = 0.0;
    // Full tiles covered exactly like the most covered one, whose inner order
    // could be compared with the previous such tile (0 or 1 of them leaves
    // repeatability unknown).
    int comparedTiles = 0;
    // Share of their covered pixels whose next pixel in shading order, among
    // their own tile's pixels, sits at the same place as in the previous
    // compared tile.
    double repeatability = 0.0;
    // Share of covered tiles whose rank range meets another tile's range.
    double overlap = 0.0;
    // Sum of the tiles' rank ranges over the fragments: how many tiles were
    // in flight at once, on average; 1 when they were shaded one by one.
    double concurrency = 0.0;
};

// A tile with at least one covered pixel: its grid position and the rank of
// its first fragment.
struct TileCell {
    int x = 0;
    int y = 0;
    std::uint32_t firstRank = 0;
};

class TileScorer {
public:
    TileScorer(const FragmentCapture& capture, const OrderIndex& index,
               Coverage coverage = Coverage::likeTheFullest);
    // Scores another index of the same capture with the buffers of `frame`,
    // which is done with: a large window's buffers are costly to make.
    TileScorer(TileScorer&& frame, const OrderIndex& index, Coverage coverage);

    // Sizes below 1, or offsets outside 0..size-1, give an empty measure.
    // When `sequence` is given it receives the covered tiles, partial edge
    // tiles included, in the order of their first fragment.
    TileMeasure measure(const TileGrid& grid, std::vector<TileCell>* sequence = nullptr);
    // The same with only fullTiles and tightness scored: a fraction of the
    // cost, for trying many grids.
    TileMeasure measureTightness(const TileGrid& grid, std::vector<TileCell>* sequence = nullptr);

    // The covered pixels of about `limit` (at least 1) of the grid's full
    // tiles, tile after tile, each tile's in shading order. The tiles are
    // picked by a hash of their index, so that they follow no row, column or
    // checkerboard of the grid. Empty for a grid that measure() would not
    // score.
    std::vector<std::uint32_t> fullTilesInOrder(const TileGrid& grid, std::size_t limit);

private:
    TileMeasure score(const TileGrid& grid, std::vector<TileCell>* sequence, bool all);
    // Lays the grid out and follows the fragments through it, with each
    // pixel's successor in its tile when asked; false for a grid that cannot
    // be scored.
    bool prepare(const TileGrid& grid, bool successors = true);
    // The grid's tile of each column and row, and which tiles lie whole
    // inside the window.
    void layOut(const TileGrid& grid);
    // Per tile its first and last rank and pixel count, per pixel the next
    // pixel of its tile (when asked), and the tiles in the order of their
    // first fragment.
    void followFragments(bool successors);
    // The covered count of a compared tile and the least of a full one.
    void countCoverage(const TileGrid& grid);
    bool full(std::size_t tile) const { return whole[tile] != 0 && count[tile] >= fullLeast; }
    void scoreTightness(TileMeasure& result) const;
    void scoreRepeatability(TileMeasure& result) const;
    void scoreOverlap(TileMeasure& result);
    void listTiles(std::vector<TileCell>& sequence) const;
    // Where in the tile at (originX, originY) the pixel after its pixel
    // (x, y) lies, as y * width + x; -1 for the tile's last pixel.
    std::int64_t nextInTile(const TileGrid& grid, int originX, int originY, int x, int y) const;
    std::size_t tileAt(int tx, int ty) const {
        return static_cast<std::size_t>(ty) * static_cast<std::size_t>(gridX) +
               static_cast<std::size_t>(tx);
    }

    const FragmentCapture& capture;
    const OrderIndex& index;
    const Coverage coverage;
    // The grid the scratch below belongs to.
    bool laidOut = false;
    TileGrid laidOutGrid;
    bool laidOutWithSuccessors = false;
    // Each pixel's column and row, so that the per-fragment loop divides by
    // nothing.
    std::vector<std::uint16_t> columnOf;
    std::vector<std::uint16_t> rowOf;
    // Scratch, kept between calls.
    int gridX = 0;
    int gridY = 0;
    std::vector<std::uint32_t> tileColumn;
    std::vector<std::uint32_t> tileRowStart;
    std::vector<std::uint8_t> whole; // per tile: wholly inside the window
    std::uint64_t fullCount = 0;
    std::uint64_t fullLeast = 0;
    std::vector<std::uint32_t> first;
    std::vector<std::uint32_t> last;
    std::vector<std::uint32_t> count;
    std::vector<std::uint32_t> lastPixel;
    std::vector<std::uint32_t> next;
    std::vector<std::uint32_t> tileOrder;
    std::vector<std::uint8_t> overlapping;
};

} // namespace Vellumar::capture
