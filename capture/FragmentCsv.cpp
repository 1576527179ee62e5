// Rows are formatted with std::to_chars into a block that goes to the stream
// in large writes: a million rows take tens of milliseconds, not seconds.
#include "FragmentCsv.h"

#include <charconv>
#include <ostream>
#include <string>

namespace Vellumar::capture {

namespace {

template <typename T>
void append(std::string& text, T value) {
    char digits[24];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, end.ptr);
}

} // namespace

void writeFragmentCsv(std::ostream& out, const FragmentCapture& capture, const OrderIndex& index) {
    capture.validate();
    out << "x,y,order,clock_start,clock_end,subgroup,lane,primitive,overdraw\n";
    std::string text;
    constexpr std::size_t flushAt = 1u << 20;
    text.reserve(flushAt + 256);
    const std::size_t width = static_cast<std::size_t>(capture.width);
    for (std::uint32_t p : index.pixelsInOrder()) {
        append(text, p % width);
        text += ',';
        append(text, p / width);
        text += ',';
        append(text, capture.order[p]);
        text += ',';
        if (capture.clockAvailable) {
            append(text, capture.clockStart[p]);
        }
        text += ',';
        if (capture.clockAvailable) {
            append(text, capture.clockEnd[p]);
        }
        text += ',';
        if (capture.ballotAvailable) {
            append(text, capture.subgroup[p]);
        }
        text += ',';
        if (capture.ballotAvailable) {
            append(text, capture.lane[p]);
        }
        text += ',';
        if (capture.primitiveAvailable) {
            append(text, capture.primitive[p]);
        }
        text += ',';
        append(text, capture.overdraw[p]);
        text += '\n';
        if (text.size() >= flushAt) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace Vellumar::capture
