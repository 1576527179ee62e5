// Reads and writes the program's variables through the untyped addresses the
// bars are given. Copies bytes, so neither alignment nor the type the memory
// really holds matters. A bool is one byte: only that byte is read or
// written, which also lets a bool entry stand for a 32-bit 0/1 flag whose
// other bytes are 0 on a little-endian machine.
#pragma once

#include <cstdint>
#include <cstring>

namespace tweakbar {

inline bool readBool(const void* address) {
    unsigned char byte = 0;
    std::memcpy(&byte, address, 1);
    return byte != 0;
}

inline void writeBool(void* address, bool value) {
    unsigned char byte = value ? 1 : 0;
    std::memcpy(address, &byte, 1);
}

inline std::int32_t readInt32(const void* address) {
    std::int32_t value = 0;
    std::memcpy(&value, address, sizeof value);
    return value;
}

inline void writeInt32(void* address, std::int32_t value) {
    std::memcpy(address, &value, sizeof value);
}

inline float readFloat(const void* address) {
    float value = 0.0f;
    std::memcpy(&value, address, sizeof value);
    return value;
}

inline void writeFloat(void* address, float value) { std::memcpy(address, &value, sizeof value); }

inline const void* memberAddress(const void* base, size_t offset) {
    return static_cast<const unsigned char*>(base) + offset;
}

} // namespace tweakbar
