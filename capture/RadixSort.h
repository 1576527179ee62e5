// A stable sort of indices by 32-bit keys in two 16-bit counting passes: it
// stays linear for the million pixels a large window ranks and the hundred
// thousand tiles a walk check orders, and keeps equal keys in index order.
// The scratch arrays are kept between sorts, so that sorting again with the
// same count allocates nothing.
#pragma once

#include <cstdint>
#include <vector>

namespace Vellumar::capture {

class RadixSort {
public:
    // Reorders `items`, each an index into `keys`, by their keys; items with
    // equal keys keep their order.
    void sort(std::vector<std::uint32_t>& items, const std::vector<std::uint32_t>& keys);

private:
    std::vector<std::uint32_t> scratch;
    std::vector<std::uint32_t> count;
};

} // namespace Vellumar::capture
