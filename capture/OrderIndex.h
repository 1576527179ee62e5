// The covered pixels of a capture ranked by their order value: rank 0 is the
// first fragment the frame shaded, rank fragments()-1 the last. Ranks close
// the gaps that overdraw leaves in the raw counter values, so every analysis
// and every replay view works on 0..fragments()-1. Built once per capture;
// everything after that only reads it.
//
// An index can also rank pixels in an order of one's own: the whole tiles of a
// frame one after another, each tile's pixels in the frame's order, so that
// inside a tile the order is its own, free of whatever other tiles (other
// threads') had shaded in between.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FragmentCapture.h"

namespace Vellumar::capture {

class OrderIndex {
public:
    static constexpr std::uint32_t noRank = none;

    explicit OrderIndex(const FragmentCapture& capture);
    // The given pixels of a capture of `pixels` pixels, in the given order.
    OrderIndex(std::size_t pixels, std::vector<std::uint32_t> pixelsInOrder);

    std::size_t fragments() const { return inOrder.size(); }
    // Per pixel: its rank, or noRank where no fragment reached it.
    const std::vector<std::uint32_t>& ranks() const { return rankOf; }
    // The covered pixels' indices, first shaded first. Equal order values
    // (which a sane capture does not have) keep pixel-index order.
    const std::vector<std::uint32_t>& pixelsInOrder() const { return inOrder; }

private:
    void rankInOrder();

    std::vector<std::uint32_t> rankOf;
    std::vector<std::uint32_t> inOrder;
};

} // namespace Vellumar::capture
