// Building bars, entries and types, applying definition strings to them, and
// stepping values by shortcut keys. Every change is made on a copy and kept
// only when all of it applies.
#include "Registry.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <tuple>

#include "Definition.h"

namespace Vellumar::tweakbar {

namespace {

constexpr std::string_view globalName = "GLOBAL";
constexpr int barStagger = 16; // the first bar's default corner, and the step between bars

bool isNumber(TwType kind) { return kind == TW_TYPE_INT32 || kind == TW_TYPE_FLOAT; }

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// All of the attributes, or none. Integers keep only the whole numbers
// inside their limits.
bool applyEntryAttributes(EntryOptions& options, std::string_view text, EntryKind entryKind,
                          TwType valueKind, bool member, std::string& error) {
    std::vector<Attribute> list;
    if (!parseAttributes(text, list, error)) {
        return false;
    }
    EntryOptions o = options;
    bool keys = entryKind == EntryKind::ReadWrite && valueKind != structKind && !member;
    bool limits = isNumber(valueKind) && entryKind == EntryKind::ReadWrite;
    for (const Attribute& a : list) {
        auto is = [&a](const char* name) { return equalsIgnoreCase(a.name, name); };
        auto number = parseNumber(a.value);
        if (!a.hasValue) {
            error = quoted(a.name) + " needs a value";
        } else if (is("help")) {
            o.help = a.value;
            continue;
        } else if (is("key") || is("keyIncr") || is("keyDecr")) {
            if (is("key") ? entryKind != EntryKind::Button : !keys) {
                error = quoted(a.name) + (is("key") ? " fits only buttons"
                                                    : " fits only read-write values, not structs");
            } else if (a.value.size() != 1) {
                error = "a shortcut is one character, not " + quoted(a.value);
            } else {
                (is("keyDecr") ? o.keyDecr : o.keyIncr) = static_cast<unsigned char>(a.value[0]);
                continue;
            }
        } else if (is("min") || is("max") || is("step")) {
            if (!limits) {
                error = quoted(a.name) + " fits only writable int32 and float values";
            } else if (!number || (is("step") && *number <= 0.0)) {
                error = "bad " + quoted(a.name) + " value " + quoted(a.value);
            } else {
                (is("min") ? o.min : is("max") ? o.max : o.step) = *number;
                continue;
            }
        } else {
            error = "unknown attribute " + quoted(a.name);
        }
        return false;
    }
    if (valueKind == TW_TYPE_INT32) {
        constexpr double lowest = std::numeric_limits<std::int32_t>::min();
        constexpr double highest = std::numeric_limits<std::int32_t>::max();
        o.min = o.min ? std::optional(std::clamp(std::ceil(*o.min), lowest, highest)) : o.min;
        o.max = o.max ? std::optional(std::clamp(std::floor(*o.max), lowest, highest)) : o.max;
        o.step = o.step ? std::optional(std::clamp(std::round(*o.step), 1.0, 1e9)) : o.step;
    }
    if (o.min && o.max && *o.min > *o.max) {
        error = "no value lies between min and max";
        return false;
    }
    options = std::move(o);
    return true;
}

bool applyBarAttribute(TwBar::Attributes& b, const Attribute& a, bool& placement,
                       std::string& error) {
    auto is = [&a](const char* name) { return equalsIgnoreCase(a.name, name); };
    if (!a.hasValue && (is("hide") || is("show"))) {
        b.visible = is("show");
        return true;
    }
    auto pair = parseIntegerPair(a.value);
    auto number = parseInteger(a.value);
    auto flag = parseBool(a.value);
    if (is("help") && a.hasValue) {
        b.help = a.value;
    } else if (is("position") && pair) {
        std::tie(b.x, b.y) = *pair;
    } else if (is("size") && pair && pair->first > 0 && pair->second > 0) {
        std::tie(b.width, b.height) = *pair;
    } else if (is("fontSize") && number && *number >= 1 && *number <= 3) {
        b.fontSize = *number;
    } else if (is("valuesWidth") && number && *number > 0) {
        b.valuesWidth = *number;
    } else if (is("visible") && flag) {
        b.visible = *flag;
    } else if (is("iconified") && flag) {
        b.iconified = *flag;
    } else {
        bool known = is("position") || is("size") || is("fontSize") || is("valuesWidth") ||
                     is("visible") || is("iconified") || is("help");
        error = known ? "bad " + quoted(a.name) + " value " + quoted(a.value)
                      : "unknown bar attribute " + quoted(a.name);
        return false;
    }
    placement = placement || is("position") || is("size");
    return true;
}

void stepValue(void* address, TwType kind, const MadeType* enumType, const EntryOptions& options,
               int direction) {
    double step = options.step.value_or(1.0) * direction;
    if (kind == TW_TYPE_BOOLCPP) {
        writeValue<unsigned char>(address, readValue<unsigned char>(address) ? 0 : 1);
    } else if (kind == TW_TYPE_INT32) {
        auto value = static_cast<std::int64_t>(readValue<std::int32_t>(address));
        writeValue(address, limitInt32(value + static_cast<std::int64_t>(step), options));
    } else if (kind == TW_TYPE_FLOAT) {
        writeValue(address, limitFloat(readValue<float>(address) + step, options));
    } else if (kind == enumKind) {
        // A value that has no label goes to the first forwards, the last backwards.
        const auto& values = enumType->values;
        int count = static_cast<int>(values.size());
        auto current = readValue<std::int32_t>(address);
        int next = direction > 0 ? 0 : count - 1;
        for (int i = 0; i < count; ++i) {
            next = values[i].value == current ? ((i + direction) % count + count) % count : next;
        }
        writeValue<std::int32_t>(address, values[next].value);
    }
}

} // namespace

std::int32_t limitInt32(std::int64_t value, const EntryOptions& options) {
    double limited = static_cast<double>(value);
    limited = options.min && limited < *options.min ? *options.min : limited;
    limited = options.max && limited > *options.max ? *options.max : limited;
    return static_cast<std::int32_t>(std::clamp<double>(limited,
                                                        std::numeric_limits<std::int32_t>::min(),
                                                        std::numeric_limits<std::int32_t>::max()));
}

float limitFloat(double value, const EntryOptions& options) {
    value = options.min && value < *options.min ? *options.min : value;
    value = options.max && value > *options.max ? *options.max : value;
    // A double beyond the float range has no float to become.
    constexpr double highest = std::numeric_limits<float>::max();
    return static_cast<float>(value > highest ? highest : value < -highest ? -highest : value);
}

bool refuse(std::string_view call, std::string_view why) {
    std::cerr << "tweakbar: " << call << ": " << why << '\n';
    return false;
}

TwBar* Registry::newBar(const char* name) {
    bool taken = name != nullptr && findBar(name) != nullptr;
    // '##' would make ImGui take two bars, or a bar and the help window, for one.
    if (name == nullptr || *name == '\0' || name == globalName || taken ||
        std::string_view(name).find_first_of("/#") != std::string_view::npos) {
        refuse("TwNewBar", taken ? "there is already a bar named " + quoted(name)
                                 : "a bar needs a name without '/' or '#', other than GLOBAL");
        return nullptr;
    }
    auto bar = std::make_unique<TwBar>();
    bar->name = name;
    bar->attributes.x = bar->attributes.y = barStagger * static_cast<int>(1 + barList.size());
    barList.push_back(std::move(bar));
    ++changeCount;
    return barList.back().get();
}

bool Registry::owns(const TwBar* bar) const {
    return bar != nullptr && std::any_of(barList.begin(), barList.end(),
                                         [bar](const auto& owned) { return owned.get() == bar; });
}

TwBar* Registry::findBar(std::string_view name) const {
    auto bar =
        std::find_if(barList.begin(), barList.end(), [&](auto& b) { return b->name == name; });
    return bar == barList.end() ? nullptr : bar->get();
}

bool Registry::define(const char* text) {
    std::string target;
    std::vector<Attribute> list;
    std::string error;
    if (text == nullptr || !parseDefinition(text, target, list, error)) {
        return refuse("TwDefine", text ? error + " in \"" + text + "\"" : "no definition");
    }
    if (target == globalName) {
        for (const Attribute& a : list) {
            if (!a.hasValue || !equalsIgnoreCase(a.name, "help")) {
                return refuse("TwDefine", "GLOBAL takes only help, not " + quoted(a.name));
            }
        }
        help = list.empty() ? help : list.back().value;
        return true;
    }
    TwBar* bar = findBar(target);
    if (bar == nullptr) {
        return refuse("TwDefine", target.find('/') == std::string::npos
                                      ? "no bar named " + quoted(target)
                                      : "entries take their attributes when they are added");
    }
    TwBar::Attributes changed = bar->attributes;
    bool placement = false;
    for (const Attribute& a : list) {
        if (!applyBarAttribute(changed, a, placement, error)) {
            return refuse("TwDefine", target + ": " + error);
        }
    }
    bar->attributes = std::move(changed);
    bar->userPlaced = bar->userPlaced && !placement;
    ++changeCount;
    return true;
}

bool Registry::add(const char* call, TwBar* bar, EntryKind kind, const char* name,
                   const char* definition, TwType type, const void* address,
                   TwButtonCallback callback, void* clientData) {
    Entry entry;
    entry.kind = kind;
    entry.label = name ? name : "";
    entry.type = type;
    entry.address = address;
    entry.definition = definition ? definition : "";
    entry.callback = callback;
    entry.clientData = clientData;
    TwType valueKind = kindOf(type);
    bool variable = kind == EntryKind::ReadWrite || kind == EntryKind::ReadOnly;
    const bool owned = owns(bar);
    std::string where = (owned ? bar->name : "?") + "/" + entry.label;
    std::string error;
    if (!owned) {
        error = "not a bar of this context";
    } else if (entry.label.empty() && kind != EntryKind::Separator) {
        error = "an entry needs a name"; // unnamed separators may repeat
    } else if (!entry.label.empty() && bar->findEntry(entry.label) != nullptr) {
        error = "the bar already has an entry of that name";
    } else if (variable && (address == nullptr || valueKind == TW_TYPE_UNDEF)) {
        error = address ? "unknown type " + std::to_string(type) : "no variable";
    } else if ((kind == EntryKind::Plot || kind == EntryKind::Ramp) && address == nullptr) {
        error = kind == EntryKind::Plot ? "no plot data" : "no ramp data";
    } else if (kind == EntryKind::ReadWrite &&
               (valueKind == TW_TYPE_DOUBLE || valueKind == TW_TYPE_CDSTRING)) {
        error = "doubles and strings are read-only: use TwAddVarRO";
    } else if (kind == EntryKind::Button && callback == nullptr) {
        error = "a button needs a callback";
    } else if (applyEntryAttributes(entry.options, entry.definition, kind, valueKind, false,
                                    error)) {
        if (const MadeType* made = madeType(type)) {
            entry.itemRects.resize(made->values.size() + made->members.size());
        }
        bar->entries.push_back(std::move(entry));
        ++changeCount;
        return true;
    }
    return refuse(call, where + ": " + error);
}

TwType Registry::defineEnum(const char* name, const TwEnumVal* values, unsigned int count) {
    auto type = std::make_unique<MadeType>();
    type->kind = enumKind;
    type->name = name ? name : "";
    for (unsigned int i = 0; values && i < count; ++i) {
        if (values[i].Label == nullptr) {
            refuse("TwDefineEnum", type->name + ": every value needs a label");
            return TW_TYPE_UNDEF;
        }
        type->values.push_back({values[i].Value, values[i].Label});
    }
    if (type->name.empty() || type->values.empty()) {
        refuse("TwDefineEnum", "an enumeration needs a name and values");
        return TW_TYPE_UNDEF;
    }
    types.push_back(std::move(type));
    return firstMadeType + static_cast<TwType>(types.size() - 1);
}

TwType Registry::defineStruct(const char* name, const TwStructMember* members, unsigned int count,
                              size_t size, TwSummaryCallback summary) {
    if (summary != nullptr || name == nullptr || members == nullptr || count == 0 || size == 0) {
        refuse("TwDefineStruct", summary ? "summary callbacks are not supported: pass null, the "
                                           "members' values are shown"
                                         : "a struct needs a name, a size and members");
        return TW_TYPE_UNDEF;
    }
    auto type = std::make_unique<MadeType>();
    type->kind = structKind;
    type->name = name;
    type->size = size;
    for (unsigned int i = 0; i < count; ++i) {
        const TwStructMember& m = members[i];
        TwType kind = kindOf(m.Type);
        size_t memberSize = kind == TW_TYPE_BOOLCPP ? 1 : 4;
        StructMember member{
            m.Name ? m.Name : "", m.Type, m.Offset, m.DefString ? m.DefString : "", {}};
        std::string error;
        if (kind != TW_TYPE_BOOLCPP && !isNumber(kind)) {
            error = "members are bool, int32 or float";
        } else if (member.name.empty() || m.Offset > size || memberSize > size - m.Offset) {
            error = "a member needs a name and must lie inside the struct";
        } else if (applyEntryAttributes(member.options, member.definition, EntryKind::ReadWrite,
                                        kind, true, error)) {
            type->members.push_back(std::move(member));
            continue;
        }
        refuse("TwDefineStruct", type->name + "." + member.name + ": " + error);
        return TW_TYPE_UNDEF;
    }
    types.push_back(std::move(type));
    return firstMadeType + static_cast<TwType>(types.size() - 1);
}

bool Registry::applyShortcut(unsigned char key, std::vector<ButtonPress>& pressed) const {
    for (const auto& bar : barList) {
        for (const Entry& entry : bar->entries) {
            const EntryOptions& o = entry.options;
            int direction = o.keyIncr == key ? 1 : o.keyDecr == key ? -1 : 0;
            if (direction == 0 || !bar->attributes.visible) {
                continue;
            }
            if (entry.kind == EntryKind::Button) {
                pressed.push_back({entry.callback, entry.clientData});
            } else {
                stepValue(entry.writableAddress(), kindOf(entry.type), madeType(entry.type), o,
                          direction);
            }
            return true;
        }
    }
    return false;
}

const MadeType* Registry::madeType(TwType type) const {
    bool made = type >= firstMadeType && static_cast<size_t>(type - firstMadeType) < types.size();
    return made ? types[static_cast<size_t>(type - firstMadeType)].get() : nullptr;
}

TwType Registry::kindOf(TwType type) const {
    const MadeType* m = madeType(type);
    bool builtin = type >= TW_TYPE_BOOLCPP && type <= TW_TYPE_CDSTRING;
    return builtin ? type : m ? m->kind : TW_TYPE_UNDEF;
}

} // namespace Vellumar::tweakbar
