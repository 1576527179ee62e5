#include "TwBar.h"

#include "AttributeValues.h"

using tweakbar::DefinitionAttribute;
using tweakbar::equalsIgnoreCase;

namespace {

constexpr int defaultWidth = 200;
constexpr int defaultHeight = 300;
constexpr int defaultOffset = 16; // the first bar's corner, and the stagger between bars

bool applyFlag(TwBar::Attributes& a, const std::string& name) {
    if (equalsIgnoreCase(name, "hide")) {
        a.visible = false;
    } else if (equalsIgnoreCase(name, "show")) {
        a.visible = true;
    } else {
        return false;
    }
    return true;
}

// Sets placement when the attribute moves or resizes the bar.
bool applyValue(TwBar::Attributes& a, const DefinitionAttribute& attribute, bool& placement) {
    const std::string& name = attribute.name;
    const std::string& value = attribute.value;
    if (equalsIgnoreCase(name, "help")) {
        a.help = value;
        return true;
    }
    if (equalsIgnoreCase(name, "position") || equalsIgnoreCase(name, "size")) {
        bool position = equalsIgnoreCase(name, "position");
        auto pair = tweakbar::parseIntegerPair(value);
        if (!pair || (!position && (pair->first <= 0 || pair->second <= 0))) {
            return false;
        }
        (position ? a.x : a.width) = pair->first;
        (position ? a.y : a.height) = pair->second;
        placement = true;
        return true;
    }
    if (equalsIgnoreCase(name, "fontSize")) {
        auto size = tweakbar::parseInteger(value);
        if (!size || *size < 1 || *size > 3) {
            return false;
        }
        a.fontSize = *size;
        return true;
    }
    if (equalsIgnoreCase(name, "valuesWidth")) {
        auto width = tweakbar::parseInteger(value);
        if (!width || *width <= 0) {
            return false;
        }
        a.valuesWidth = *width;
        return true;
    }
    return false;
}

} // namespace

TwBar::TwBar(std::string barName, int creationIndex) : name(std::move(barName)), index(creationIndex) {
    reset();
}

void TwBar::reset() {
    attributes = Attributes{};
    attributes.x = attributes.y = defaultOffset * (1 + index);
    attributes.width = defaultWidth;
    attributes.height = defaultHeight;
    entries.clear();
    placementPending = true;
    drawnRect = {};
    helpButtonRect = {};
}

bool TwBar::applyAttributes(const std::vector<DefinitionAttribute>& list) {
    Attributes changed = attributes;
    bool placement = false;
    for (const DefinitionAttribute& attribute : list) {
        bool applied = attribute.hasValue ? applyValue(changed, attribute, placement)
                                          : applyFlag(changed, attribute.name);
        if (!applied) {
            return false;
        }
    }
    attributes = std::move(changed);
    placementPending = placementPending || placement;
    return true;
}

tweakbar::Entry* TwBar::findEntry(std::string_view label) {
    for (tweakbar::Entry& entry : entries) {
        if (entry.label == label) {
            return &entry;
        }
    }
    return nullptr;
}

float TwBar::fontScale() const {
    // The default font is drawn for 13 pixels: small keeps it sharp.
    static constexpr float scales[] = {1.0f, 1.25f, 1.5f};
    return scales[attributes.fontSize - 1];
}
