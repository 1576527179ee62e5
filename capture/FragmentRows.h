// The fragments of a capture as rows of named columns, in shading order:
//   x,y,order,layer,clock_start,clock_end,subgroup,lane,primitive,sm,warp,
//   loops,overdraw
// with y from the bottom, layer 0 for the first fragment at its pixel and
// overdraw the number of fragments at the pixel. A column is unavailable
// where the driver gave no value. The CSV and the NumPy file both take their
// columns from here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "FragmentCapture.h"
#include "FragmentLog.h"
#include "PixelLayers.h"

namespace Vellumar::capture {

class FragmentRows {
public:
    enum Column {
        x,
        y,
        order,
        layer,
        clockStart,
        clockEnd,
        subgroup,
        lane,
        primitive,
        sm,
        warp,
        loops,
        overdraw,
        columnCount
    };

    // All three must outlive the rows; the log is the capture's or stands for it.
    FragmentRows(const FragmentCapture& capture, const FragmentLog& log, const PixelLayers& layers);

    static const char* name(Column column);
    // 64-bit columns; the rest fit 32 bits.
    static bool wide(Column column) { return column == clockStart || column == clockEnd; }
    bool available(Column column) const { return offered[column]; }

    std::size_t size() const { return log.size(); }
    std::uint64_t value(Column column, std::size_t row) const;

private:
    const FragmentCapture& capture;
    const FragmentLog& log;
    const PixelLayers& layers;
    std::array<bool, columnCount> offered{};
};

} // namespace Vellumar::capture
