#include "TweakBarProbe.h"

#include <cmath>

#include "TweakBarContext.h"

using tweakbar::Entry;
using tweakbar::ScreenRect;
using tweakbar::TweakBarContext;

namespace {

tweakbar::Registry& registry() { return TweakBarContext::instance().registry(); }

std::optional<TwRect> shown(const ScreenRect& r) {
    if (r.width <= 0.0f || r.height <= 0.0f) {
        return std::nullopt;
    }
    return TwRect{int(std::lround(r.x)), int(std::lround(r.y)), int(std::lround(r.width)),
                  int(std::lround(r.height))};
}

TwEntryInfo infoOf(const Entry& entry) {
    return TwEntryInfo{entry.kind,       entry.label,         entry.type,
                       entry.address,    entry.definition,    entry.options.help,
                       entry.callback,   entry.clientData};
}

} // namespace

std::optional<TwBarInfo> TwInspectBar(const char* barName) {
    TwBar* bar = barName ? registry().findBar(barName) : nullptr;
    if (bar == nullptr) {
        return std::nullopt;
    }
    const TwBar::Attributes& a = bar->attributes;
    TwBarInfo info{bar->name, a.visible, a.x, a.y, a.width, a.height, a.help, {}};
    for (const Entry& entry : bar->entries) {
        info.entries.push_back(infoOf(entry));
    }
    return info;
}

std::vector<std::string> TwInspectBarNames() {
    std::vector<std::string> names;
    for (const auto& bar : registry().bars()) {
        names.push_back(bar->name);
    }
    return names;
}

std::string TwInspectGlobalHelp() { return registry().globalHelp(); }

std::string TwInspectTypeName(TwType type) { return registry().types().nameOf(type); }

std::vector<TwEnumVal> TwInspectEnumValues(TwType type) {
    std::vector<TwEnumVal> values;
    if (const tweakbar::EnumType* e = registry().types().enumType(type)) {
        for (const tweakbar::EnumValue& v : e->values) {
            values.push_back({v.value, v.label.c_str()});
        }
    }
    return values;
}

std::vector<TwStructMember> TwInspectStructMembers(TwType type) {
    std::vector<TwStructMember> members;
    if (const tweakbar::StructType* s = registry().types().structType(type)) {
        for (const tweakbar::StructMember& m : s->members) {
            members.push_back({m.name.c_str(), m.type, m.offset, m.definition.c_str()});
        }
    }
    return members;
}

size_t TwInspectStructSize(TwType type) {
    const tweakbar::StructType* s = registry().types().structType(type);
    return s ? s->size : 0;
}

std::optional<TwRect> TwInspectDrawnBar(const char* barName) {
    TwBar* bar = barName ? registry().findBar(barName) : nullptr;
    return bar ? shown(bar->drawnRect) : std::nullopt;
}

std::optional<TwRect> TwInspectDrawnEntry(const char* barName, const char* label,
                                          const char* item) {
    TwBar* bar = barName ? registry().findBar(barName) : nullptr;
    Entry* entry = (bar && label) ? bar->findEntry(label) : nullptr;
    if (entry == nullptr) {
        return std::nullopt;
    }
    if (item == nullptr) {
        return shown(entry->widgetRect);
    }
    const auto& types = registry().types();
    std::vector<std::string> names;
    if (const tweakbar::StructType* s = types.structType(entry->type)) {
        for (const auto& m : s->members) {
            names.push_back(m.name);
        }
    } else if (const tweakbar::EnumType* e = types.enumType(entry->type)) {
        for (const auto& v : e->values) {
            names.push_back(v.label);
        }
    }
    for (size_t i = 0; i < names.size() && i < entry->itemRects.size(); ++i) {
        if (names[i] == item) {
            return shown(entry->itemRects[i]);
        }
    }
    return std::nullopt;
}

std::optional<TwRect> TwInspectDrawnHelpButton(const char* barName) {
    TwBar* bar = barName ? registry().findBar(barName) : nullptr;
    return bar ? shown(bar->helpButtonRect) : std::nullopt;
}

std::optional<TwRect> TwInspectDrawnHelpWindow() {
    return shown(TweakBarContext::instance().windows().helpWindowRect());
}
