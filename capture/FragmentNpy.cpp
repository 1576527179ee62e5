// The header is the magic, the version, its own length and a Python dict
// literal, padded with spaces to a multiple of 64 bytes and ended by a
// newline, as the format asks. Values are written byte by byte in
// little-endian order, whatever the machine's.
#include "FragmentNpy.h"

#include <cstdint>
#include <vector>

namespace Vellumar::capture {

namespace {

using Column = FragmentRows::Column;

void appendLittleEndian(std::string& bytes, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes += static_cast<char>(value >> (8 * i));
    }
}

std::string header(const FragmentRows& rows) {
    std::string dict = "{'descr': [";
    for (int c = 0; c < FragmentRows::columnCount; ++c) {
        const auto column = static_cast<Column>(c);
        if (rows.available(column)) {
            dict += std::string("('") + FragmentRows::name(column) + "', '" +
                    (FragmentRows::wide(column) ? "<u8" : "<u4") + "'), ";
        }
    }
    dict += "], 'fortran_order': False, 'shape': (" + std::to_string(rows.size()) + ",), }";
    const std::size_t length = dict.size() + 1;
    dict.append((64 - (npyPreambleSize + length) % 64) % 64, ' ');
    dict += '\n';
    std::string bytes(npyMagic, npyMagicSize);
    appendLittleEndian(bytes, dict.size(), 2);
    return bytes + dict;
}

} // namespace

std::string fragmentNpy(const FragmentRows& rows) {
    std::string bytes = header(rows);
    std::vector<Column> columns;
    std::size_t recordBytes = 0;
    for (int c = 0; c < FragmentRows::columnCount; ++c) {
        const auto column = static_cast<Column>(c);
        if (rows.available(column)) {
            columns.push_back(column);
            recordBytes += FragmentRows::wide(column) ? 8 : 4;
        }
    }
    // A record is put together in a buffer of its own and appended whole,
    // into text reserved once: no byte is written twice.
    bytes.reserve(bytes.size() + recordBytes * rows.size());
    unsigned char record[FragmentRows::columnCount * 8];
    for (std::size_t row = 0; row < rows.size(); ++row) {
        std::size_t at = 0;
        for (Column column : columns) {
            const std::uint64_t value = rows.value(column, row);
            const int size = FragmentRows::wide(column) ? 8 : 4;
            for (int i = 0; i < size; ++i) {
                record[at++] = static_cast<unsigned char>(value >> (8 * i));
            }
        }
        bytes.append(reinterpret_cast<const char*>(record), at);
    }
    return bytes;
}

} // namespace Vellumar::capture
