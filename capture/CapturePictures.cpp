// Both pictures are drawn into memory pixel by pixel; every write is clipped
// to the picture, so a narrow frame cuts a number short instead of writing
// past its buffer.
#include "CapturePictures.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "WholeFile.h"

namespace Vellumar::capture {

namespace {

// Digits of 3 x 5 cells, one row to a byte from the top, the left cell in
// bit 2.
constexpr int glyphWidth = 3;
constexpr int glyphHeight = 5;
constexpr std::uint8_t digitGlyphs[10][glyphHeight] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};
// Each cell of a glyph is this many pixels a side; a cell's gap between digits.
constexpr int glyphScale = 2;
constexpr Rgba textColour{235, 235, 235, 255};
constexpr Rgba subgroupEdge{0, 0, 0, 255};
constexpr int legendMargin = 4;
constexpr int legendRampHeight = 12;

void appendBytes(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
}

void plot(Picture& picture, int x, int y, Rgba colour) {
    if (x >= 0 && y >= 0 && x < picture.width && y < picture.height) {
        picture.at(x, y) = colour;
    }
}

int digitsWidth(const std::string& digits) {
    const int count = static_cast<int>(digits.size());
    return count == 0 ? 0 : (count * (glyphWidth + 1) - 1) * glyphScale;
}

// Digits with their top-left corner at (left, top); anything else is skipped.
void drawDigits(Picture& picture, int left, int top, const std::string& digits) {
    for (char c : digits) {
        if (c >= '0' && c <= '9') {
            const std::uint8_t* glyph = digitGlyphs[c - '0'];
            for (int row = 0; row < glyphHeight * glyphScale; ++row) {
                for (int column = 0; column < glyphWidth * glyphScale; ++column) {
                    if ((glyph[row / glyphScale] >> (glyphWidth - 1 - column / glyphScale)) & 1) {
                        plot(picture, left + column, top - row, textColour);
                    }
                }
            }
        }
        left += (glyphWidth + 1) * glyphScale;
    }
}

std::string wholeNumber(double value) {
    return std::to_string(static_cast<unsigned long long>(std::llround(std::max(value, 0.0))));
}

// A part of the capture, colourOf(pixel index) for each of its pixels, drawn
// with its lower-left pixel at (left, bottom), each pixel `scale` pixels a
// side.
template <typename ColourOf>
void copyIn(Picture& picture, const FragmentCapture& capture, const PixelRect& part, int left,
            int bottom, int scale, ColourOf colourOf) {
    for (int y = 0; y < part.height; ++y) {
        for (int x = 0; x < part.width; ++x) {
            const Rgba colour = colourOf(capture.pixelIndex(part.x + x, part.y + y));
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    plot(picture, left + x * scale + dx, bottom + y * scale + dy, colour);
                }
            }
        }
    }
}

// Two pixels wide, one on either side of the edge between neighbouring
// pixels of different subgroups.
void drawSubgroupEdges(Picture& picture, const FragmentCapture& capture, const PixelRect& part,
                       int left) {
    const int s = tileEnlargement;
    auto differs = [&](int x0, int y0, int x1, int y1) {
        const std::size_t a = capture.pixelIndex(part.x + x0, part.y + y0);
        const std::size_t b = capture.pixelIndex(part.x + x1, part.y + y1);
        return capture.covered(a) && capture.covered(b) &&
               capture.subgroup[a] != capture.subgroup[b];
    };
    for (int y = 0; y < part.height; ++y) {
        for (int x = 0; x < part.width; ++x) {
            if (x + 1 < part.width && differs(x, y, x + 1, y)) {
                for (int d = 0; d < s; ++d) {
                    plot(picture, left + (x + 1) * s - 1, y * s + d, subgroupEdge);
                    plot(picture, left + (x + 1) * s, y * s + d, subgroupEdge);
                }
            }
            if (y + 1 < part.height && differs(x, y, x, y + 1)) {
                for (int d = 0; d < s; ++d) {
                    plot(picture, left + x * s + d, (y + 1) * s - 1, subgroupEdge);
                    plot(picture, left + x * s + d, (y + 1) * s, subgroupEdge);
                }
            }
        }
    }
}

} // namespace

Picture::Picture(int width, int height, Rgba fill)
    : width(width), height(height),
      pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

