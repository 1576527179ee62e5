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

    nlohmann::json tile = sizeOrNull(report.tile.size);
    tile["confidence"] = rounded(report.tile.confidence);
    if (report.tile.size.known()) {
        const TileMeasure& m = report.tile.measure;
        tile["offset_x"] = report.tile.offsetX;
        tile["offset_y"] = report.tile.offsetY;
        tile["tightness"] = rounded(m.tightness);
        tile["repeatability"] =
            m.comparedTiles >= 2 ? nlohmann::json(rounded(m.repeatability)) : nullptr;
        tile["separation_x"] = rounded(report.tile.separationX);
        tile["separation_y"] = rounded(report.tile.separationY);
        tile["concurrency"] = rounded(m.concurrency);
        tile["full_tiles"] = m.fullTiles;
    }
    json["tile"] = tile;

    const TraversalEstimate& t = report.traversal;
    json["traversal"] = traversalName(t.pattern);
    json["traversal_detail"] = {
        {"confidence", rounded(t.confidence)},
        {"x_direction", direction(t.xStep, "left-to-right", "right-to-left")},
        {"y_direction", direction(t.yStep, "bottom-to-top", "top-to-bottom")},
        {"fast_axis", t.xStep == 0 ? nlohmann::json(nullptr)
                                   : nlohmann::json(t.fastAxis == Axis::x ? "x" : "y")}};

    json["block"] = sizeOrNull(report.block);
    json["levels"] = nlohmann::json::array();
    for (const Footprint& level : report.levels) {
        json["levels"].push_back(sizeOrNull(level));
    }

    if (report.subgroup) {
        const SubgroupFootprint& s = *report.subgroup;
        json["subgroup"] = {{"size", s.size},
                            {"width", s.width},
                            {"height", s.height},
                            {"lanes", s.lanes},
                            {"consistency", rounded(s.consistency)},
                            {"subgroups", s.subgroups}};
    } else {
        json["subgroup"] = nullptr;
    }

    json["freeze_points"] = nlohmann::json::array();
    for (const FreezePointTiming& f : report.freezePoints) {
        json["freeze_points"].push_back(
            {{"index", f.point.index},
             {"x", f.point.x},
             {"y", f.point.y},
             {"w", f.point.width},
             {"h", f.point.height},
             {"inside_pixels", f.insidePixels},
             {"available", report.clockAvailable},
             {"inside_cycles_median", valueOrNull(f.insideCyclesMedian)},
             {"outside_cycles_median", valueOrNull(f.outsideCyclesMedian)},
             {"ratio", f.ratio ? nlohmann::json(rounded(*f.ratio)) : nlohmann::json(nullptr)}});
    }
    json["extensions"] = capture.extensions;
    return json;
}

} // namespace Vellumar::capture
