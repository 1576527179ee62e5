// The summary of a capture as JSON: the window, the fragments, what the
// driver offered, the context that drew it, and every finding of the
// analysis with its evidence.
// Unknown sizes and unavailable values are JSON null, never 0.
#pragma once

#include <nlohmann/json.hpp>

#include "FragmentCapture.h"
#include "PatternReport.h"

namespace Vellumar::capture {

nlohmann::json summaryJson(const FragmentCapture& capture, const PatternReport& report);

} // namespace Vellumar::capture
