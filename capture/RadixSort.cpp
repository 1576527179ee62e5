// Each pass counts the items per 16-bit digit, turns the counts into start
// positions and moves the items there in their present order: the low digit
// first, so that the high pass keeps the low order among equal high digits.
#include "RadixSort.h"

#include <algorithm>

namespace Vellumar::capture {

void RadixSort::sort(std::vector<std::uint32_t>& items, const std::vector<std::uint32_t>& keys) {
    constexpr std::size_t digits = 1u << 16;
    count.resize(digits + 1);
    scratch.resize(items.size());
    for (int shift : {0, 16}) {
        auto digit = [&](std::uint32_t item) { return (keys[item] >> shift) & 0xffffu; };
        std::fill(count.begin(), count.end(), 0u);
        for (std::uint32_t item : items) {
            ++count[digit(item) + 1];
        }
        for (std::size_t d = 1; d <= digits; ++d) {
            count[d] += count[d - 1];
        }
        for (std::uint32_t item : items) {
            scratch[count[digit(item)]++] = item;
        }
        items.swap(scratch);
    }
}

} // namespace Vellumar::capture
