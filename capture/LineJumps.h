// How far apart in shading order the two sides of each pixel boundary line
// are. Inside a unit the rasteriser shades in one go (a tile, a block), side
// by side pixels are close in order; across the unit's edge the order jumps by
// everything shaded in between. So the lines where the order jumps most mark
// the units, and a size whose boundary lines all jump further than every line
// inside it is a real unit rather than a run of units that happen to follow
// each other.
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
    // unit, of the median jump over the lines at that place. Size 1 has no
    // inside lines and counts as neutral (1). 0 when no boundary line
    // crosses covered pixels on both sides (the window is too small to tell),
    // or for an offset outside 0..size-1.
    double separation(Axis axis, int size, int offset = 0) const;

    // The median jump over the line before column (row) `line`, 0 where no
    // pair of covered pixels straddles it.
    std::uint32_t jump(Axis axis, int line) const;

private:
    std::vector<std::uint32_t> columnJumps; // [x]: between x-1 and x
    std::vector<std::uint32_t> rowJumps;    // [y]: between y-1 and y
};

} // namespace Vellumar::capture
