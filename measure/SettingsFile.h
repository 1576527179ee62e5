// Every registered setting saved to a JSON file and loaded back, so that a
// set-up can be kept and repeated: one flat object, the setting names as keys
// in registration order, integers and booleans as JSON's own. Loading is
// lenient per key and strict per file: a file that is not JSON, or not an
// object, is refused whole with "FILE:LINE:COLUMN: message" and nothing is
// applied; a key no setting has is skipped and named; a value of the wrong
// type or out of range is refused for its key, and the other keys still
// apply. Booleans also load from 0 and 1.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SettingRegistry.h"

namespace Vellumar::measure {

// The name the program uses when none is given.
inline constexpr const char* defaultSettingsFileName = "glintmoth-settings.json";
// A settings file holds some fifty keys; a file larger than this is something
// else (a log, a device), refused before it fills the memory.
inline constexpr size_t maxSettingsFileBytes = size_t{4} << 20;

struct SettingsLoadReport {
    // "FILE:LINE:COLUMN: message": the text was refused and nothing applied.
    std::optional<std::string> fileError;
    // Keys that name no setting, in file order.
    std::vector<std::string> unknownKeys;
    // One "FILE: NAME: message" per refused key.
    std::vector<std::string> refused;
};

// What `s` writes (through writeWholeFile).
std::string settingsText(const SettingRegistry& registry);
// Reads the file's text (a regular file of at most maxSettingsFileBytes) and
// checks, with no registry and applying nothing, that loadSettingsText would
// take it: a program checks its file before its window opens and applies it
// after. Nullopt with the text, else why not: "FILE: reason",
// "FILE:LINE:COLUMN: message", or for a number beyond a double
// "FILE: KEY: message".
std::optional<std::string> readSettingsText(const std::string& path, std::string& text);
// `fileName` only labels the messages.
SettingsLoadReport loadSettingsText(SettingRegistry& registry, std::string_view text,
                                    std::string_view fileName);

} // namespace Vellumar::measure
