// nlohmann::ordered_json keeps the keys in the order written, so the file
// reads like the comment in the header; it writes NaN as null.
#include "ResultsFiles.h"

#include <cstdio>

#include <nlohmann/json.hpp>

namespace Vellumar::measure {

namespace {

using Json = nlohmann::ordered_json;

Json summaryObject(const Summary& summary) {
    Json object = Json::object();
    object["median"] = summary.median;
    object["p5"] = summary.p5;
    object["p95"] = summary.p95;
    object["min"] = summary.min;
    object["max"] = summary.max;
    return object;
}

Json configurationObject(const ConfigurationResult& result) {
    Json object = Json::object();
    object["config"] = result.index;
    Json swept = Json::object();
    for (const SweepValue& value : result.swept) {
        swept[value.name] = value.value;
    }
    object["swept"] = swept;
    Json settings = Json::object();
    for (const SettingValue& value : result.settings) {
        settings[value.name] =
            value.kind == SettingKind::boolean ? Json(value.value != 0) : Json(value.value);
    }
    object["settings"] = settings;
    object["frames"] = result.frames;
    object["gpu_s"] = summaryObject(result.gpu);
    object["wall_s"] = summaryObject(result.wall);
    const Coverage& coverage = result.coverage;
    object["timer_coverage"] = coverage.judged() ? Json(coverage.ratio) : Json();
    object["timer_coverage_fires"] = coverage.fires;
    object["trust"] = !coverage.judged() ? "unknown" : coverage.fires ? "wall_s" : "gpu_s";
    return object;
}

std::string summaryLine(const char* name, const Summary& summary) {
    return std::string("  ") + name + ": median " + formatDecimal(summary.median) + "  p5 " +
           formatDecimal(summary.p5) + "  p95 " + formatDecimal(summary.p95) + "  min " +
           formatDecimal(summary.min) + "  max " + formatDecimal(summary.max) + "\n";
}

} // namespace

std::string formatDecimal(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", value);
    return buffer;
}

std::string csvHeader(const std::vector<std::string>& sweptNames) {
    std::string header = "config,frame";
    for (const std::string& name : sweptNames) {
        header += "," + name;
    }
    return header + ",gpu_s,wall_s\n";
}

std::string csvRow(size_t config, size_t frame, const Configuration& swept, const FrameTime& time) {
    std::string row = std::to_string(config) + "," + std::to_string(frame);
    for (const SweepValue& value : swept) {
        row += "," + std::to_string(value.value);
    }
    return row + "," + formatDecimal(time.gpuSeconds) + "," + formatDecimal(time.wallSeconds) +
           "\n";
}

std::string resultsJson(const std::string& version,
                        const std::vector<ConfigurationResult>& results) {
    Json document = Json::object();
    document["version"] = version;
    Json list = Json::array();
    for (const ConfigurationResult& result : results) {
        list.push_back(configurationObject(result));
    }
    document["configurations"] = list;
    // Replacing bad UTF-8 (a setting name is any bytes) keeps dump from throwing.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string configurationReport(const ConfigurationResult& result, size_t total,
                                const std::string& described) {
    const Coverage& coverage = result.coverage;
    const std::string coverageText =
        !coverage.judged() ? "not judged (too few frames of 1 ms or more)"
                           : coverage.percent() + (coverage.fires ? " (trust wall_s)" : "");
    return "configuration " + std::to_string(result.index + 1) + "/" + std::to_string(total) +
           (described.empty() ? "" : ": " + described) + ": " + std::to_string(result.frames) +
           " frames\n" + summaryLine("wall_s", result.wall) + summaryLine("gpu_s ", result.gpu) +
           "  timer coverage: " + coverageText + "\n";
}

} // namespace Vellumar::measure
