// How an edit made in a bar, or a shortcut key, changes a bound value: limits
// apply to what the bar writes, never to what it shows.
#pragma once

#include <cstdint>

#include "EntryOptions.h"
#include "TypeRegistry.h"

namespace tweakbar {

// The edited value brought inside min and max where they are set.
std::int32_t limitInt32(std::int64_t value, const EntryOptions& options);
float limitFloat(double value, const EntryOptions& options);

// One shortcut step (direction +1 or -1) of the value at address: a bool
// toggles, a number moves by its step (1 by default) within its limits, an
// enumeration moves to the next or previous value in declared order and
// wraps around. A value that is none of the enumeration's goes to its first
// value forwards and to its last backwards.
void stepValue(void* address, TwType type, const EntryOptions& options, const TypeRegistry& types,
               int direction);

} // namespace tweakbar
