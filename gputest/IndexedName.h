// A text followed by the decimal form of an integer, as "%s%d" writes them:
// the per-point bar names, macro names and uniform names.
#pragma once

#include <string>

std::string indexedName(const char* text, int index);
