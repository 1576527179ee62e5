// The footprint of one subgroup (the pixels shaded by one SIMD invocation) as
// the ballot data recorded it: how many lanes a subgroup has, how many of them
// a typical subgroup had at work, and the bounding box its pixels typically
// span. Nothing without ballot data; parts the data cannot show (a frame of
// points, one pixel to a subgroup) stay unknown.
#pragma once

#include <optional>

#include "FragmentCapture.h"

namespace Vellumar::capture {

struct SubgroupFootprint {
    // The subgroup's size: one more than the highest lane seen, when every
    // lane below it was seen too and a typical subgroup had several lanes at
    // work; 0 (unknown) otherwise, since subgroups of one pixel each show
    // only the lanes they happened to use.
    int lanes = 0;
    // One more than the highest lane seen, the evidence for `lanes`.
    int lanesSeen = 0;
    // Covered pixels (active lanes) of a typical subgroup.
    int active = 0;
    // Bounding box of a typical subgroup's pixels; 0 x 0 when a typical
    // subgroup covers one pixel, which shows no footprint.
    int width = 0;
    int height = 0;
    // Share of subgroups with exactly the typical active count and box;
    // subgroups at primitive edges, with lanes masked off, lower it.
    double consistency = 0.0;
    int subgroups = 0;

    bool lanesKnown() const { return lanes > 0; }
    bool footprintKnown() const { return width > 0 && height > 0; }
};

namespace SubgroupAnalysis {

// std::nullopt when the capture has no ballot data or no covered pixel.
std::optional<SubgroupFootprint> analyse(const FragmentCapture& capture);

} // namespace SubgroupAnalysis

} // namespace Vellumar::capture
