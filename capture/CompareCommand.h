// glintmoth --compare A B: reads two capture directories, prints their
// findings side by side with the rank correlation of their orders and the
// share of pixels whose tile comes at the same place, and writes
// A-vs-B.png (where the orders differ, see CaptureComparison) into the
// working directory. No window or GL context is involved.
#pragma once

#include <ostream>
#include <string>

namespace Vellumar::capture {

// "A-vs-B.png" from the directories' own names, however they are spelled
// ("runs/a/", ".").
std::string comparisonPictureName(const std::string& first, const std::string& second);

// The exit status: 0, 2 (with one "glintmoth: --compare ..." line) for a
// directory that is not a readable capture, 1 when the picture cannot be
// written.
int compareCaptures(const std::string& first, const std::string& second, std::ostream& out,
                    std::ostream& errors);

} // namespace Vellumar::capture
