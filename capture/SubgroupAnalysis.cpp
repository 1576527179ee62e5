// Pixels sorted by subgroup id, one pass per group for its box, and the most
// frequent (active, width, height) triple as the typical footprint.
#include "SubgroupAnalysis.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

namespace Vellumar::capture {

std::optional<SubgroupFootprint> SubgroupAnalysis::analyse(const FragmentCapture& capture) {
    capture.validate();
    if (!capture.ballotAvailable) {
        return std::nullopt;
    }
    std::vector<std::uint64_t> keyed;
    std::uint32_t maxLane = 0;
    for (std::size_t p = 0; p < capture.pixelCount(); ++p) {
        if (capture.covered(p)) {
            keyed.push_back((static_cast<std::uint64_t>(capture.subgroup[p]) << 32) | p);
            maxLane = std::max(maxLane, capture.lane[p]);
        }
    }
    if (keyed.empty()) {
        return std::nullopt;
    }
    // Every lane up to the highest seen: more lanes than pixels cannot be.
    bool everyLaneSeen = maxLane < keyed.size();
    if (everyLaneSeen) {
        std::vector<bool> seen(maxLane + 1u, false);
        for (std::uint64_t k : keyed) {
            seen[capture.lane[k & 0xffffffffu]] = true;
        }
        everyLaneSeen = std::find(seen.begin(), seen.end(), false) == seen.end();
    }
    std::sort(keyed.begin(), keyed.end());

    const std::size_t w = static_cast<std::size_t>(capture.width);
    std::map<std::tuple<int, int, int>, int> shapes;
    int groups = 0;
    for (std::size_t begin = 0; begin < keyed.size();) {
        const std::uint32_t id = static_cast<std::uint32_t>(keyed[begin] >> 32);
        std::size_t end = begin;
        std::size_t minX = w, maxX = 0, minY = static_cast<std::size_t>(capture.height), maxY = 0;
        for (; end < keyed.size() && static_cast<std::uint32_t>(keyed[end] >> 32) == id; ++end) {
            const std::size_t p = keyed[end] & 0xffffffffu;
            minX = std::min(minX, p % w);
            maxX = std::max(maxX, p % w);
            minY = std::min(minY, p / w);
            maxY = std::max(maxY, p / w);
        }
        ++shapes[{static_cast<int>(end - begin), static_cast<int>(maxX - minX + 1),
                  static_cast<int>(maxY - minY + 1)}];
        ++groups;
        begin = end;
    }

    // Ties go to the larger subgroup: a full one rather than an edge remnant.
    auto typical = shapes.begin();
    for (auto it = shapes.begin(); it != shapes.end(); ++it) {
        if (it->second > typical->second ||
            (it->second == typical->second &&
             std::get<0>(it->first) > std::get<0>(typical->first))) {
            typical = it;
        }
    }
    SubgroupFootprint footprint;
    footprint.active = std::get<0>(typical->first);
    footprint.lanesSeen = static_cast<int>(std::min<std::uint32_t>(maxLane, 0x7ffffffeu)) + 1;
    // A subgroup with one pixel at work shows neither its box nor its size.
    if (footprint.active > 1) {
        footprint.width = std::get<1>(typical->first);
        footprint.height = std::get<2>(typical->first);
        footprint.lanes = everyLaneSeen ? footprint.lanesSeen : 0;
    }
    footprint.consistency = static_cast<double>(typical->second) / groups;
    footprint.subgroups = groups;
    return footprint;
}

} // namespace Vellumar::capture
