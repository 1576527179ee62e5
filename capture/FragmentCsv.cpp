// Rows are formatted with std::to_chars into a block that goes to the stream
// in large writes: a million rows take tens of milliseconds, not seconds.
#include "FragmentCsv.h"

#include <charconv>
#include <ostream>
#include <string>

namespace Vellumar::capture {

void writeFragmentCsv(std::ostream& out, const FragmentRows& rows) {
    using Column = FragmentRows::Column;
    std::string text;
    for (int c = 0; c < FragmentRows::columnCount; ++c) {
        text += c == 0 ? "" : ",";
        text += FragmentRows::name(static_cast<Column>(c));
    }
    text += '\n';
    constexpr std::size_t flushAt = 1u << 20;
    text.reserve(flushAt + 512);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (int c = 0; c < FragmentRows::columnCount; ++c) {
            const auto column = static_cast<Column>(c);
            if (c > 0) {
                text += ',';
            }
            if (rows.available(column)) {
                char digits[24];
                const std::to_chars_result end =
                    std::to_chars(digits, digits + sizeof digits, rows.value(column, row));
                text.append(digits, end.ptr);
            }
        }
        text += '\n';
        if (text.size() >= flushAt) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace Vellumar::capture
