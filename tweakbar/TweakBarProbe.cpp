// The probe's answers, read straight from the context and its last frame.
#include "TweakBarProbe.h"

#include <cmath>

#include "BarWindows.h"

using Vellumar::tweakbar::Entry;
using Vellumar::tweakbar::MadeType;
using Vellumar::tweakbar::ScreenRect;

namespace {

Vellumar::tweakbar::Registry& registry() { return Vellumar::tweakbar::tweakBarRegistry(); }

const MadeType* madeType(TwType type, TwType kind) {
    const MadeType* made = registry().madeType(type);
    return made && made->kind == kind ? made : nullptr;
}

Entry* findEntry(const char* barName, const char* label) {
    TwBar* bar = barName ? registry().findBar(barName) : nullptr;
    return bar && label ? bar->findEntry(label) : nullptr;
}

std::optional<TwRect> shown(const ScreenRect& r) {
    if (r.width <= 0.0f || r.height <= 0.0f) {
        return std::nullopt;
    }
    return TwRect{int(std::lround(r.x)), int(std::lround(r.y)), int(std::lround(r.width)),
                  int(std::lround(r.height))};
}

TwEntryInfo infoOf(const Entry& entry) {
    return TwEntryInfo{entry.kind,       entry.label,        entry.type,     entry.address,
                       entry.definition, entry.options.help, entry.callback, entry.clientData};
}

} // namespace

std::optional<TwBarInfo> TwInspectBar(const char* barName) {
    TwBar* bar = barName ? registry().findBar(barName) : nullptr;
    if (bar == nullptr) {
        return std::nullopt;
    }
    const TwBar::Attributes& a = bar->attributes;
    TwBarInfo info{bar->name, a.visible, a.iconified, a.x, a.y, a.width, a.height, a.help, {}};
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

std::string TwInspectTypeName(TwType type) {
    const MadeType* made = registry().madeType(type);
    return made ? made->name : "";
}

std::vector<TwEnumVal> TwInspectEnumValues(TwType type) {
    std::vector<TwEnumVal> values;
    if (const MadeType* e = madeType(type, Vellumar::tweakbar::enumKind)) {
        for (const auto& v : e->values) {
            values.push_back({v.value, v.label.c_str()});
        }
    }
    return values;
}

std::vector<TwStructMember> TwInspectStructMembers(TwType type) {
    std::vector<TwStructMember> members;
    if (const MadeType* s = madeType(type, Vellumar::tweakbar::structKind)) {
        for (const auto& m : s->members) {
            members.push_back({m.name.c_str(), m.type, m.offset, m.definition.c_str()});
        }
    }
    return members;
}

size_t TwInspectStructSize(TwType type) {
    const MadeType* s = madeType(type, Vellumar::tweakbar::structKind);
    return s ? s->size : 0;
}

std::optional<TwRect> TwInspectDrawnBar(const char* barName) {
    TwBar* bar = barName ? registry().findBar(barName) : nullptr;
    return bar ? shown(bar->drawnRect) : std::nullopt;
}

std::optional<TwRect> TwInspectDrawnEntry(const char* barName, const char* label,
                                          const char* item) {
    Entry* entry = findEntry(barName, label);
    if (entry == nullptr || item == nullptr) {
        return entry ? shown(entry->widgetRect) : std::nullopt;
    }
    const MadeType* made = registry().madeType(entry->type);
    for (size_t i = 0; made && i < entry->itemRects.size(); ++i) {
        bool member = made->kind == Vellumar::tweakbar::structKind;
        if ((member ? made->members[i].name : made->values[i].label) == item) {
            return shown(entry->itemRects[i]);
        }
    }
    return std::nullopt;
}

std::optional<TwDrawnLabel> TwInspectDrawnLabel(const char* barName, const char* label) {
    Entry* entry = findEntry(barName, label);
    auto text = entry ? shown(entry->labelRect) : std::nullopt;
    auto room = entry ? shown(entry->labelRoom) : std::nullopt;
    if (!text || !room) {
        return std::nullopt;
    }
    return TwDrawnLabel{*text, *room};
}

std::optional<TwRect> TwInspectDrawnHelpButton(const char* barName) {
    TwBar* bar = barName ? registry().findBar(barName) : nullptr;
    return bar ? shown(bar->helpButtonRect) : std::nullopt;
}

std::optional<TwRect> TwInspectDrawnHelpWindow() {
    return shown(Vellumar::tweakbar::tweakBarHelpWindow().rect);
}
