// Parse first, apply after: a file that fails to parse has touched nothing.
// nlohmann::ordered_json keeps the file's key order, so unknown keys are
// reported in the order a person reads them.
#include "SettingsFile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "AtomicFile.h"

namespace Vellumar::measure {

namespace {

using Json = nlohmann::ordered_json;

// "LINE:COLUMN" of a byte offset, both counting from 1.
std::string position(std::string_view text, size_t index) {
    size_t line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < index && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return std::to_string(line) + ":" + std::to_string(index - lineStart + 1);
}

// "FILE:LINE:COLUMN: message" for the byte nlohmann stopped at (1-based,
// one past the text at its end).
std::string parseErrorText(std::string_view text, std::string_view fileName,
                           const nlohmann::json::parse_error& error) {
    const size_t index = std::min<size_t>(error.byte > 0 ? error.byte - 1 : 0, text.size());
    // The library's message repeats the position; keep only what went wrong.
    std::string message = error.what();
    const size_t at = message.find(", column ");
    const size_t colon = at == std::string::npos ? at : message.find(": ", at);
    if (colon != std::string::npos) {
        message = message.substr(colon + 2);
    }
    return std::string(fileName) + ":" + position(text, index) + ": " + message;
}

// The JSON value as a whole number for the setting, or why not.
std::optional<std::string> valueOf(const Setting& setting, const Json& value, int64_t& number) {
    if (value.is_boolean()) {
        if (setting.kind != SettingKind::boolean) {
            return std::string("expected a whole number, got ") +
                   (value.get<bool>() ? "true" : "false");
        }
        number = value.get<bool>() ? 1 : 0;
        return std::nullopt;
    }
    if (value.is_number_unsigned()) {
        const uint64_t unsignedNumber = value.get<uint64_t>();
        if (unsignedNumber > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            return std::to_string(unsignedNumber) + " is outside the 32-bit range";
        }
        number = static_cast<int64_t>(unsignedNumber);
        return std::nullopt;
    }
    if (value.is_number_integer()) {
        number = value.get<int64_t>();
        return std::nullopt;
    }
    const char* expected =
        setting.kind == SettingKind::boolean ? "true, false, 0 or 1" : "a whole number";
    return std::string("expected ") + expected + ", got " +
           value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The registry's messages start with the name already.
std::string withoutName(const std::string& message, const std::string& name) {
    const std::string prefix = name + ": ";
    return message.compare(0, prefix.size(), prefix) == 0 ? message.substr(prefix.size()) : message;
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

std::optional<std::string> saveSettings(const SettingRegistry& registry, const std::string& path) {
    AtomicFile file(path);
    if (std::optional<std::string> problem = file.open()) {
        return problem;
    }
    file.write(settingsText(registry));
    return file.commit();
}

std::optional<std::string> readSettingsFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return path + ": " + std::strerror(errno);
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    if (in.bad()) {
        return path + ": read error";
    }
    text = contents.str();
    return std::nullopt;
}

SettingsLoadReport loadSettings(SettingRegistry& registry, const std::string& path) {
    std::string text;
    if (std::optional<std::string> problem = readSettingsFile(path, text)) {
        SettingsLoadReport report;
        report.fileError = problem;
        return report;
    }
    return loadSettingsText(registry, text, path);
}

std::optional<std::string> settingsTextProblem(std::string_view text, std::string_view fileName) {
    Json document;
    return parseDocument(text, fileName, document);
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
        int64_t number = 0;
        std::optional<std::string> problem = valueOf(*setting, value, number);
        if (!problem) {
            problem = registry.setValue(key, number);
            if (problem) {
                problem = withoutName(*problem, key);
            }
        }
        if (problem) {
            report.refused.push_back(std::string(fileName) + ": " + key + ": " + *problem);
        }
    }
    return report;
}

} // namespace Vellumar::measure
