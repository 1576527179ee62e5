// The 32-bit string hash that keys the shader directory registry and every
// shader's define table (sdbm: h = h * 65599 + c, characters read as signed).
#pragma once

#include <cstdint>

namespace Vellumar {

uint32_t nameHash(const char* name);

} // namespace Vellumar
