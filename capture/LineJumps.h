// How far apart in shading order the two sides of each pixel boundary line
// are. Inside a unit the rasteriser shades in one go (a tile, a block), side
// by side pixels are close in order; across the unit's edge the order jumps by
// everything shaded in between. So the lines where the order jumps most mark
// the units, and a size whose boundary lines all jump further than every line
// inside it is a real unit rather than a run of units that happen to follow
// each other.
//
// Only covered pixels count. Two covered pixels with uncovered ones between
// them (a grid of small primitives with gaps, points) are neighbours too:
// their jump stands for the band of lines between them, since the data cannot
// say on which of those lines an edge lies.
#pragma once

#include <cstdint>
#include <vector>

#include "FragmentCapture.h"
#include "OrderIndex.h"

namespace Vellumar::capture {

enum class Axis {
    x, // vertical lines between columns: tile and block widths
    y, // horizontal lines between rows: heights
};

class LineJumps {
public:
    LineJumps(const FragmentCapture& capture, const OrderIndex& index);

    // How cleanly units of this size along the axis, with their edges on the
    // lines at `offset` modulo `size`, stand apart: the median jump over
    // their boundary lines divided by the largest, over the places inside a
    // unit, of the median jump over the lines at that place. A band of lines
    // counts as a boundary line when it holds one, and at each of its places
    // otherwise; a band wider than half the size cannot place an edge and
    // does not count. Size 1 has no inside lines and counts as neutral (1).
    // 0 when no boundary line has covered pixels on both sides (too little
    // data to tell), or for an offset outside 0..size-1.
    double separation(Axis axis, int size, int offset = 0) const;

private:
    // Pixels with a gap between them: the lines first..last (the line before
    // column or row `first` up to the one before `last`) they straddle, and
    // the median jump of the pixel pairs that straddle exactly those.
    struct Band {
        int first;
        int last;
        std::uint32_t jump;
    };
    void measure(const FragmentCapture& capture, const OrderIndex& index, Axis axis);

    // Per line, the median jump of the side by side pixels across it, 0
    // where none are: [x] between columns x-1 and x, [y] between rows.
    std::vector<std::uint32_t> columnJumps;
    std::vector<std::uint32_t> rowJumps;
    std::vector<Band> columnGaps;
    std::vector<Band> rowGaps;
};

} // namespace Vellumar::capture
