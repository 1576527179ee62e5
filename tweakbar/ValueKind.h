// What a TwType stands for, as far as reading, writing and drawing go.
#pragma once

namespace tweakbar {

enum class ValueKind { None, Bool, Int32, Float, Enum, Struct };

inline bool isNumber(ValueKind kind) { return kind == ValueKind::Int32 || kind == ValueKind::Float; }

} // namespace tweakbar
