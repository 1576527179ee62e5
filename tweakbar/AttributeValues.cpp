#include "AttributeValues.h"

#include <charconv>
#include <cmath>

namespace tweakbar {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// from_chars takes no leading '+'; definition strings may carry one.
std::string_view withoutPlus(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    return text;
}

} // namespace

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<int> parseInteger(std::string_view text) {
    text = withoutPlus(trimmed(text));
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::pair<int, int>> parseIntegerPair(std::string_view text) {
    text = trimmed(text);
    size_t gap = text.find_first_of(" \t\n\r");
    if (gap == std::string_view::npos) {
        return std::nullopt;
    }
    auto first = parseInteger(text.substr(0, gap));
    auto second = parseInteger(text.substr(gap));
    if (!first || !second) {
        return std::nullopt;
    }
    return std::make_pair(*first, *second);
}

std::optional<double> parseNumber(std::string_view text) {
    text = withoutPlus(trimmed(text));
    double value = 0.0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<unsigned char> parseKey(std::string_view text) {
    if (text.size() == 1) {
        return static_cast<unsigned char>(text.front());
    }
    struct Named {
        const char* name;
        unsigned char code;
    };
    static constexpr Named names[] = {
        {"SPACE", ' '}, {"TAB", 9},        {"RETURN", 13},   {"ENTER", 13}, {"ESC", 27},
        {"ESCAPE", 27}, {"BACKSPACE", 8}, {"DEL", 127}, {"DELETE", 127},
    };
    for (const Named& named : names) {
        if (equalsIgnoreCase(text, named.name)) {
            return named.code;
        }
    }
    return std::nullopt;
}

} // namespace tweakbar
