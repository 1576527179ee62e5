#include "IndexedName.h"

std::string indexedName(const char* text, int index) {
    std::string name = text ? text : "";
    name += std::to_string(index);
    return name;
}
