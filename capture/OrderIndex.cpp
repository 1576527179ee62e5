// Ranking by a two-pass radix sort on the 32-bit order values: it is stable,
// so ties keep pixel order, and it stays linear for the million pixels of a
// large window.
#include "OrderIndex.h"

#include <algorithm>

namespace Vellumar::capture {

OrderIndex::OrderIndex(const FragmentCapture& capture) {
    capture.validate();
    const std::size_t pixels = capture.pixelCount();
    rankOf.assign(pixels, noRank);

    std::vector<std::uint32_t> covered;
    covered.reserve(pixels);
    for (std::size_t p = 0; p < pixels; ++p) {
        if (capture.covered(p)) {
            covered.push_back(static_cast<std::uint32_t>(p));
        }
    }
    inOrder.resize(covered.size());

    constexpr std::size_t digits = 1u << 16;
    std::vector<std::uint32_t> count(digits + 1);
    for (int shift : {0, 16}) {
        std::fill(count.begin(), count.end(), 0u);
        for (std::uint32_t p : covered) {
            ++count[((capture.order[p] >> shift) & 0xffffu) + 1];
        }
        for (std::size_t d = 1; d <= digits; ++d) {
            count[d] += count[d - 1];
        }
        for (std::uint32_t p : covered) {
            inOrder[count[(capture.order[p] >> shift) & 0xffffu]++] = p;
        }
        covered.swap(inOrder);
    }
    inOrder.swap(covered);

    for (std::size_t r = 0; r < inOrder.size(); ++r) {
        rankOf[inOrder[r]] = static_cast<std::uint32_t>(r);
    }
}

} // namespace Vellumar::capture
