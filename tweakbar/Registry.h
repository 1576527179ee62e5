// Everything the tweak-bar calls build: bars with their entries, the made
// types and the global help, with the checks that make a bad call change
// nothing.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "TwBar.h"
#include "TypeRegistry.h"

namespace tweakbar {

class Registry {
public:
    void clear();

    // A null or empty name, "GLOBAL" and names with '/' make no bar. A name
    // already in use gives back that bar, emptied.
    TwBar* newBar(const char* name);
    TwBar* findBar(std::string_view name);
    bool owns(const TwBar* bar) const;

    // "Bar attr=...", "Bar/Entry attr=..." (the entry label is everything
    // after the first '/') or "GLOBAL help=...".
    bool define(std::string_view definition);

    bool addVariable(TwBar* bar, const char* name, TwType type, const void* address,
                     const char* definition, bool readOnly);
    bool addSeparator(TwBar* bar, const char* name, const char* definition);
    bool addButton(TwBar* bar, const char* name, TwButtonCallback callback, void* clientData,
                   const char* definition);

    TypeRegistry& types() { return types_; }
    const TypeRegistry& types() const { return types_; }
    std::vector<std::unique_ptr<TwBar>>& bars() { return bars_; }
    const std::vector<std::unique_ptr<TwBar>>& bars() const { return bars_; }
    const std::string& globalHelp() const { return globalHelp_; }

    // Counts the calls that changed bars, so that a new layout can be
    // settled before anyone points at it.
    unsigned long changes() const { return changes_; }

private:
    bool defineGlobal(const std::vector<DefinitionAttribute>& attributes);
    // Appends the entry when its name is free and its definition applies.
    bool add(TwBar* bar, Entry entry, ValueKind valueKind);

    std::vector<std::unique_ptr<TwBar>> bars_;
    TypeRegistry types_;
    std::string globalHelp_;
    unsigned long changes_ = 0;
};

} // namespace tweakbar
