// How the fragments of a log stack up at their pixels: each fragment's layer
// (0 for the first fragment at its pixel), each pixel's last fragment, and
// whether a pixel's fragments ran in the order their primitives were
// submitted. Worked out once per capture in one pass over the log, for the
// files, the views and the summary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FragmentCapture.h"
#include "FragmentLog.h"

namespace Vellumar::capture {

class PixelLayers {
public:
    // The primitive order of a pixel.
    enum class Stack : std::uint8_t {
        empty,      // no fragment
        single,     // one fragment: no order to speak of
        inOrder,    // primitive ids never fall from one fragment to the next
        outOfOrder, // a later fragment came from an earlier primitive
    };

    // The log must be the capture's, or stand for it (firstFragmentLog).
    // Without primitive ids every pixel of several fragments reads inOrder.
    PixelLayers(const FragmentCapture& capture, const FragmentLog& log);

    // Per fragment of the log.
    const std::vector<std::uint32_t>& layers() const { return layerOf; }
    // Per pixel: the log index of its last fragment, none where uncovered.
    const std::vector<std::uint32_t>& lastFragments() const { return lastOf; }
    // Per pixel.
    const std::vector<Stack>& stacks() const { return stackOf; }

    std::size_t coveredPixels() const { return covered; }
    std::uint32_t maxOverdraw() const { return deepest; }
    // Fragments per covered pixel; 0 without any.
    double meanOverdraw() const;
    // Of the pixels with more than one fragment, the share whose fragments
    // ran in submission order; negative when there is no such pixel.
    double primitiveOrderShare() const;

private:
    std::vector<std::uint32_t> layerOf;
    std::vector<std::uint32_t> lastOf;
    std::vector<Stack> stackOf;
    std::size_t covered = 0;
    std::size_t stacked = 0;
    std::size_t stackedInOrder = 0;
    std::uint32_t deepest = 0;
    std::size_t fragments = 0;
};

} // namespace Vellumar::capture
