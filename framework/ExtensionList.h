// The extension lists that GL, GLX and EGL answer with: one string of names
// separated by blanks, where a name may be the start of a longer one.
#pragma once

namespace Vellumar {

// Whether the list holds the name as a whole word; false for a null list.
bool listsExtension(const char* extensions, const char* name);

} // namespace Vellumar
