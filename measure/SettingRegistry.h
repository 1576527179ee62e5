// Named access to settings that live elsewhere as plain int32 or bool
// members: the command line (--set, --sweep), the settings file and the
// results files read and write them by name through this table.
//
// Names look like "loopsCount.x", "freezePoints[2].SizeY" or
// "freezePointEnabled[1]". A group is the part before the last dot: the
// settings registered as "group.member" are the group's members, in the
// order they were registered, and apply("loopsCount", "2000,20") sets them
// all at once from comma-separated values (all or none).
//
// Values: integers are decimal, with an optional sign, and must fit 32 bits;
// booleans take 0, 1, true or false; an enumeration takes one of its listed
// integers. Blanks around a value are ignored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Vellumar::measure {

enum class SettingKind {
    integer,
    boolean,
    enumeration
};

struct Setting {
    std::string name;
    SettingKind kind = SettingKind::integer;
    int32_t* integer = nullptr;   // integer and enumeration
    bool* boolean = nullptr;      // boolean
    std::vector<int32_t> allowed; // enumeration: its values, ascending
};

// A setting's value at one moment; booleans as 0 or 1.
struct SettingValue {
    std::string name;
    SettingKind kind = SettingKind::integer;
    int32_t value = 0;
};

// A decimal integer with an optional sign, nothing else around it; nullopt
// when the text is not one. Digits past 64 bits still make a number, only
// one that nothing takes: they read as the 64-bit limit of their sign.
std::optional<int64_t> parseWholeNumber(std::string_view text);
// The text without blanks (spaces, tabs) at either end.
std::string_view trimBlanks(std::string_view text);

// One more value folded into a fingerprint (FNV-1a, 64 bits): the frame
// mixes in state that is no setting.
uint64_t addToFingerprint(uint64_t fingerprint, int32_t value) noexcept;

class SettingRegistry {
public:
    // Registration is the program's own table: a name that is empty, taken,
    // clashes with a group, or holds a blank, '=' or ',' is a programming
    // error and throws std::invalid_argument, as does null storage or an
    // enumeration without values.
    void addInteger(std::string name, int32_t* storage);
    void addBoolean(std::string name, bool* storage);
    void addEnumeration(std::string name, int32_t* storage, std::vector<int32_t> allowed);

    // Each returns nullopt on success, else one line that names the setting
    // and what was wrong with the value; nothing is stored on error.
    // `name` may be a setting or a group.
    std::optional<std::string> apply(std::string_view name, std::string_view text);
    std::optional<std::string> check(std::string_view name, std::string_view text) const;
    // A single setting from a number (a sweep step); a group is refused.
    std::optional<std::string> setValue(std::string_view name, int64_t value);
    std::optional<std::string> checkValue(std::string_view name, int64_t value) const;

    const Setting* find(std::string_view name) const;
    // The current value of every setting, in registration order.
    std::vector<SettingValue> snapshot() const;

    // A hash of every setting's current value, in registration order: equal
    // values give equal fingerprints, and a change of any one value changes
    // it. Cheap and allocation-free, for comparing the settings frame by
    // frame.
    uint64_t fingerprint() const noexcept;

    // For --help: a line per setting ("curPrim: one of 0, 1, 4, 7",
    // "loopsCount.x: integer"), then one per group ("loopsCount (x,y)").
    std::string describe() const;

    const std::vector<Setting>& all() const { return settings; }

private:
    using Assignment = std::pair<const Setting*, int32_t>;

    void add(Setting setting);
    std::vector<const Setting*> groupMembers(std::string_view group) const;
    // "x,y": the members' names after the group's.
    std::string memberList(std::string_view group) const;
    // What `text` would store, for a setting or a group; stores nothing.
    std::optional<std::string> parse(std::string_view name, std::string_view text,
                                     std::vector<Assignment>& assignments) const;

    std::vector<Setting> settings;
};

} // namespace Vellumar::measure
