#include "Registry.h"

#include "AttributeValues.h"

namespace tweakbar {

namespace {
constexpr std::string_view globalName = "GLOBAL";
}

void Registry::clear() {
    bars_.clear();
    types_.clear();
    globalHelp_.clear();
}

TwBar* Registry::newBar(const char* name) {
    if (name == nullptr || *name == '\0' || name == globalName ||
        std::string_view(name).find('/') != std::string_view::npos) {
        return nullptr;
    }
    ++changes_;
    if (TwBar* existing = findBar(name)) {
        existing->reset();
        return existing;
    }
    bars_.push_back(std::make_unique<TwBar>(name, static_cast<int>(bars_.size())));
    return bars_.back().get();
}

TwBar* Registry::findBar(std::string_view name) {
    for (auto& bar : bars_) {
        if (bar->name == name) {
            return bar.get();
        }
    }
    return nullptr;
}

bool Registry::owns(const TwBar* bar) const {
    for (const auto& owned : bars_) {
        if (owned.get() == bar) {
            return true;
        }
    }
    return false;
}

bool Registry::define(std::string_view text) {
    auto definition = parseDefinition(text);
    if (!definition) {
        return false;
    }
    ++changes_;
    const std::string& target = definition->target;
    if (target == globalName) {
        return defineGlobal(definition->attributes);
    }
    size_t slash = target.find('/');
    TwBar* bar = findBar(std::string_view(target).substr(0, slash));
    if (bar == nullptr) {
        return false;
    }
    if (slash == std::string::npos) {
        return bar->applyAttributes(definition->attributes);
    }
    Entry* entry = bar->findEntry(std::string_view(target).substr(slash + 1));
    return entry != nullptr && applyEntryAttributes(entry->options, definition->attributes,
                                                    entry->kind, types_.kindOf(entry->type));
}

bool Registry::defineGlobal(const std::vector<DefinitionAttribute>& attributes) {
    std::string help = globalHelp_;
    for (const DefinitionAttribute& attribute : attributes) {
        if (!attribute.hasValue || !equalsIgnoreCase(attribute.name, "help")) {
            return false;
        }
        help = attribute.value;
    }
    globalHelp_ = std::move(help);
    return true;
}

bool Registry::addVariable(TwBar* bar, const char* name, TwType type, const void* address,
                           const char* definition, bool readOnly) {
    ValueKind kind = types_.kindOf(type);
    if (name == nullptr || *name == '\0' || address == nullptr || kind == ValueKind::None) {
        return false;
    }
    Entry entry;
    entry.kind = readOnly ? TwEntryKind::ReadOnly : TwEntryKind::ReadWrite;
    entry.label = name;
    entry.type = type;
    entry.address = address;
    entry.definition = definition ? definition : "";
    if (const StructType* s = types_.structType(type)) {
        entry.itemRects.resize(s->members.size());
    } else if (const EnumType* e = types_.enumType(type)) {
        entry.itemRects.resize(e->values.size());
    }
    return add(bar, std::move(entry), kind);
}

bool Registry::addSeparator(TwBar* bar, const char* name, const char* definition) {
    Entry entry;
    entry.kind = TwEntryKind::Separator;
    entry.label = name ? name : "";
    entry.definition = definition ? definition : "";
    return add(bar, std::move(entry), ValueKind::None);
}

bool Registry::addButton(TwBar* bar, const char* name, TwButtonCallback callback, void* clientData,
                         const char* definition) {
    if (name == nullptr || *name == '\0') {
        return false;
    }
    Entry entry;
    entry.kind = TwEntryKind::Button;
    entry.label = name;
    entry.definition = definition ? definition : "";
    entry.callback = callback;
    entry.clientData = clientData;
    return add(bar, std::move(entry), ValueKind::None);
}

bool Registry::add(TwBar* bar, Entry entry, ValueKind valueKind) {
    // Unnamed separators are the only entries that may share a name.
    if (!owns(bar) || (!entry.label.empty() && bar->findEntry(entry.label) != nullptr)) {
        return false;
    }
    auto attributes = parseAttributes(entry.definition);
    if (!attributes || !applyEntryAttributes(entry.options, *attributes, entry.kind, valueKind)) {
        return false;
    }
    bar->entries.push_back(std::move(entry));
    ++changes_;
    return true;
}

} // namespace tweakbar
