// A whole-word search: "GLX_EXT_swap_control" must not match inside
// "GLX_EXT_swap_control_tear".
#include "ExtensionList.h"

#include <cstring>

namespace Vellumar {

bool listsExtension(const char* extensions, const char* name) {
    if (!extensions) {
        return false;
    }
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == extensions || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

} // namespace Vellumar
