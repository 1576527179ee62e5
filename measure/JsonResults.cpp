// nlohmann::ordered_json keeps the keys in the order written, so the file
// reads like the comment in the header; it writes NaN as null.
#include "JsonResults.h"

#include <nlohmann/json.hpp>

#include "AtomicFile.h"

namespace Vellumar::measure {

namespace {

using Json = nlohmann::ordered_json;

Json settingValue(SettingKind kind, int32_t value) {
    return kind == SettingKind::boolean ? Json(value != 0) : Json(value);
}

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
        settings[value.name] = settingValue(value.kind, value.value);
    }
    object["settings"] = settings;
    object["frames"] = result.frames;
    object["gpu_s"] = summaryObject(result.gpu);
    object["wall_s"] = summaryObject(result.wall);
    object["timer_coverage"] = result.coverage.judged() ? Json(result.coverage.ratio) : Json();
    object["timer_coverage_fires"] = result.coverage.fires;
    object["trust"] = result.coverage.fires ? "wall_s" : "gpu_s";
    return object;
}

} // namespace

JsonResults::JsonResults(std::string path, std::string version)
    : target(std::move(path)), programVersion(std::move(version)) {}

void JsonResults::add(ConfigurationResult result) { configurations.push_back(std::move(result)); }

std::string JsonResults::text() const {
    Json document = Json::object();
    document["version"] = programVersion;
    Json list = Json::array();
    for (const ConfigurationResult& result : configurations) {
        list.push_back(configurationObject(result));
    }
    document["configurations"] = list;
    // Replacing bad UTF-8 (a setting name is any bytes) keeps dump from throwing.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<std::string> JsonResults::write() const {
    AtomicFile file(target);
    if (std::optional<std::string> problem = file.open()) {
        return problem;
    }
    file.write(text());
    return file.commit();
}

} // namespace Vellumar::measure
