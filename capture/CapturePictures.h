// The capture's pictures that are more than one view: the time view with its
// scale under it (time.png), and the first full tile enlarged so that its
// pixels and subgroups can be told apart by eye (tile.png). Numbers are drawn
// with a small digit font of our own, so no font file is needed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "FragmentCapture.h"
#include "OrderIndex.h"
#include "PatternReport.h"
#include "ViewBuilder.h"

namespace Vellumar::capture {

// An RGBA picture, rows from the bottom like the capture's.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;

    Picture(int width, int height, Rgba fill = ViewBuilder::background);
    Rgba& at(int x, int y) {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// Window pixels, origin at the lower left.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Each pixel of tile.png is this many picture pixels a side.
inline constexpr int tileEnlargement = 8;
// Tiles larger than this a side are pictured by their lower-left part.
inline constexpr int tilePictureSide = 128;
// The part pictured when the analysis found no tile.
inline constexpr int unknownTileSide = 64;
inline constexpr int legendHeight = 32;

// The time view over a legend strip of legendHeight rows: the ramp across,
// the cycles of its two ends written under them. The view must be available.
Picture timePicture(const FragmentCapture& capture, ViewBuilder& views);

// The whole tile inside the frame whose first fragment was shaded first, on
// the analysis' tile grid; the frame's lower-left unknownTileSide square (or
// less in a smaller frame) when there is no tile or no covered whole one.
// Capped at tilePictureSide a side. The capture must not be empty.
PixelRect firstFullTile(const FragmentCapture& capture, const OrderIndex& index,
                        const TileEstimate& tile);

// The first full tile in the order view, its ramp running from the tile's
// first fragment to its last, and right of it in the subgroups view
// (coverage only without ballot data), each pixel tileEnlargement pixels a
// side, with a line between neighbours of different subgroups.
Picture tilePicture(const FragmentCapture& capture, const OrderIndex& index,
                    const PatternReport& report, ViewBuilder& views);

// PNG bytes, RGB with rows top-down: a quarter less to compress than RGBA,
// and the capture's rows start at the bottom while a PNG's start at the top.
// `rgb` is scratch space, kept between pictures. Throws measure::WriteError.
std::string encodePng(int width, int height, const std::vector<Rgba>& image,
                      std::vector<std::uint8_t>& rgb);
std::string encodePng(const Picture& picture, std::vector<std::uint8_t>& rgb);

} // namespace Vellumar::capture
