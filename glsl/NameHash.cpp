#include "NameHash.h"

namespace Vellumar {

uint32_t nameHash(const char* name) {
    uint32_t hash = 0;
    if (!name) {
        return hash;
    }
    for (const char* c = name; *c != '\0'; ++c) {
        // Bytes above 0x7F count as negative, whatever the platform's char is;
        // the conversion to unsigned then wraps them modulo 2^32.
        int32_t value = static_cast<signed char>(*c);
        hash = hash * 65599u + static_cast<uint32_t>(value);
    }
    return hash;
}

} // namespace Vellumar
