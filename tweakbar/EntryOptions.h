// The attributes an entry (or a struct member) can carry, and the rules for
// which attribute fits which kind of entry.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "DefinitionParser.h"
#include "TweakBarProbe.h"
#include "ValueKind.h"

namespace tweakbar {

struct EntryOptions {
    std::string help;
    std::optional<unsigned char> keyIncr;
    std::optional<unsigned char> keyDecr;
    std::optional<double> min;
    std::optional<double> max;
    std::optional<double> step;
};

// Applies every attribute, or none: false (options unchanged) when a name is
// unknown, a value malformed, or an attribute does not fit the entry (limits
// on anything but a number, shortcuts on a separator or a struct).
bool applyEntryAttributes(EntryOptions& options, const std::vector<DefinitionAttribute>& attributes,
                          TwEntryKind entryKind, ValueKind valueKind);

} // namespace tweakbar
