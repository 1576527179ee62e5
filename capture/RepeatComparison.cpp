// A later capture is laid out pixel by pixel, its fragments in layer order
// (offsets from the prefix sums of its overdraw), so that the first capture's
// fragment at (pixel, layer) is found in one step.
#include "RepeatComparison.h"

#include <algorithm>
#include <map>

#include "PixelLayers.h"

namespace Vellumar::capture {

namespace {

bool sameFindings(const PatternReport& a, const PatternReport& b) {
    return a.tile.size.width == b.tile.size.width && a.tile.size.height == b.tile.size.height &&
           a.traversal.pattern == b.traversal.pattern && a.block.width == b.block.width &&
           a.block.height == b.block.height;
}

} // namespace

RepeatComparison::RepeatComparison(const FragmentCapture& first, const PatternReport& report)
    : first(first), log(first.logOrFirstFragments(standIn)),
      layerOf(PixelLayers(first, log).layers()), same(log.size(), 1), firstReport(report) {}

void RepeatComparison::add(const FragmentCapture& again, const PatternReport& report) {
    ++taken;
    agree = agree && sameFindings(firstReport, report);
    FragmentLog againStandIn;
    const FragmentLog& againLog = again.logOrFirstFragments(againStandIn);
    if (again.width != first.width || again.height != first.height) {
        std::fill(same.begin(), same.end(), 0);
        return;
    }
    std::vector<std::uint32_t> start(again.pixelCount() + 1, 0);
    for (std::size_t p = 0; p < again.pixelCount(); ++p) {
        start[p + 1] = start[p] + again.overdraw[p];
    }
    std::vector<std::uint32_t> orders(start.back(), none);
    std::vector<std::uint32_t> filled(start.begin(), start.end() - 1);
    for (std::size_t i = 0; i < againLog.size(); ++i) {
        orders[filled[againLog.pixel[i]]++] = againLog.order[i];
    }
    for (std::size_t i = 0; i < log.size(); ++i) {
        const std::uint32_t p = log.pixel[i];
        const std::uint32_t at = start[p] + layerOf[i];
        same[i] = same[i] && at < start[p + 1] && orders[at] == log.order[i];
    }
}

double RepeatComparison::sameOrderShare() const {
    if (same.empty()) {
        return 1.0;
    }
    return static_cast<double>(std::count(same.begin(), same.end(), 1)) /
           static_cast<double>(same.size());
}

RepeatComparison::Tiles RepeatComparison::tiles() const {
    Tiles tiles;
    const TileEstimate& tile = firstReport.tile;
    if (!tile.size.known()) {
        return tiles;
    }
    // Fragments and those that kept their order, per tile.
    std::map<std::pair<int, int>, std::pair<std::size_t, std::size_t>> perTile;
    const std::size_t width = static_cast<std::size_t>(first.width);
    for (std::size_t i = 0; i < log.size(); ++i) {
        const int x = static_cast<int>(log.pixel[i] % width);
        const int y = static_cast<int>(log.pixel[i] / width);
        auto& counts = perTile[{(x + tile.size.width - tile.offsetX) / tile.size.width,
                                (y + tile.size.height - tile.offsetY) / tile.size.height}];
        ++counts.first;
        counts.second += same[i];
    }
    tiles.count = perTile.size();
    for (const auto& entry : perTile) {
        const auto [fragments, kept] = entry.second;
        tiles.stable += kept == fragments ? 1 : 0;
        tiles.leastShare = std::min(tiles.leastShare, static_cast<double>(kept) / fragments);
    }
    return tiles;
}

} // namespace Vellumar::capture
