// One CSV row per fragment, in shading order, with the columns of
// FragmentRows and empty fields where the driver gave no value.
#pragma once

#include <string>

#include "FragmentRows.h"

namespace Vellumar::capture {

// The whole file.
std::string fragmentCsv(const FragmentRows& rows);

} // namespace Vellumar::capture
