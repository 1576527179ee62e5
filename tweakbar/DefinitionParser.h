// Splits definition strings into a target and attributes. Pure text work: it
// knows nothing about bars, entries or which attribute names exist.
//
//   text       := blanks? target? (blanks attribute)* blanks?
//   attribute  := name (blanks? '=' blanks? value)?
//   target, value := bare run of non-blank characters, or a run of any
//                    characters between two equal quotes (' ` or ")
//
// A quoted run must be followed by a blank or the end of the text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tweakbar {

struct DefinitionAttribute {
    std::string name;
    std::string value;
    bool hasValue = false;
};

struct Definition {
    std::string target;
    std::vector<DefinitionAttribute> attributes;
};

// "Target attr=value ..."; nullopt when the text has no target or is not
// well formed.
std::optional<Definition> parseDefinition(std::string_view text);

// "attr=value ..." with no target, as entries and struct members are given.
std::optional<std::vector<DefinitionAttribute>> parseAttributes(std::string_view text);

} // namespace tweakbar
