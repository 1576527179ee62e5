// One pass over the log, in its order: a pixel's count so far is the next
// fragment's layer, and its last primitive id tells whether the next one
// came later.
#include "PixelLayers.h"

#include <algorithm>

namespace Vellumar::capture {

PixelLayers::PixelLayers(const FragmentCapture& capture, const FragmentLog& log)
    : layerOf(log.size()), lastOf(capture.pixelCount(), none),
      stackOf(capture.pixelCount(), Stack::empty), fragments(log.size()) {
    std::vector<std::uint32_t> count(capture.pixelCount(), 0);
    const bool primitives = !log.primitive.empty();
    for (std::size_t i = 0; i < log.size(); ++i) {
        const std::uint32_t p = log.pixel[i];
        layerOf[i] = count[p]++;
        Stack& stack = stackOf[p];
        if (stack == Stack::empty) {
            stack = Stack::single;
        } else if (stack != Stack::outOfOrder) {
            const bool later = !primitives || log.primitive[i] >= log.primitive[lastOf[p]];
            stack = later ? Stack::inOrder : Stack::outOfOrder;
        }
        lastOf[p] = static_cast<std::uint32_t>(i);
    }
    for (std::size_t p = 0; p < count.size(); ++p) {
        deepest = std::max(deepest, count[p]);
        covered += count[p] > 0 ? 1 : 0;
        stacked += count[p] > 1 ? 1 : 0;
        stackedInOrder += stackOf[p] == Stack::inOrder ? 1 : 0;
    }
}

double PixelLayers::meanOverdraw() const {
    return covered == 0 ? 0.0 : static_cast<double>(fragments) / static_cast<double>(covered);
}

double PixelLayers::primitiveOrderShare() const {
    return stacked == 0 ? -1.0 : static_cast<double>(stackedInOrder) / static_cast<double>(stacked);
}

} // namespace Vellumar::capture
