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

struct TileMeasure {
    TileGrid grid;
    // Tiles wholly inside the window with at least half their pixels covered:
    // edge tiles the window cuts would look tighter than they are.
    int fullTiles = 0;
    // Mean over the full tiles of covered pixels / (last rank - first rank + 1):
    // 1 when nothing else was shaded while a tile was, 1/k with k tiles shaded
    // at once.
    double tightness = 0.0;
    // Wholly covered full tiles whose inner order could be compared with the
    // previous such tile (0 or 1 of them leaves repeatability unknown).
    int comparedTiles = 0;
    // Share of pixels whose next pixel in shading order, among their own
    // tile's pixels, sits at the same place as in the previous compared tile.
    double repeatability = 0.0;
    // Share of covered tiles whose rank range meets another tile's range.
    double overlap = 0.0;
    // Sum of the tiles' rank ranges over the fragments: how many tiles were
    // in flight at once, on average.
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
    TileScorer(const FragmentCapture& capture, const OrderIndex& index);

    // Sizes below 1, or offsets outside 0..size-1, give an empty measure.
    // When `sequence` is given it receives the covered tiles, partial edge
    // tiles included, in the order of their first fragment.
    TileMeasure measure(const TileGrid& grid, std::vector<TileCell>* sequence = nullptr);

private:
    // The grid's tile of each column and row, and which tiles lie whole
    // inside the window.
    void layOut(const TileGrid& grid);
    // Per tile its first and last rank and pixel count, per pixel the next
    // pixel of its tile, and the tiles in the order of their first fragment.
    void followFragments();
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
    std::vector<std::uint32_t> first;
    std::vector<std::uint32_t> last;
    std::vector<std::uint32_t> count;
    std::vector<std::uint32_t> lastPixel;
    std::vector<std::uint32_t> next;
    std::vector<std::uint32_t> tileOrder;
    std::vector<std::uint8_t> overlapping;
};

} // namespace Vellumar::capture
