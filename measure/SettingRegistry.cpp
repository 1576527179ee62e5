// The table is a few dozen entries looked up while parsing a command line or
// a file, never per frame: a linear search keeps it plain.
#include "SettingRegistry.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <stdexcept>

namespace Vellumar::measure {

namespace {

bool validName(std::string_view name) {
    return !name.empty() && name.find_first_of(" \t=,") == std::string_view::npos &&
           name.front() != '.' && name.back() != '.';
}

// The group of "a.b.c" is "a.b"; a name without a dot has none.
std::string_view groupOf(std::string_view name) {
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(0, dot);
}

// An optional sign and at least one digit, of any length.
bool looksWhole(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string listOf(const std::vector<int32_t>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        text += (i ? ", " : "") + std::to_string(values[i]);
    }
    return text;
}

std::vector<std::string_view> splitCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos) {
            return parts;
        }
        start = comma + 1;
    }
}

} // namespace

std::optional<int64_t> parseWholeNumber(std::string_view text) {
    // from_chars takes "-" but not "+"; a lone sign is still no number.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::string_view trimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void SettingRegistry::add(Setting setting) {
    const std::string& name = setting.name;
    // "a" and "a.b" together would make "a" both a setting and a group.
    bool taken = find(name) || !groupMembers(name).empty();
    for (std::string_view group = groupOf(name); !group.empty(); group = groupOf(group)) {
        taken = taken || find(group);
    }
    if (!validName(name) || taken || (!setting.integer && !setting.boolean)) {
        throw std::invalid_argument("setting " + quoted(name) +
                                    ": the name is not usable or taken, or there is no storage");
    }
    settings.push_back(std::move(setting));
}

void SettingRegistry::addInteger(std::string name, int32_t* storage) {
    add({std::move(name), SettingKind::integer, storage, nullptr, {}});
}

void SettingRegistry::addBoolean(std::string name, bool* storage) {
    add({std::move(name), SettingKind::boolean, nullptr, storage, {}});
}

void SettingRegistry::addEnumeration(std::string name, int32_t* storage,
                                     std::vector<int32_t> allowed) {
    if (allowed.empty()) {
        throw std::invalid_argument("setting " + quoted(name) + " has no values");
    }
    std::sort(allowed.begin(), allowed.end());
    allowed.erase(std::unique(allowed.begin(), allowed.end()), allowed.end());
    add({std::move(name), SettingKind::enumeration, storage, nullptr, std::move(allowed)});
}

const Setting* SettingRegistry::find(std::string_view name) const {
    for (const Setting& setting : settings) {
        if (setting.name == name) {
            return &setting;
        }
    }
    return nullptr;
}

std::vector<const Setting*> SettingRegistry::groupMembers(std::string_view group) const {
    std::vector<const Setting*> found;
    if (group.empty()) {
        return found;
    }
    for (const Setting& setting : settings) {
        if (groupOf(setting.name) == group) {
            found.push_back(&setting);
        }
    }
    return found;
}

std::optional<std::string> SettingRegistry::accept(const Setting& setting, int64_t value,
                                                   std::string_view shown) {
    const std::string culprit = setting.name + ": " + std::string(shown);
    switch (setting.kind) {
    case SettingKind::integer:
        if (value < INT32_MIN || value > INT32_MAX) {
            return culprit + " is outside the 32-bit range";
        }
        return std::nullopt;
    case SettingKind::boolean:
        if (value != 0 && value != 1) {
            return culprit + " is not 0, 1, true or false";
        }
        return std::nullopt;
    case SettingKind::enumeration:
        if (!std::binary_search(setting.allowed.begin(), setting.allowed.end(), value)) {
            return culprit + " is not one of " + listOf(setting.allowed);
        }
        return std::nullopt;
    }
    return culprit + ": unknown kind";
}

std::optional<std::string> SettingRegistry::parse(const Setting& setting, std::string_view text,
                                                  int32_t& value) {
    const std::string_view trimmed = trimBlanks(text);
    if (setting.kind == SettingKind::boolean && (trimmed == "true" || trimmed == "false")) {
        value = trimmed == "true" ? 1 : 0;
        return std::nullopt;
    }
    if (!looksWhole(trimmed)) {
        return setting.name + ": " + quoted(text) +
               (setting.kind == SettingKind::boolean ? " is not 0, 1, true or false"
                                                     : " is not a whole number");
    }
    // Digits past 64 bits are still a number, only one that no setting takes.
    const int64_t number = parseWholeNumber(trimmed).value_or(INT64_MAX);
    if (std::optional<std::string> problem = accept(setting, number, trimmed)) {
        return problem;
    }
    value = static_cast<int32_t>(number);
    return std::nullopt;
}

