// Reads the values of definition attributes: names compared without case,
// integers, integer pairs ("350 0"), numbers and keyboard shortcuts.
#pragma once

#include <optional>
#include <string_view>
#include <utility>

namespace tweakbar {

bool equalsIgnoreCase(std::string_view a, std::string_view b);

// The whole text must be the value; blanks around it are allowed.
std::optional<int> parseInteger(std::string_view text);
std::optional<std::pair<int, int>> parseIntegerPair(std::string_view text);
std::optional<double> parseNumber(std::string_view text); // finite only

// The GLUT key code of a shortcut: one character (case matters), or one of
// the names SPACE, TAB, RETURN, ENTER, ESC, ESCAPE, BACKSPACE, DEL, DELETE.
std::optional<unsigned char> parseKey(std::string_view text);

} // namespace tweakbar
