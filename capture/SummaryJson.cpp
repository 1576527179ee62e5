// Field names in snake_case, as the other result files of the tool.
#include "SummaryJson.h"

#include <cmath>

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
            {"ratio", f.ratio ? nlohmann::json(rounded(*f.ratio)) : nlohmann::json(nullptr)}};
}

} // namespace

nlohmann::json summaryJson(const FragmentCapture& capture, const PatternReport& report) {
    nlohmann::json json;
    json["width"] = report.width;
    json["height"] = report.height;
    json["fragments"] = report.fragments;
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

} // namespace Vellumar::capture
