// Confidences with two decimals: enough to tell a clear finding from a
// doubtful one at a glance.
#include "FindingsText.h"

#include <cstdio>

namespace Vellumar::capture {

namespace {

std::string twoDecimals(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

} // namespace

std::string sizeText(const Footprint& size) {
    if (!size.known()) {
        return "unknown";
    }
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::string tileText(const TileEstimate& tile) {
    if (!tile.size.known()) {
        return sizeText(tile.size);
    }
    return sizeText(tile.size) + " (" + twoDecimals(tile.confidence) + ")";
}

std::string subgroupText(const PatternReport& report) {
    if (!report.subgroup) {
        return "unavailable";
    }
    const SubgroupFootprint& s = *report.subgroup;
    std::string text = s.lanesKnown() ? std::to_string(s.lanes) + " lanes" : "lanes unknown";
    text += " (" + std::to_string(s.active) + " active)";
    if (s.footprintKnown()) {
        text += ", " + sizeText(Footprint{s.width, s.height});
    }
    return text;
}

std::string logText(const PatternReport& report) {
    std::string text = std::to_string(report.shaded) + " fragments on " +
                       std::to_string(report.fragments) + " pixels";
    if (report.dropped > 0) {
        text += ", " + std::to_string(report.dropped) + " dropped";
    }
    if (report.loopsCutAt) {
        text += ", loops cut at " + std::to_string(*report.loopsCutAt);
    }
    return text;
}

std::string findingsLine(const PatternReport& report) {
    std::string text = logText(report) + "; tile " + sizeText(report.tile.size);
    if (report.tile.size.known()) {
        text += " (confidence " + twoDecimals(report.tile.confidence) + ")";
    }
    return text + ", " + traversalName(report.traversal.pattern) + "; block " +
           sizeText(report.block) + "; subgroup " + subgroupText(report);
}

} // namespace Vellumar::capture
