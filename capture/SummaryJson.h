// The summary of a capture as JSON: the window, the fragments shaded, the
// pixels covered, what the log dropped, overdraw and primitive order, what
// the driver offered, the context that drew it, and every finding of the
// analysis with its evidence.
// Unknown sizes and unavailable values are JSON null, never 0.
#pragma once

#include <nlohmann/json.hpp>

#include "FragmentCapture.h"
#include "PatternReport.h"
#include "PixelLayers.h"
#include "RepeatComparison.h"

namespace Vellumar::capture {

nlohmann::json summaryJson(const FragmentCapture& capture, const PatternReport& report,
                           const PixelLayers& layers);

// summary.json's "repeat" of --repeat: captures, same_order, tiles (count,
// stable, least_share, or null without a tile) and findings_agree.
nlohmann::json repeatJson(const RepeatComparison& comparison);

} // namespace Vellumar::capture
