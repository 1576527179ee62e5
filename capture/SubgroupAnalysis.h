// The footprint of one subgroup (the pixels shaded by one SIMD invocation) as
// the ballot data recorded it: how many pixels a subgroup typically covers and
// the bounding box they typically span. Nothing without ballot data.
#pragma once

#include <optional>

#include "FragmentCapture.h"

namespace Vellumar::capture {

struct SubgroupFootprint {
    // Covered pixels of a typical subgroup (its active lanes).
    int size = 0;
    // Bounding box of a typical subgroup's pixels.
    int width = 0;
    int height = 0;
    // Highest lane seen + 1.
    int lanes = 0;
    // Share of subgroups with exactly the typical size and box; subgroups at
    // primitive edges, with lanes masked off, lower it.
    double consistency = 0.0;
    int subgroups = 0;
};

namespace SubgroupAnalysis {

// std::nullopt when the capture has no ballot data or no covered pixel.
std::optional<SubgroupFootprint> analyse(const FragmentCapture& capture);

} // namespace SubgroupAnalysis

} // namespace Vellumar::capture
