// How two captures of the same frame (two GPUs, drivers, thread counts or
// window sizes) differ, over the area both cover from the lower-left corner
// and the pixels both reached: the rank correlation of their first-fragment
// orders, the share of pixels whose tile comes at the same place in the two
// tile walks, and a picture of where the orders differ.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "CapturePictures.h"
#include "FragmentCapture.h"
#include "PatternReport.h"

namespace Vellumar::capture {

class CaptureComparison {
public:
    // Colours of the difference picture: a pixel shaded at the same rank in
    // both is black, one whose rank moved shades from red (a little) to white
    // (across the whole frame); one only a single capture reached is blue.
    static constexpr Rgba sameRank{0, 0, 0, 255};
    static constexpr Rgba oneCaptureOnly{40, 70, 200, 255};

    // The tiles are each capture's own finding; an unknown one leaves the
    // same-tile share unknown.
    CaptureComparison(const FragmentCapture& a, const TileEstimate& tileA, const FragmentCapture& b,
                      const TileEstimate& tileB);

    int width() const { return commonWidth; }
    int height() const { return commonHeight; }
    // Pixels of the common area that both captures reached.
    std::size_t sharedPixels() const { return pixels.size(); }
    // Spearman's rho of the two orders over the shared pixels; unknown with
    // fewer than two of them.
    std::optional<double> rankCorrelation() const;
    std::optional<double> sameTileShare() const;
    Picture differencePicture() const;

private:
    // Per shared pixel, its rank among the shared pixels in each capture.
    std::vector<std::uint32_t> rankIn(const FragmentCapture& capture) const;
    // Per shared pixel, the place of its tile in the capture's tile walk.
    std::vector<std::uint32_t> tilePlaces(const std::vector<std::uint32_t>& ranks,
                                          const TileEstimate& tile) const;

    int commonWidth = 0;
    int commonHeight = 0;
    std::vector<std::uint8_t> reachedByOne; // per common-area pixel
    std::vector<std::uint32_t> pixels;      // y * commonWidth + x, shared ones
    std::vector<std::uint32_t> ranksA;
    std::vector<std::uint32_t> ranksB;
    std::optional<double> tileShare;
};

} // namespace Vellumar::capture
