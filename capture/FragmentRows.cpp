// A column's availability follows the log's own columns: the capture's flags
// say the same for a recorded capture, and a capture made from maps has no
// loop counts.
#include "FragmentRows.h"

namespace Vellumar::capture {

FragmentRows::FragmentRows(const FragmentCapture& capture, const FragmentLog& log,
                           const PixelLayers& layers)
    : capture(capture), log(log), layers(layers) {
    offered.fill(true);
    offered[clockStart] = offered[clockEnd] = !log.clockStart.empty();
    offered[subgroup] = offered[lane] = !log.subgroup.empty();
    offered[primitive] = !log.primitive.empty();
    offered[sm] = offered[warp] = !log.smId.empty();
    offered[loops] = !log.loops.empty();
}

const char* FragmentRows::name(Column column) {
    static const char* const names[columnCount] = {
        "x",    "y",         "order", "layer", "clock_start", "clock_end", "subgroup",
        "lane", "primitive", "sm",    "warp",  "loops",       "overdraw"};
    return names[column];
}

std::uint64_t FragmentRows::value(Column column, std::size_t row) const {
    const std::size_t width = static_cast<std::size_t>(capture.width);
    const std::uint32_t p = log.pixel[row];
    switch (column) {
    case x: return p % width;
    case y: return p / width;
    case order: return log.order[row];
    case layer: return layers.layers()[row];
    case clockStart: return log.clockStart[row];
    case clockEnd: return log.clockEnd[row];
    case subgroup: return log.subgroup[row];
    case lane: return log.lane[row];
    case primitive: return log.primitive[row];
    case sm: return log.smId[row];
    case warp: return log.warpId[row];
    case loops: return log.loops[row];
    case overdraw: return capture.overdraw[p];
    case columnCount: break;
    }
    return 0;
}

} // namespace Vellumar::capture
