#include "ValueRules.h"

#include <cmath>
#include <limits>

#include "BoundMemory.h"

namespace tweakbar {

namespace {

std::int64_t integerStep(const EntryOptions& options) {
    if (!options.step) {
        return 1;
    }
    double rounded = std::round(*options.step);
    return rounded < 1.0 ? 1 : rounded > 1e9 ? 1000000000 : static_cast<std::int64_t>(rounded);
}

void stepEnum(void* address, const EnumType& type, int direction) {
    const auto& values = type.values;
    int count = static_cast<int>(values.size());
    std::int32_t current = readInt32(address);
    int index = -1;
    for (int i = 0; i < count; ++i) {
        if (values[i].value == current) {
            index = i;
            break;
        }
    }
    int next;
    if (index < 0) {
        next = direction > 0 ? 0 : count - 1;
    } else {
        next = ((index + direction) % count + count) % count;
    }
    writeInt32(address, values[next].value);
}

} // namespace

std::int32_t limitInt32(std::int64_t value, const EntryOptions& options) {
    double limited = static_cast<double>(value);
    if (options.min && limited < *options.min) {
        limited = std::ceil(*options.min);
    }
    if (options.max && limited > *options.max) {
        limited = std::floor(*options.max);
    }
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (limited < lowest) {
        limited = lowest;
    }
    if (limited > highest) {
        limited = highest;
    }
    return static_cast<std::int32_t>(limited);
}

float limitFloat(double value, const EntryOptions& options) {
    if (options.min && value < *options.min) {
        value = *options.min;
    }
    if (options.max && value > *options.max) {
        value = *options.max;
    }
    // A double beyond the float range has no float to become.
    constexpr double highest = std::numeric_limits<float>::max();
    if (value > highest) {
        value = highest;
    }
    if (value < -highest) {
        value = -highest;
    }
    return static_cast<float>(value);
}

void stepValue(void* address, TwType type, const EntryOptions& options, const TypeRegistry& types,
               int direction) {
    switch (types.kindOf(type)) {
    case ValueKind::Bool:
        writeBool(address, !readBool(address));
        break;
    case ValueKind::Int32:
        writeInt32(address, limitInt32(readInt32(address) + direction * integerStep(options), options));
        break;
    case ValueKind::Float: {
        double step = options.step.value_or(1.0);
        writeFloat(address, limitFloat(readFloat(address) + direction * step, options));
        break;
    }
    case ValueKind::Enum:
        stepEnum(address, *types.enumType(type), direction);
        break;
    case ValueKind::Struct:
    case ValueKind::None:
        break;
    }
}

} // namespace tweakbar
