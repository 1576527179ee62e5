// Parse first, apply after: a file that fails to parse has touched nothing.
// nlohmann::ordered_json keeps the file's key order, so unknown keys are
// reported in the order a person reads them.
#include "SettingsFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

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

// The document, which must be an object; nullopt on success.
std::optional<std::string> parseDocument(std::string_view text, std::string_view fileName,
                                         Json& document) {
    try {
        document = Json::parse(text);
    } catch (const nlohmann::json::parse_error& error) {
        return parseErrorText(text, fileName, error);
    }
    if (!document.is_object()) {
        const size_t start = std::min(text.find_first_not_of(" \t\r\n"), text.size());
        return std::string(fileName) + ":" + position(text, start) +
               ": expected an object of settings, got " + document.type_name();
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
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return path + ": " + std::strerror(errno);
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    Json document;
    return parseDocument(text, path, document);
}

SettingsLoadReport loadSettingsText(SettingRegistry& registry, std::string_view text,
                                    std::string_view fileName) {
    SettingsLoadReport report;
    Json document;
    report.fileError = parseDocument(text, fileName, document);
    if (report.fileError) {
        return report;
    }
    for (const auto& [key, value] : document.items()) {
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
