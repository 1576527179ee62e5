// The table is a few dozen entries looked up while parsing a command line or
// a file, never per frame: a linear search keeps it plain.
#include "SettingRegistry.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace Vellumar::measure {

namespace {

// The group of "a.b.c" is "a.b"; a name without a dot has none.
std::string_view groupOf(std::string_view name) {
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(0, dot);
}

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string listOf(const std::vector<int32_t>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        text += (i ? ", " : "") + std::to_string(values[i]);
    }
    return text;
}

// One value for one setting, checked.
std::optional<std::string> parseValue(const Setting& setting, std::string_view text,
                                      int32_t& value) {
    const std::string_view trimmed = trimBlanks(text);
    const bool boolean = setting.kind == SettingKind::boolean;
    if (boolean && (trimmed == "true" || trimmed == "false")) {
        value = trimmed == "true" ? 1 : 0;
        return std::nullopt;
    }
    const std::optional<int64_t> number = parseWholeNumber(trimmed);
    const std::string culprit =
        setting.name + ": " + (number ? std::string(trimmed) : quoted(text));
    if (!number || (boolean && *number != 0 && *number != 1)) {
        return culprit + (boolean ? " is not 0, 1, true or false" : " is not a whole number");
    }
    if (setting.kind == SettingKind::enumeration &&
        !std::binary_search(setting.allowed.begin(), setting.allowed.end(), *number)) {
        return culprit + " is not one of " + listOf(setting.allowed);
    }
    if (*number < INT32_MIN || *number > INT32_MAX) {
        return culprit + " is outside the 32-bit range";
    }
    value = static_cast<int32_t>(*number);
    return std::nullopt;
}

int32_t current(const Setting& setting) {
    return setting.kind == SettingKind::boolean ? (*setting.boolean ? 1 : 0) : *setting.integer;
}

} // namespace

std::optional<int64_t> parseWholeNumber(std::string_view text) {
    // from_chars takes "-" but not "+"; a lone sign is still no number.
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (stop != end || (error != std::errc() && error != std::errc::result_out_of_range)) {
        return std::nullopt;
    }
    return error == std::errc() ? value : text[0] == '-' ? INT64_MIN : INT64_MAX;
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
    const bool taken = find(name) || !groupMembers(name).empty() || find(groupOf(name));
    const bool usable = !name.empty() && name.find_first_of(" \t=,") == std::string::npos &&
                        name.front() != '.' && name.back() != '.';
    if (!usable || taken || (!setting.integer && !setting.boolean)) {
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
    const auto found =
        std::find_if(settings.begin(), settings.end(),
                     [name](const Setting& setting) { return setting.name == name; });
    return found == settings.end() ? nullptr : &*found;
}

std::vector<const Setting*> SettingRegistry::groupMembers(std::string_view group) const {
    std::vector<const Setting*> found;
    for (const Setting& setting : settings) {
        if (!group.empty() && groupOf(setting.name) == group) {
            found.push_back(&setting);
        }
    }
    return found;
}

std::string SettingRegistry::memberList(std::string_view group) const {
    std::string list;
    for (const Setting* member : groupMembers(group)) {
        list += (list.empty() ? "" : ",") + member->name.substr(group.size() + 1);
    }
    return list;
}

std::optional<std::string> SettingRegistry::parse(std::string_view name, std::string_view text,
                                                  std::vector<Assignment>& assignments) const {
    const Setting* single = find(name);
    const std::vector<const Setting*> targets = single ? std::vector{single} : groupMembers(name);
    if (targets.empty()) {
        return "unknown setting " + quoted(name);
    }
    const size_t given = single ? 1 : std::count(text.begin(), text.end(), ',') + 1;
    if (given != targets.size()) {
        return std::string(name) + " takes " + std::to_string(targets.size()) + " values (" +
               memberList(name) + "), got " + std::to_string(given);
    }
    for (const Setting* target : targets) {
        const std::string_view part = single ? text : text.substr(0, text.find(','));
        text.remove_prefix(std::min(part.size() + 1, text.size()));
        int32_t value = 0;
        if (std::optional<std::string> problem = parseValue(*target, part, value)) {
            return problem;
        }
        assignments.emplace_back(target, value);
    }
    return std::nullopt;
}

std::optional<std::string> SettingRegistry::apply(std::string_view name, std::string_view text) {
    std::vector<Assignment> assignments;
    const std::optional<std::string> problem = parse(name, text, assignments);
    for (size_t i = 0; !problem && i < assignments.size(); ++i) {
        const auto& [setting, value] = assignments[i];
        if (setting->kind == SettingKind::boolean) {
            *setting->boolean = value != 0;
        } else {
            *setting->integer = value;
        }
    }
    return problem;
}

std::optional<std::string> SettingRegistry::check(std::string_view name,
                                                  std::string_view text) const {
    std::vector<Assignment> unused;
    return parse(name, text, unused);
}

std::optional<std::string> SettingRegistry::checkValue(std::string_view name, int64_t value) const {
    if (!find(name) && !groupMembers(name).empty()) {
        return quoted(name) + " is a group; name one of its members";
    }
    return check(name, std::to_string(value));
}

std::optional<std::string> SettingRegistry::setValue(std::string_view name, int64_t value) {
    const std::optional<std::string> problem = checkValue(name, value);
    return problem ? problem : apply(name, std::to_string(value));
}

std::vector<SettingValue> SettingRegistry::snapshot() const {
    std::vector<SettingValue> values;
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
    uint64_t hash = 14695981039346656037ull; // FNV-1a's offset basis
    for (const Setting& setting : settings) {
        hash = addToFingerprint(hash, current(setting));
    }
    return hash;
}

std::string SettingRegistry::describe() const {
    std::string text;
    std::vector<std::string_view> groups;
    for (const Setting& setting : settings) {
        const std::string accepted = setting.kind == SettingKind::integer ? "integer"
                                     : setting.kind == SettingKind::boolean
                                         ? "0 or 1 (false or true)"
                                         : "one of " + listOf(setting.allowed);
        text += "  " + setting.name + ": " + accepted + "\n";
        const std::string_view group = groupOf(setting.name);
        if (!group.empty() && std::find(groups.begin(), groups.end(), group) == groups.end()) {
            groups.push_back(group);
        }
    }
    if (!groups.empty()) {
        text += "Groups, set whole with comma-separated values (--set " +
                std::string(groups.front()) + "=...):\n";
    }
    for (std::string_view group : groups) {
        text += "  " + std::string(group) + " (" + memberList(group) + ")\n";
    }
    return text;
}

} // namespace Vellumar::measure
