// Numbers as the command line and the result files read and write them:
// whole numbers without surprises (no leading blanks, no trailing junk, no
// silent wrap-around) and decimals with enough digits to be read back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Vellumar::measure {

// A decimal integer with an optional sign, nothing else around it; nullopt
// when the text is not one or does not fit 64 bits.
std::optional<int64_t> parseWholeNumber(std::string_view text);

// The text without blanks (spaces, tabs) at either end.
std::string_view trimBlanks(std::string_view text);

// "%.9g": nine significant digits, enough for timings in seconds; "nan" and
// "inf" for what is not a finite number.
std::string formatDecimal(double value);

} // namespace Vellumar::measure
