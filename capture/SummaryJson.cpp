// Field names in snake_case, as the other result files of the tool.
#include "SummaryJson.h"

#include <cmath>
#include <set>

namespace Vellumar::capture {

namespace {

// Four decimals are plenty for scores and keep the file readable.
double rounded(double value) { return std::round(value * 1e4) / 1e4; }

nlohmann::json sizeOrNull(const Footprint& size) {
    if (!size.known()) {
        return {{"width", nullptr}, {"height", nullptr}};
    }
    return {{"width", size.width}, {"height", size.height}};
}

nlohmann::json roundedOrNull(const std::optional<double>& value) {
    return value ? nlohmann::json(rounded(*value)) : nlohmann::json(nullptr);
}

template <typename T>
nlohmann::json valueOrNull(const std::optional<T>& value) {
    return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

nlohmann::json direction(int step, const char* forward, const char* backward) {
    if (step == 0) {
        return nullptr;
    }
    return step > 0 ? forward : backward;
}

nlohmann::json tileJson(const TileEstimate& estimate) {
    nlohmann::json tile = sizeOrNull(estimate.size);
    tile["confidence"] = rounded(estimate.confidence);
    if (estimate.size.known()) {
        const TileMeasure& m = estimate.measure;
        tile["offset_x"] = estimate.offsetX;
        tile["offset_y"] = estimate.offsetY;
        tile["tightness"] = rounded(m.tightness);
        tile["repeatability"] =
            m.comparedTiles >= 2 ? nlohmann::json(rounded(m.repeatability)) : nullptr;
        tile["separation_x"] = rounded(estimate.separationX);
        tile["separation_y"] = rounded(estimate.separationY);
        tile["concurrency"] = rounded(m.concurrency);
        tile["full_tiles"] = m.fullTiles;
    }
    return tile;
}

nlohmann::json traversalDetailJson(const TraversalEstimate& t) {
    return {{"confidence", rounded(t.confidence)},
            {"x_direction", direction(t.xStep, "left-to-right", "right-to-left")},
            {"y_direction", direction(t.yStep, "bottom-to-top", "top-to-bottom")},
            {"fast_axis", t.xStep == 0 ? nlohmann::json(nullptr)
                                       : nlohmann::json(t.fastAxis == Axis::x ? "x" : "y")}};
}

nlohmann::json subgroupJson(const std::optional<SubgroupFootprint>& subgroup) {
    if (!subgroup) {
        return nullptr;
    }
    const SubgroupFootprint& s = *subgroup;
    const auto known = [](bool isKnown, int value) {
        return isKnown ? nlohmann::json(value) : nlohmann::json(nullptr);
    };
    return {{"size", known(s.lanesKnown(), s.lanes)},
            {"active", s.active},
            {"width", known(s.footprintKnown(), s.width)},
            {"height", known(s.footprintKnown(), s.height)},
            {"lanes", s.lanesSeen},
            {"consistency", rounded(s.consistency)},
            {"subgroups", s.subgroups}};
}

nlohmann::json freezePointJson(const FreezePointTiming& f, bool clockAvailable) {
    return {{"index", f.point.index},
            {"x", f.point.x},
            {"y", f.point.y},
            {"w", f.point.width},
            {"h", f.point.height},
            {"inside_pixels", f.insidePixels},
            {"available", clockAvailable},
            {"inside_cycles_median", valueOrNull(f.insideCyclesMedian)},
            {"outside_cycles_median", valueOrNull(f.outsideCyclesMedian)},
            {"ratio", roundedOrNull(f.ratio)},
            {"inside_loops_median", valueOrNull(f.insideLoopsMedian)},
            {"outside_loops_median", valueOrNull(f.outsideLoopsMedian)},
            {"loop_ratio", f.insideLoopsMedian && f.outsideLoopsMedian && *f.outsideLoopsMedian > 0
                               ? nlohmann::json(rounded(double(*f.insideLoopsMedian) /
                                                        double(*f.outsideLoopsMedian)))
                               : nlohmann::json(nullptr)},
            {"cycles_per_loop", roundedOrNull(f.cyclesPerLoop)},
            {"fixed_cycles", roundedOrNull(f.fixedCycles)}};
}

// Distinct multiprocessors and warps (per multiprocessor) the log saw.
nlohmann::json threadGroupJson(const FragmentCapture& capture) {
    const FragmentLog& log = capture.log;
    if (!capture.threadGroupAvailable || log.smId.empty()) {
        return nullptr;
    }
    std::set<std::uint32_t> sms;
    std::set<std::uint64_t> warps;
    for (std::size_t i = 0; i < log.size(); ++i) {
        sms.insert(log.smId[i]);
        warps.insert((std::uint64_t{log.smId[i]} << 32) | log.warpId[i]);
    }
    return {{"sms", sms.size()}, {"warps", warps.size()}};
}

} // namespace

nlohmann::json summaryJson(const FragmentCapture& capture, const PatternReport& report,
                           const PixelLayers& layers) {
    nlohmann::json json;
    json["width"] = report.width;
    json["height"] = report.height;
    json["fragments"] = report.shaded;
    json["pixels"] = report.fragments;
    json["dropped"] = report.dropped;
    json["overdraw"] = {{"max", layers.maxOverdraw()}, {"mean", rounded(layers.meanOverdraw())}};
    const double inOrder = layers.primitiveOrderShare();
    json["primitive_order"] =
        inOrder < 0.0 ? nlohmann::json(nullptr) : nlohmann::json(rounded(inOrder));
    json["loops_cut_at"] = valueOrNull(report.loopsCutAt);
    json["thread_group"] = threadGroupJson(capture);
    json["available"] = {{"clock", capture.clockAvailable},
                         {"ballot", capture.ballotAvailable},
                         {"primitive", capture.primitiveAvailable},
                         {"thread_group", capture.threadGroupAvailable}};
    json["tile"] = tileJson(report.tile);
    json["traversal"] = traversalName(report.traversal.pattern);
    json["traversal_detail"] = traversalDetailJson(report.traversal);
    json["block"] = sizeOrNull(report.block);
    json["levels"] = nlohmann::json::array();
    for (const Footprint& level : report.levels) {
        json["levels"].push_back(sizeOrNull(level));
    }
    json["subgroup"] = subgroupJson(report.subgroup);
    json["freeze_points"] = nlohmann::json::array();
    for (const FreezePointTiming& f : report.freezePoints) {
        json["freeze_points"].push_back(freezePointJson(f, report.clockAvailable));
    }
    json["extensions"] = capture.extensions;
    json["context"] = capture.context ? measure::contextJson(*capture.context) : nullptr;
    return json;
}

nlohmann::json repeatJson(const RepeatComparison& comparison) {
    const RepeatComparison::Tiles tiles = comparison.tiles();
    return {{"captures", comparison.captures()},
            {"same_order", rounded(comparison.sameOrderShare())},
            {"tiles", tiles.count == 0
                          ? nlohmann::json(nullptr)
                          : nlohmann::json{{"count", tiles.count},
                                           {"stable", tiles.stable},
                                           {"least_share", rounded(tiles.leastShare)}}},
            {"findings_agree", comparison.findingsAgree()}};
}

} // namespace Vellumar::capture
