// Everything the tweak-bar calls build (bars with their entries in order, the
// made enumeration and struct types, the global help), the checks that refuse
// a bad call and change nothing, and how the bars change bound variables.
//
// Implements: TwNewBar, TwAddVarRW/RO, TwAddSeparator, TwAddButton,
//   TwDefineEnum, TwDefineStruct and TwDefine (bars and GLOBAL) with the
//   attributes TweakBar.h lists, and the layer's own plot entries; values
//   copied as bytes (alignment and the memory's real type do not matter; a
//   bool is its first byte only, so it may stand for a 32-bit 0/1 flag);
//   limits on what a bar writes, never on what it shows; shortcuts (a bool
//   toggles, a number steps within its limits, an enumeration steps in
//   declared order and wraps around, a button is pressed).
// Refuses: what TweakBar.h lists, with a line on standard error naming the
//   call and why.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ScreenRect.h"
#include "TweakBar.h"

namespace Vellumar::tweakbar {

enum class EntryKind {
    ReadWrite,
    ReadOnly,
    Separator,
    Button,
    Plot, // the layer's own: address is a PlotData
    Ramp  // the layer's own: address is a RampData
};
// What a type stands for when a bar reads, writes and draws it: a built-in
// type itself, one of these for made types, TW_TYPE_UNDEF for unknown ones.
constexpr TwType enumKind = -1;
constexpr TwType structKind = -2;

struct EntryOptions {
    std::string help;
    std::optional<unsigned char> keyIncr, keyDecr; // a button's key is its keyIncr
    std::optional<double> min, max, step;          // whole numbers for integers
};

struct EnumValue {
    int value;
    std::string label;
};

struct StructMember {
    std::string name;
    TwType type;
    size_t offset;
    std::string definition;
    EntryOptions options;
};

// An enumeration (values in declared order) or a struct (size and members).
struct MadeType {
    TwType kind; // enumKind or structKind
    std::string name;
    std::vector<EnumValue> values;
    size_t size = 0;
    std::vector<StructMember> members;
};

// One line of a bar, and where the last frame laid it out (width 0: not shown).
struct Entry {
    EntryKind kind = EntryKind::Separator;
    std::string label;
    TwType type = TW_TYPE_UNDEF;
    const void* address = nullptr; // null for separators and buttons; a PlotData or RampData
    std::string definition;
    TwButtonCallback callback = nullptr; // buttons only
    void* clientData = nullptr;
    EntryOptions options;

    ScreenRect widgetRect;             // the value widget; the whole line of separators and buttons
    ScreenRect labelRect;              // the label's text
    ScreenRect labelRoom;              // the part of the line given to the label
    std::vector<ScreenRect> itemRects; // struct members, or the items of an open enum list

    // Only read-write variables are ever written.
    void* writableAddress() const {
        return kind == EntryKind::ReadWrite ? const_cast<void*>(address) : nullptr;
    }
};

// A clicked or keyed button, called after the frame so that it may change bars.
struct ButtonPress {
    TwButtonCallback callback;
    void* clientData;
};

template <typename T>
T readValue(const void* address) {
    T value{};
    std::memcpy(&value, address, sizeof value);
    return value;
}

template <typename T>
void writeValue(void* address, T value) {
    std::memcpy(address, &value, sizeof value);
}

// An edited value brought inside min and max where they are set.
std::int32_t limitInt32(std::int64_t value, const EntryOptions& options);
float limitFloat(double value, const EntryOptions& options);

// Writes "tweakbar: call: why" to standard error; false, for `return refuse(...)`.
bool refuse(std::string_view call, std::string_view why);

class Registry {
public:
    TwBar* newBar(const char* name);
    TwBar* findBar(std::string_view name) const;
    bool owns(const TwBar* bar) const; // a bar of this registry, not one freed by TwInit
    bool define(const char* definition);
    // A variable (type and address), a separator, a button (callback), a
    // plot or a ramp (address).
    bool add(const char* call, TwBar* bar, EntryKind kind, const char* name, const char* definition,
             TwType type, const void* address, TwButtonCallback callback, void* clientData);
    TwType defineEnum(const char* name, const TwEnumVal* values, unsigned int count);
    TwType defineStruct(const char* name, const TwStructMember* members, unsigned int count,
                        size_t size, TwSummaryCallback summary);

    // The first read-write entry or button of a visible bar, in bar and entry
    // order, whose shortcut is key (case matters): a value is stepped, a
    // button joins pressed. False when there is none.
    bool applyShortcut(unsigned char key, std::vector<ButtonPress>& pressed) const;

    TwType kindOf(TwType type) const;
    const MadeType* madeType(TwType type) const; // null for built-in and unknown types
    const std::vector<std::unique_ptr<TwBar>>& bars() const { return barList; }
    const std::string& globalHelp() const { return help; }
    // Counts the calls that changed bars: a new layout is settled before use.
    unsigned long changes() const { return changeCount; }

private:
    static constexpr TwType firstMadeType = 0x100;
    std::vector<std::unique_ptr<TwBar>> barList;
    std::vector<std::unique_ptr<MadeType>> types;
    std::string help;
    unsigned long changeCount = 0;
};

// The registry the Tw* calls build (TweakBar.cpp keeps it; TwInit starts it over).
Registry& tweakBarRegistry();

} // namespace Vellumar::tweakbar

struct TwBar {
    struct Attributes {
        bool visible = true;
        int x = 0, y = 0, width = 200, height = 300; // window pixels from the top-left
        int fontSize = 2;                            // 1 small, 2 medium, 3 large
        int valuesWidth = 0;                         // 0: a share of the bar's width
        bool iconified = false;                      // folded: what the next frame shows
        std::string help;
    };

    std::string name;
    Attributes attributes;
    std::vector<Vellumar::tweakbar::Entry> entries;
    // A bar follows its definition (kept inside the window) until the user
    // moves or sizes it, and again once a definition moves or sizes it.
    bool userPlaced = false;
    Vellumar::tweakbar::ScreenRect placedRect; // where the last frame asked it to be
    Vellumar::tweakbar::ScreenRect drawnRect;  // as last built; width 0 when not shown
    Vellumar::tweakbar::ScreenRect helpButtonRect;

    Vellumar::tweakbar::Entry* findEntry(std::string_view label) {
        auto at = std::find_if(entries.begin(), entries.end(),
                               [&](const auto& entry) { return entry.label == label; });
        return at == entries.end() ? nullptr : &*at;
    }
};