Picture timePicture(const FragmentCapture& capture, ViewBuilder& views) {
    Picture picture(capture.width, capture.height + legendHeight);
    const std::vector<Rgba>& view = views.build(View::time);
    std::copy(view.begin(), view.end(),
              picture.pixels.begin() + static_cast<std::ptrdiff_t>(legendHeight) * capture.width);
    const int rampTop = legendHeight - legendMargin - 1;
    const int rampWidth = capture.width - 2 * legendMargin;
    for (int x = 0; x < rampWidth; ++x) {
        const double share = rampWidth > 1 ? static_cast<double>(x) / (rampWidth - 1) : 0.0;
        const Rgba colour = ViewBuilder::rampColour(View::time, share);
        for (int y = 0; y < legendRampHeight; ++y) {
            plot(picture, legendMargin + x, rampTop - y, colour);
        }
    }
    const RampScale scale = views.rampScale(View::time).value_or(RampScale{});
    const int textTop = rampTop - legendRampHeight - 2;
    const std::string low = wholeNumber(scale.low);
    const std::string high = wholeNumber(scale.high);
    drawDigits(picture, legendMargin, textTop, low);
    drawDigits(picture, capture.width - legendMargin - digitsWidth(high), textTop, high);
    return picture;
}

PixelRect firstFullTile(const FragmentCapture& capture, const OrderIndex& index,
                        const TileEstimate& tile) {
    const int width = std::min(tile.size.width, tilePictureSide);
    const int height = std::min(tile.size.height, tilePictureSide);
    if (tile.size.known()) {
        const TileGrid grid{tile.size.width, tile.size.height, tile.offsetX, tile.offsetY};
        for (std::uint32_t p : index.pixelsInOrder()) {
            const int x = static_cast<int>(p % static_cast<std::uint32_t>(capture.width));
            const int y = static_cast<int>(p / static_cast<std::uint32_t>(capture.width));
            const int left = grid.left(grid.column(x));
            const int bottom = grid.bottom(grid.row(y));
            if (left >= 0 && bottom >= 0 && left + grid.width <= capture.width &&
                bottom + grid.height <= capture.height) {
                return {left, bottom, width, height};
            }
        }
    }
    return {0, 0, std::min(capture.width, unknownTileSide),
            std::min(capture.height, unknownTileSide)};
}

Picture tilePicture(const FragmentCapture& capture, const OrderIndex& index,
                    const PatternReport& report, ViewBuilder& views) {
    const PixelRect part = firstFullTile(capture, index, report.tile);
    const int panelWidth = part.width * tileEnlargement;
    const int gap = tileEnlargement;
    Picture picture(2 * panelWidth + gap, part.height * tileEnlargement);
    // The order ramp runs over the tile's own fragments: over the frame's,
    // one tile of many would show a single colour.
    const std::vector<std::uint32_t>& rank = index.ranks();
    std::uint32_t first = OrderIndex::noRank;
    std::uint32_t last = 0;
    for (int y = 0; y < part.height; ++y) {
        for (int x = 0; x < part.width; ++x) {
            const std::size_t p = capture.pixelIndex(part.x + x, part.y + y);
            if (capture.covered(p)) {
                first = std::min(first, rank[p]);
                last = std::max(last, rank[p]);
            }
        }
    }
    const double span = last > first ? static_cast<double>(last - first) : 1.0;
    copyIn(picture, capture, part, 0, 0, tileEnlargement, [&](std::size_t p) {
        return capture.covered(p) ? ViewBuilder::rampColour(View::order, (rank[p] - first) / span)
                                  : ViewBuilder::background;
    });
    const std::vector<Rgba>& subgroups = views.build(View::subgroups);
    copyIn(picture, capture, part, panelWidth + gap, 0, tileEnlargement,
           [&](std::size_t p) { return subgroups[p]; });
    if (capture.ballotAvailable) {
        drawSubgroupEdges(picture, capture, part, 0);
        drawSubgroupEdges(picture, capture, part, panelWidth + gap);
    }
    return picture;
}

std::string encodePng(int width, int height, const std::vector<Rgba>& image,
                      std::vector<std::uint8_t>& rgb) {
    const std::size_t columns = static_cast<std::size_t>(width);
    const std::size_t rows = static_cast<std::size_t>(height);
    rgb.resize(image.size() * 3);
    std::uint8_t* out = rgb.data();
    for (std::size_t row = 0; row < rows; ++row) {
        const Rgba* in = image.data() + (rows - 1 - row) * columns;
        for (std::size_t x = 0; x < columns; ++x, out += 3) {
            out[0] = in[x].r;
            out[1] = in[x].g;
            out[2] = in[x].b;
        }
    }
    std::string bytes;
    if (stbi_write_png_to_func(appendBytes, &bytes, width, height, 3, rgb.data(), width * 3) == 0) {
        throw measure::WriteError("cannot encode an image");
    }
    return bytes;
}

std::string encodePng(const Picture& picture, std::vector<std::uint8_t>& rgb) {
    return encodePng(picture.width, picture.height, picture.pixels, rgb);
}

} // namespace Vellumar::capture
