// Fuzzes applyDefineLine with arbitrary names, values and texts. The input is
// name, NUL, value, NUL, text. The edit must report exactly whether the text
// changed, grow it by at most one define line, leave the line in the text,
// and change nothing when the same define is set a second time.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "CapturedSink.h"
#include "ShaderText.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    testsupport::quietMessageSink();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Longer inputs find nothing new and only slow the run down.
    if (size > 4096) {
        return 0;
    }
    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t nameEnd = input.find('\0');
    if (nameEnd == std::string::npos) {
        return 0;
    }
    std::size_t valueEnd = input.find('\0', nameEnd + 1);
    if (valueEnd == std::string::npos) {
        return 0;
    }
    const std::string name = input.substr(0, nameEnd);
    const std::string value = input.substr(nameEnd + 1, valueEnd - nameEnd - 1);
    const std::string original = input.substr(valueEnd + 1);

    std::string text = original;
    bool changed = Vellumar::applyDefineLine(text, name.c_str(), value.c_str());
    const std::string line = "#define " + name + " " + value;
    if (changed != (text != original)) {
        std::abort();
    }
    if (text.size() > original.size() + line.size() + 1) {
        std::abort();
    }
    if (text.find(line) == std::string::npos) {
        std::abort();
    }

    std::string again = text;
    if (Vellumar::applyDefineLine(again, name.c_str(), value.c_str())) {
        std::abort();
    }
    if (again != text) {
        std::abort();
    }
    return 0;
}
