// One CSV row per covered pixel, in shading order:
//   x,y,order,clock_start,clock_end,subgroup,lane,primitive,overdraw
// with y from the bottom, and empty fields where the driver gave no value.
#pragma once

#include <iosfwd>

#include "FragmentCapture.h"
#include "OrderIndex.h"

namespace Vellumar::capture {

// Sets the stream's failbit when it cannot take the text.
void writeFragmentCsv(std::ostream& out, const FragmentCapture& capture, const OrderIndex& index);

} // namespace Vellumar::capture
