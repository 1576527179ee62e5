// nlohmann::ordered_json keeps the keys in the order written, so the file
// reads like the README; it writes NaN as null. The progress bar's pieces are
// fixed-width except the configuration text, which is cut to whatever room
// the width leaves.
#include "ResultsFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

namespace Vellumar::measure {

namespace {

using Json = nlohmann::ordered_json;

// "%.9g": nine significant digits; "nan" and "inf" for what is no finite number.
std::string formatDecimal(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", value);
    return buffer;
}

Json summaryObject(const Summary& summary) {
    return {{"median", summary.median},
            {"p5", summary.p5},
            {"p95", summary.p95},
            {"min", summary.min},
            {"max", summary.max}};
}

Json configurationObject(const ConfigurationResult& result) {
    Json swept = Json::object();
    for (const SweepValue& value : result.swept) {
        swept[value.name] = value.value;
    }
    Json settings = Json::object();
    for (const SettingValue& value : result.settings) {
        settings[value.name] =
            value.kind == SettingKind::boolean ? Json(value.value != 0) : Json(value.value);
    }
    const Coverage& coverage = result.coverage;
    return {{"config", result.index},
            {"swept", swept},
            {"settings", settings},
            {"frames", result.frames},
            {"gpu_s", summaryObject(result.gpu)},
            {"wall_s", summaryObject(result.wall)},
            {"timer_coverage", coverage.judged() ? Json(coverage.ratio) : Json()},
            {"timer_coverage_fires", coverage.fires},
            {"trust", !coverage.judged() ? "unknown"
                      : coverage.fires   ? "wall_s"
                                         : "gpu_s"}};
}

std::string summaryLine(const char* name, const Summary& summary) {
    return std::string("  ") + name + ": median " + formatDecimal(summary.median) + "  p5 " +
           formatDecimal(summary.p5) + "  p95 " + formatDecimal(summary.p95) + "  min " +
           formatDecimal(summary.min) + "  max " + formatDecimal(summary.max) + "\n";
}

constexpr size_t barCells = 20;

// "3/12"; the index shown counts from 1 and never passes the total.
std::string position(size_t index, size_t total) {
    return std::to_string(std::min(index + 1, std::max<size_t>(total, 1))) + "/" +
           std::to_string(total);
}

// "m:ss" or "h:mm:ss", rounded up to whole seconds; "?" when unknown.
std::string timeLeft(const Progress& progress) {
    const size_t done = std::min(progress.index, progress.total);
    const double seconds = done == 0 ? -1.0
                                     : progress.elapsedSeconds / static_cast<double>(done) *
                                           static_cast<double>(progress.total - done);
    // About 31 years: anything longer is no estimate anyone can use.
    if (!(seconds >= 0.0) || seconds > 1e9) {
        return "?";
    }
    const long long whole = static_cast<long long>(std::ceil(seconds));
    char buffer[48];
    if (whole >= 3600) {
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                      whole % 60);
    } else {
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld", whole / 60, whole % 60);
    }
    return buffer;
}

} // namespace

std::string configurationHeading(size_t index, size_t total, std::string_view described) {
    return "configuration " + position(index, total) +
           (described.empty() ? "" : ": " + std::string(described));
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

std::string resultsJson(const std::string& version, const ContextRecord& context,
                        const std::vector<ConfigurationResult>& results) {
    Json list = Json::array();
    for (const ConfigurationResult& result : results) {
        list.push_back(configurationObject(result));
    }
    const Json document = {
        {"version", version}, {"context", Json(contextJson(context))}, {"configurations", list}};
    // Replacing bad UTF-8 (a setting name is any bytes) keeps dump from throwing.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string configurationReport(const ConfigurationResult& result, size_t total,
                                const std::string& described) {
    const Coverage& coverage = result.coverage;
    const std::string coverageText =
        !coverage.judged() ? "not judged (too few frames of 1 ms or more)"
                           : coverage.percent() + (coverage.fires ? " (trust wall_s)" : "");
    return configurationHeading(result.index, total, described) + ": " +
           std::to_string(result.frames) + " frames\n" + summaryLine("wall_s", result.wall) +
           summaryLine("gpu_s ", result.gpu) + "  timer coverage: " + coverageText + "\n";
}

std::string progressBar(const Progress& progress, size_t width) {
    const size_t done = std::min(progress.index, progress.total);
    const size_t filled = progress.total ? done * barCells / progress.total : 0;
    std::string line = "\r[" + std::string(filled, '#') + std::string(barCells - filled, '.') +
                       "]  " + position(progress.index, progress.total) + "  ";
    const std::string left = "  " + timeLeft(progress) + " left";
    // One column stays free: writing the last one makes some terminals wrap.
    const size_t room = width > 0 ? width - 1 : 0;
    const size_t used = line.size() - 1 + left.size();
    const size_t keep = used >= room ? 0 : room - used;
    std::string text(progress.configuration);
    if (text.size() > keep) {
        text = keep >= 3 ? text.substr(0, keep - 3) + "..." : text.substr(0, keep);
    }
    line += text + left;
    line.resize(std::max(line.size(), room + 1), ' ');
    return line;
}

std::string progressPlainLine(const Progress& progress) {
    return configurationHeading(progress.index, progress.total, progress.configuration) + " (" +
           timeLeft(progress) + " left)\n";
}

} // namespace Vellumar::measure
