// Definition strings as text: splitting " Target name=value name='quoted value' flag "
// into a target and attributes, and reading attribute values. Knows nothing of
// bars or of which attribute names exist.
//
// Implements: blank-separated attributes, name=value (blanks allowed around
//   '='), flags without a value, values as bare words or single-quoted runs
//   that may hold blanks, tabs and line feeds; integers, integer pairs
//   ("350 0"), finite numbers and true/false, names compared without case.
// Refuses: double quotes and backquotes, unterminated quotes, text glued to
//   a closing quote, a '=' with no name or no value, a missing target.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Vellumar::tweakbar {

struct Attribute {
    std::string name;
    std::string value;
    bool hasValue = false;
};

// The attributes from pos on; false, with the reason in error, when the text
// is not well formed.
bool parseAttributes(std::string_view text, std::vector<Attribute>& attributes, std::string& error,
                     size_t pos = 0);
// The target is the first word of the text.
bool parseDefinition(std::string_view text, std::string& target, std::vector<Attribute>& attributes,
                     std::string& error);

bool equalsIgnoreCase(std::string_view a, std::string_view b);
// The whole value must be read; blanks around it are allowed.
std::optional<int> parseInteger(std::string_view text);
std::optional<std::pair<int, int>> parseIntegerPair(std::string_view text);
std::optional<double> parseNumber(std::string_view text);
std::optional<bool> parseBool(std::string_view text);

} // namespace Vellumar::tweakbar
