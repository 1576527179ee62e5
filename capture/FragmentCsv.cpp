// Rows are formatted with std::to_chars into the file's text, reserved ahead
// for typical rows: a million rows take tens of milliseconds, not seconds.
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
    // A row is formatted into a buffer of its own and appended whole: one
    // append a row instead of two a field.
    char line[FragmentRows::columnCount * 21 + 1];
    for (std::size_t row = 0; row < rows.size(); ++row) {
        char* end = line;
        for (int c = 0; c < FragmentRows::columnCount; ++c) {
            const auto column = static_cast<Column>(c);
            if (rows.available(column)) {
                end = std::to_chars(end, line + sizeof line, rows.value(column, row)).ptr;
            }
            *end++ = c + 1 < FragmentRows::columnCount ? ',' : '\n';
        }
        text.append(line, end);
    }
    return text;
}

} // namespace Vellumar::capture
