// One CSV row per fragment, in shading order, with the columns of
// FragmentRows and empty fields where the driver gave no value.
#pragma once

#include <iosfwd>

#include "FragmentRows.h"

namespace Vellumar::capture {

// Sets the stream's failbit when it cannot take the text.
void writeFragmentCsv(std::ostream& out, const FragmentRows& rows);

} // namespace Vellumar::capture
