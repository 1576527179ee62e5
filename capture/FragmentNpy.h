// The fragments as a NumPy structured array (.npy format version 1.0), one
// record per fragment in shading order, little-endian, with the available
// columns of FragmentRows under their CSV names: 64-bit clocks, 32-bit
// everything else. numpy.load reads it as is.
#pragma once

#include <cstddef>
#include <string>

#include "FragmentRows.h"

namespace Vellumar::capture {

// How every .npy 1.0 file begins: magic, version 1.0, then the header's
// length in two little-endian bytes.
inline constexpr char npyMagic[] = "\x93NUMPY\x01\x00";
inline constexpr std::size_t npyMagicSize = 8;
inline constexpr std::size_t npyPreambleSize = npyMagicSize + 2;

// The whole file.
std::string fragmentNpy(const FragmentRows& rows);

} // namespace Vellumar::capture
