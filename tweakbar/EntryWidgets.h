// Draws the entries of one bar as rows of a two-column ImGui table (label,
// value) inside the current frame, reading every bound value as it draws
// and writing a value at the moment the user edits it.
#pragma once

#include <vector>

#include "Entry.h"
#include "KeyboardShortcuts.h"
#include "TypeRegistry.h"

namespace tweakbar {

class EntryWidgets {
public:
    EntryWidgets(const TypeRegistry& types, std::vector<ButtonPress>& pressed)
        : types_(types), pressed_(pressed) {}

    // The rows of one entry; records its layout in the entry.
    void rows(Entry& entry);

private:
    void labelCell(const char* label, const std::string& help);
    // The value widget of a bool, number or enumeration; writes edits
    // through writable unless it is null.
    void valueWidget(TwType type, const void* address, void* writable, const EntryOptions& options,
                     std::vector<ScreenRect>* itemRects);
    void int32Widget(const void* address, void* writable, const EntryOptions& options);
    void floatWidget(const void* address, void* writable, const EntryOptions& options);
    void enumWidget(const EnumType& type, const void* address, void* writable,
                    std::vector<ScreenRect>* itemRects);
    // A collapsible group whose member rows follow when it is open.
    ScreenRect structRows(const StructType& type, const char* label, const std::string& help,
                          const void* address, void* writable, std::vector<ScreenRect>* itemRects);
    // Short texts of a value for the line of a collapsed group; size > 1.
    void structSummary(char* text, size_t size, const StructType& type, const void* address) const;
    void summary(char* text, size_t size, TwType type, const void* address) const;

    const TypeRegistry& types_;
    std::vector<ButtonPress>& pressed_;
};

} // namespace tweakbar
