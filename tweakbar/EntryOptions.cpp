#include "EntryOptions.h"

#include "AttributeValues.h"

namespace tweakbar {

namespace {

bool takesShortcut(TwEntryKind entryKind, ValueKind valueKind) {
    if (entryKind == TwEntryKind::Button) {
        return true;
    }
    if (entryKind == TwEntryKind::Separator) {
        return false;
    }
    return valueKind != ValueKind::Struct && valueKind != ValueKind::None;
}

bool applyOne(EntryOptions& options, const DefinitionAttribute& attribute, TwEntryKind entryKind,
              ValueKind valueKind) {
    const std::string& name = attribute.name;
    if (!attribute.hasValue) {
        return false; // every entry attribute takes a value
    }
    if (equalsIgnoreCase(name, "help")) {
        options.help = attribute.value;
        return true;
    }
    bool keyIncr = equalsIgnoreCase(name, "keyIncr") || equalsIgnoreCase(name, "key");
    bool keyDecr = equalsIgnoreCase(name, "keyDecr");
    if (keyIncr || keyDecr) {
        auto key = parseKey(attribute.value);
        if (!key || !takesShortcut(entryKind, valueKind)) {
            return false;
        }
        (keyIncr ? options.keyIncr : options.keyDecr) = *key;
        return true;
    }
    bool min = equalsIgnoreCase(name, "min");
    bool max = equalsIgnoreCase(name, "max");
    bool step = equalsIgnoreCase(name, "step");
    if (min || max || step) {
        auto number = parseNumber(attribute.value);
        if (!number || !isNumber(valueKind) || (step && *number <= 0.0)) {
            return false;
        }
        (min ? options.min : max ? options.max : options.step) = *number;
        return true;
    }
    return false;
}

} // namespace

bool applyEntryAttributes(EntryOptions& options, const std::vector<DefinitionAttribute>& attributes,
                          TwEntryKind entryKind, ValueKind valueKind) {
    EntryOptions changed = options;
    for (const DefinitionAttribute& attribute : attributes) {
        if (!applyOne(changed, attribute, entryKind, valueKind)) {
            return false;
        }
    }
    if (changed.min && changed.max && *changed.min > *changed.max) {
        return false;
    }
    options = std::move(changed);
    return true;
}

} // namespace tweakbar
