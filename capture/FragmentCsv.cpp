// Rows are formatted with std::to_chars straight into the file's text, sized
// ahead for typical rows: a million rows take tens of milliseconds, not
// seconds.
#include "FragmentCsv.h"

#include <charconv>

namespace Vellumar::capture {

std::string fragmentCsv(const FragmentRows& rows) {
    using Column = FragmentRows::Column;
    std::string text;
    text.reserve(64 * (rows.size() + 1));
    for (int c = 0; c < FragmentRows::columnCount; ++c) {
        text += c == 0 ? "" : ",";
        text += FragmentRows::name(static_cast<Column>(c));
    }
    text += '\n';
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
    }
    return text;
}

} // namespace Vellumar::capture
