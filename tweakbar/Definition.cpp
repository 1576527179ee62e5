// Splitting definition strings and reading their values.
#include "Definition.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace Vellumar::tweakbar {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

void skipBlanks(std::string_view text, size_t& pos) {
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
}

std::string_view trimmed(std::string_view text) {
    // Past the end when all blank: npos + 1 wraps to 0 and the view is empty.
    size_t start = std::min(text.find_first_not_of(" \t\n\r"), text.size());
    return text.substr(start, text.find_last_not_of(" \t\n\r") + 1 - start);
}

// A single-quoted run, or a bare run that ends at a blank (names also at '='
// and quotes); false, with error set, when there is none.
bool word(std::string_view text, size_t& pos, bool name, std::string& out, std::string& error) {
    size_t start = pos;
    if (pos < text.size() && (text[pos] == '"' || text[pos] == '`')) {
        error = std::string("only single quotes are supported, not ") + text[pos];
        return false;
    }
    if (!name && pos < text.size() && text[pos] == '\'') {
        size_t end = text.find('\'', pos + 1);
        pos = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos || (pos < text.size() && !isBlank(text[pos]))) {
            error = end == std::string_view::npos ? "unterminated quote" : "text after a quote";
            return false;
        }
        out = text.substr(start + 1, end - start - 1);
        return true;
    }
    while (pos < text.size() && !isBlank(text[pos]) &&
           !(name && (text[pos] == '=' || text[pos] == '\''))) {
        ++pos;
    }
    out = text.substr(start, pos - start);
    error = name ? "an attribute without a name" : "an attribute without a value";
    return !out.empty();
}

template <typename T>
std::optional<T> parseWhole(std::string_view text) {
    text = trimmed(text);
    // from_chars takes no leading '+'; definition strings may carry one.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    T value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

bool parseAttributes(std::string_view text, std::vector<Attribute>& list, std::string& error,
                     size_t pos) {
    list.clear();
    for (skipBlanks(text, pos); pos < text.size(); skipBlanks(text, pos)) {
        Attribute a;
        if (!word(text, pos, true, a.name, error)) {
            return false;
        }
        skipBlanks(text, pos);
        if (pos < text.size() && text[pos] == '=') {
            skipBlanks(text, ++pos);
            if (!word(text, pos, false, a.value, error)) {
                return false;
            }
            a.hasValue = true;
        }
        list.push_back(std::move(a));
    }
    return true;
}

bool parseDefinition(std::string_view text, std::string& target, std::vector<Attribute>& attributes,
                     std::string& error) {
    size_t pos = 0;
    skipBlanks(text, pos);
    if (!word(text, pos, true, target, error) || (pos < text.size() && !isBlank(text[pos]))) {
        error = "no bar name at the start";
        return false;
    }
    return parseAttributes(text, attributes, error, pos);
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size() && a.size() == b.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return a.size() == b.size();
}

std::optional<int> parseInteger(std::string_view text) { return parseWhole<int>(text); }

std::optional<std::pair<int, int>> parseIntegerPair(std::string_view text) {
    text = trimmed(text);
    size_t gap = text.find_first_of(" \t\n\r");
    auto first = parseInteger(text.substr(0, gap));
    auto second = gap == std::string_view::npos ? std::nullopt : parseInteger(text.substr(gap));
    return first && second ? std::optional(std::make_pair(*first, *second)) : std::nullopt;
}

std::optional<double> parseNumber(std::string_view text) {
    auto value = parseWhole<double>(text);
    return value && std::isfinite(*value) ? value : std::nullopt;
}

std::optional<bool> parseBool(std::string_view text) {
    text = trimmed(text);
    bool yes = equalsIgnoreCase(text, "true") || text == "1";
    return yes || equalsIgnoreCase(text, "false") || text == "0" ? std::optional(yes)
                                                                 : std::nullopt;
}

} // namespace Vellumar::tweakbar
