// The fragments as a NumPy structured array (.npy format version 1.0), one
// record per fragment in shading order, little-endian, with the available
// columns of FragmentRows under their CSV names: 64-bit clocks, 32-bit
// everything else. numpy.load reads it as is.
#pragma once

#include <string>

#include "FragmentRows.h"

namespace Vellumar::capture {

// The whole file.
std::string fragmentNpy(const FragmentRows& rows);

} // namespace Vellumar::capture
