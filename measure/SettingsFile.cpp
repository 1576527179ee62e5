// Parse first, apply after: a file that fails to parse has touched nothing.
// The members are kept in the file's order, so unknown keys are reported in
// the order a person reads them.
#include "SettingsFile.h"

#include <algorithm>
#include <utility>

#include <nlohmann/json.hpp>

#include "InputFile.h"

namespace Vellumar::measure {

namespace {

using Json = nlohmann::ordered_json;

// "LINE:COLUMN" of a byte offset, both counting from 1.
std::string position(std::string_view text, size_t index) {
    const std::string_view before = text.substr(0, index);
    const size_t lineStart = before.rfind('\n') + 1; // 0 on the first line
    return std::to_string(std::count(before.begin(), before.end(), '\n') + 1) + ":" +
           std::to_string(index - lineStart + 1);
}

// "FILE:LINE:COLUMN: message" for the byte nlohmann stopped at (1-based,
// one past the text at its end).
std::string parseErrorText(std::string_view text, std::string_view fileName,
                           const nlohmann::json::parse_error& error) {
    const size_t index = std::min<size_t>(error.byte > 0 ? error.byte - 1 : 0, text.size());
    // The library's message repeats the position; keep only what went wrong.
    const std::string message = error.what();
    const size_t colon = message.find(": ", message.find(", column "));
    return std::string(fileName) + ":" + position(text, index) + ": " +
           (colon == std::string::npos ? message : message.substr(colon + 2));
}

// The top-level keys with their values, in file order.
using Members = std::vector<std::pair<std::string, Json>>;

// The members of the document, which must be an object; nullopt on success.
// The document is parsed into std::map's logarithmic lookup, the key order
// noted on the way: ordered_json looks every new key up among all the earlier
// ones, which makes a file of many keys quadratic.
std::optional<std::string> parseDocument(std::string_view text, std::string_view fileName,
                                         Members& members) {
    std::vector<std::string> keys;
    const auto noteKey = [&keys](int depth, nlohmann::json::parse_event_t event,
                                 nlohmann::json& parsed) {
        if (depth == 1 && event == nlohmann::json::parse_event_t::key) {
            keys.push_back(parsed.get<std::string>());
        }
        return true;
    };
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(text, noteKey);
    } catch (const nlohmann::json::parse_error& error) {
        return parseErrorText(text, fileName, error);
    } catch (const nlohmann::json::out_of_range& error) {
        // A number beyond a double ("1e309"); the library gives no position,
        // but the key being read is known.
        const std::string message = error.what();
        return std::string(fileName) + ": " + (keys.empty() ? "" : keys.back() + ": ") +
               message.substr(message.find("] ") + 2);
    }
    if (!document.is_object()) {
        const size_t start = std::min(text.find_first_not_of(" \t\r\n"), text.size());
        return std::string(fileName) + ":" + position(text, start) +
               ": expected an object of settings, got " + document.type_name();
    }
    members.clear();
    for (const std::string& key : keys) {
        members.emplace_back(key, document[key]);
    }
    return std::nullopt;
}

} // namespace

std::string settingsText(const SettingRegistry& registry) {
    Json document = Json::object();
    for (const SettingValue& value : registry.snapshot()) {
        document[value.name] =
            value.kind == SettingKind::boolean ? Json(value.value != 0) : Json(value.value);
    }
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<std::string> readSettingsText(const std::string& path, std::string& text) {
    if (const std::optional<InputRefusal> refusal =
            readInputFile(path, maxSettingsFileBytes, text)) {
        return path + ": " + refusal->reason;
    }
    Members members;
    return parseDocument(text, path, members);
}

SettingsLoadReport loadSettingsText(SettingRegistry& registry, std::string_view text,
                                    std::string_view fileName) {
    SettingsLoadReport report;
    Members members;
    report.fileError = parseDocument(text, fileName, members);
    if (report.fileError) {
        return report;
    }
    for (const auto& [key, value] : members) {
        const Setting* setting = registry.find(key);
        if (!setting) {
            report.unknownKeys.push_back(key);
            continue;
        }
        // The registry reads a JSON integer's text, and true or false for a boolean.
        const bool boolean = setting->kind == SettingKind::boolean;
        const std::optional<std::string> problem =
            value.is_number_integer() || (boolean && value.is_boolean())
                ? registry.apply(key, value.dump())
                : key + ": expected " + (boolean ? "true, false, 0 or 1" : "a whole number") +
                      ", got " + value.dump(-1, ' ', false, Json::error_handler_t::replace);
        if (problem) {
            report.refused.push_back(std::string(fileName) + ": " + *problem);
        }
    }
    return report;
}

} // namespace Vellumar::measure