void SettingRegistry::store(const Setting& setting, int32_t value) {
    if (setting.kind == SettingKind::boolean) {
        *setting.boolean = value != 0;
    } else {
        *setting.integer = value;
    }
}

std::optional<std::string> SettingRegistry::parseAll(std::string_view name, std::string_view text,
                                                     std::vector<const Setting*>& targets,
                                                     std::vector<int32_t>& values) const {
    if (const Setting* setting = find(name)) {
        targets = {setting};
        values.assign(1, 0);
        return parse(*setting, text, values[0]);
    }
    targets = groupMembers(name);
    if (targets.empty()) {
        return "unknown setting " + quoted(name);
    }
    const std::vector<std::string_view> parts = splitCommas(text);
    if (parts.size() != targets.size()) {
        std::string memberList;
        for (size_t i = 0; i < targets.size(); ++i) {
            memberList += (i ? "," : "") + targets[i]->name.substr(name.size() + 1);
        }
        return std::string(name) + " takes " + std::to_string(targets.size()) + " values (" +
               memberList + "), got " + std::to_string(parts.size());
    }
    values.assign(targets.size(), 0);
    for (size_t i = 0; i < targets.size(); ++i) {
        if (std::optional<std::string> problem = parse(*targets[i], parts[i], values[i])) {
            return problem;
        }
    }
    return std::nullopt;
}

std::optional<std::string> SettingRegistry::apply(std::string_view name, std::string_view text) {
    std::vector<const Setting*> targets;
    std::vector<int32_t> values;
    if (std::optional<std::string> problem = parseAll(name, text, targets, values)) {
        return problem;
    }
    for (size_t i = 0; i < targets.size(); ++i) {
        store(*targets[i], values[i]);
    }
    return std::nullopt;
}

std::optional<std::string> SettingRegistry::check(std::string_view name,
                                                  std::string_view text) const {
    std::vector<const Setting*> targets;
    std::vector<int32_t> values;
    return parseAll(name, text, targets, values);
}

std::optional<std::string> SettingRegistry::checkValue(std::string_view name, int64_t value) const {
    const Setting* setting = find(name);
    if (!setting) {
        return groupMembers(name).empty() ? "unknown setting " + quoted(name)
                                          : quoted(name) + " is a group; name one of its members";
    }
    return accept(*setting, value, std::to_string(value));
}

std::optional<std::string> SettingRegistry::setValue(std::string_view name, int64_t value) {
    if (std::optional<std::string> problem = checkValue(name, value)) {
        return problem;
    }
    store(*find(name), static_cast<int32_t>(value));
    return std::nullopt;
}

int32_t SettingRegistry::current(const Setting& setting) {
    return setting.kind == SettingKind::boolean ? (*setting.boolean ? 1 : 0) : *setting.integer;
}

std::vector<SettingValue> SettingRegistry::snapshot() const {
    std::vector<SettingValue> values;
    values.reserve(settings.size());
    for (const Setting& setting : settings) {
        values.push_back({setting.name, setting.kind, current(setting)});
    }
    return values;
}

uint64_t addToFingerprint(uint64_t fingerprint, int32_t value) noexcept {
    constexpr uint64_t prime = 1099511628211ull;
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        fingerprint = (fingerprint ^ ((bits >> shift) & 0xffu)) * prime;
    }
    return fingerprint;
}

uint64_t SettingRegistry::fingerprint() const noexcept {
    uint64_t hash = emptyFingerprint;
    for (const Setting& setting : settings) {
        hash = addToFingerprint(hash, current(setting));
    }
    return hash;
}

std::vector<std::string> SettingRegistry::groups() const {
    std::vector<std::string> list;
    for (const Setting& setting : settings) {
        const std::string group(groupOf(setting.name));
        if (!group.empty() && std::find(list.begin(), list.end(), group) == list.end()) {
            list.push_back(group);
        }
    }
    return list;
}

std::vector<std::string> SettingRegistry::members(std::string_view group) const {
    std::vector<std::string> list;
    for (const Setting* setting : groupMembers(group)) {
        list.push_back(setting->name.substr(group.size() + 1));
    }
    return list;
}

std::string SettingRegistry::describe(const Setting& setting) {
    return setting.name + (setting.kind == SettingKind::integer ? ": integer"
                           : setting.kind == SettingKind::boolean
                               ? ": 0 or 1 (false or true)"
                               : ": one of " + listOf(setting.allowed));
}

} // namespace Vellumar::measure
