// What the analysis of a capture found, as text: the one line the console
// prints after a capture, and the short values the Capture bar shows. Sizes
// the data did not support read "unknown", a subgroup without ballot data
// "unavailable".
#pragma once

#include <string>

#include "PatternReport.h"

namespace Vellumar::capture {

// The log, tile with its confidence, traversal, block and subgroup:
// "262144 fragments on 262144 pixels; tile 64x64 (confidence 0.98),
// row-major; block 4x4; subgroup 8 lanes (8 active), 4x2".
std::string findingsLine(const PatternReport& report);

// Fragments shaded on the pixels covered, with what the log dropped and
// where loops stopped short when it did: "1048576 fragments on 262144
// pixels, 48576 dropped, loops cut at 65535".
std::string logText(const PatternReport& report);

// "4x4".
std::string sizeText(const Footprint& size);
// The tile's size and confidence: "64x64 (0.98)".
std::string tileText(const TileEstimate& tile);
// The subgroup's size, its typical active lanes and footprint: "8 lanes
// (8 active), 4x2", "lanes unknown (1 active)" for a frame of points.
std::string subgroupText(const PatternReport& report);

} // namespace Vellumar::capture
