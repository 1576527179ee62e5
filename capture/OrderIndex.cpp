// Ranking by a radix sort on the 32-bit order values: it is stable, so ties
// keep pixel order, and it stays linear for the million pixels of a large
// window.
#include "OrderIndex.h"

#include <utility>

#include "RadixSort.h"

namespace Vellumar::capture {

OrderIndex::OrderIndex(const FragmentCapture& capture) {
    capture.validate();
    const std::size_t pixels = capture.pixelCount();
    rankOf.assign(pixels, noRank);

    inOrder.reserve(pixels);
    for (std::size_t p = 0; p < pixels; ++p) {
        if (capture.covered(p)) {
            inOrder.push_back(static_cast<std::uint32_t>(p));
        }
    }
    RadixSort().sort(inOrder, capture.order);
    rankInOrder();
}

OrderIndex::OrderIndex(std::size_t pixels, std::vector<std::uint32_t> pixelsInOrder)
    : rankOf(pixels, noRank), inOrder(std::move(pixelsInOrder)) {
    rankInOrder();
}

void OrderIndex::rankInOrder() {
    for (std::size_t r = 0; r < inOrder.size(); ++r) {
        rankOf[inOrder[r]] = static_cast<std::uint32_t>(r);
    }
}

} // namespace Vellumar::capture
