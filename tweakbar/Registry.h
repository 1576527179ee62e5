// Everything the tweak-bar calls build: bars with their entries in order, the
// made enumeration and struct types and the global help, with the checks that
// refuse a bad call and change nothing; and the rules by which the bars change
// the program's variables.
//
// Implements: TwNewBar, TwAddVarRW/RO, TwAddSeparator, TwAddButton,
//   TwDefineEnum, TwDefineStruct and TwDefine (bars and GLOBAL) with the
//   attributes TweakBar.h lists; bound values copied as bytes (neither
//   alignment nor the type the memory really holds matters; a bool is its
//   first byte only, so it may stand for a 32-bit 0/1 flag); limits applied
//   to what a bar writes, never to what it shows; shortcut keys (a bool
//   toggles, a number moves by its step within its limits, an enumeration
//   moves in declared order and wraps around, a button is pressed).
// Refuses: everything TweakBar.h lists as refused, with one line on standard
//   error naming the call and why.
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
    Button
};
enum class ValueKind {
    None,
    Bool,
    Int32,
    Float,
    Double,
    CString,
    Enum,
    Struct
};

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
    ValueKind kind;
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
    const void* address = nullptr; // null for separators and buttons
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

// A button whose key was pressed or that was clicked: called after the search
// or the frame, so that its callback may change the bars.
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

inline bool readBool(const void* address) {
    return readValue<unsigned char>(address) != 0;
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
    bool define(const char* definition);
    // A variable (type and address), a separator or a button (callback).
    bool add(const char* call, TwBar* bar, EntryKind kind, const char* name, const char* definition,
             TwType type, const void* address, TwButtonCallback callback, void* clientData);
    TwType defineEnum(const char* name, const TwEnumVal* values, unsigned int count);
    TwType defineStruct(const char* name, const TwStructMember* members, unsigned int count,
                        size_t size, TwSummaryCallback summary);

    // The first read-write entry or button of a visible bar, in bar and entry
    // order, whose shortcut is key (case matters): a value is stepped, a
    // button handed back in button. False when there is none.
    bool applyShortcut(unsigned char key, ButtonPress& button) const;

    ValueKind kindOf(TwType type) const;
    const MadeType* madeType(TwType type) const; // null for built-in and unknown types
    const std::vector<std::unique_ptr<TwBar>>& bars() const { return barList; }
    const std::string& globalHelp() const { return help; }
    // Counts the calls that changed bars, so that a new layout can be
    // settled before anyone points at it.
    unsigned long changes() const { return changeCount; }

private:
    static constexpr TwType firstMadeType = 0x100;
    TwType made(std::unique_ptr<MadeType> type);

    std::vector<std::unique_ptr<TwBar>> barList;
    std::vector<std::unique_ptr<MadeType>> types;
    std::string help;
    unsigned long changeCount = 0;
};

} // namespace Vellumar::tweakbar

struct TwBar {
    struct Attributes {
        bool visible = true;
        int x = 0, y = 0, width = 200, height = 300; // window pixels from the top-left
        int fontSize = 2;                            // 1 small, 2 medium, 3 large
        int valuesWidth = 0;                         // 0: a share of the bar's width
        std::string help;
    };

    std::string name;
    Attributes attributes;
    std::vector<Vellumar::tweakbar::Entry> entries;
    // Set when the definition moved or sized the bar: the next frame places
    // it there, and it follows its definition (kept inside the window) until
    // the user moves or sizes it.
    bool placementPending = true;
    bool userPlaced = false;
    Vellumar::tweakbar::ScreenRect placedRect; // where the last frame asked it to be
    Vellumar::tweakbar::ScreenRect drawnRect;  // as last built; width 0 when not shown
    Vellumar::tweakbar::ScreenRect helpButtonRect;

    Vellumar::tweakbar::Entry* findEntry(std::string_view label) {
        auto e =
            std::find_if(entries.begin(), entries.end(), [&](auto& e) { return e.label == label; });
        return e == entries.end() ? nullptr : &*e;
    }
};
