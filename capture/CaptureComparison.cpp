// First-fragment orders are distinct counter values, so ranks have no ties
// and rho = 1 - 6 sum d^2 / (n (n^2 - 1)) holds exactly.
#include "CaptureComparison.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <utility>

namespace Vellumar::capture {

CaptureComparison::CaptureComparison(const FragmentCapture& a, const TileEstimate& tileA,
                                     const FragmentCapture& b, const TileEstimate& tileB)
    : commonWidth(std::min(a.width, b.width)), commonHeight(std::min(a.height, b.height)) {
    const std::size_t area =
        static_cast<std::size_t>(commonWidth) * static_cast<std::size_t>(commonHeight);
    reachedByOne.assign(area, 0);
    for (int y = 0; y < commonHeight; ++y) {
        for (int x = 0; x < commonWidth; ++x) {
            const bool inA = a.covered(a.pixelIndex(x, y));
            const bool inB = b.covered(b.pixelIndex(x, y));
            const std::uint32_t common = static_cast<std::uint32_t>(y * commonWidth + x);
            if (inA && inB) {
                pixels.push_back(common);
            } else {
                reachedByOne[common] = inA || inB;
            }
        }
    }
    ranksA = rankIn(a);
    ranksB = rankIn(b);
    if (tileA.size.known() && tileB.size.known() && !pixels.empty()) {
        const std::vector<std::uint32_t> placesA = tilePlaces(ranksA, tileA);
        const std::vector<std::uint32_t> placesB = tilePlaces(ranksB, tileB);
        std::size_t same = 0;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            same += placesA[i] == placesB[i] ? 1 : 0;
        }
        tileShare = static_cast<double>(same) / static_cast<double>(pixels.size());
    }
}

std::vector<std::uint32_t> CaptureComparison::rankIn(const FragmentCapture& capture) const {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> byOrder(pixels.size());
    const std::size_t width = static_cast<std::size_t>(commonWidth);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const int x = static_cast<int>(pixels[i] % width);
        const int y = static_cast<int>(pixels[i] / width);
        byOrder[i] = {capture.order[capture.pixelIndex(x, y)], static_cast<std::uint32_t>(i)};
    }
    std::sort(byOrder.begin(), byOrder.end());
    std::vector<std::uint32_t> ranks(pixels.size());
    for (std::size_t rank = 0; rank < byOrder.size(); ++rank) {
        ranks[byOrder[rank].second] = static_cast<std::uint32_t>(rank);
    }
    return ranks;
}

std::vector<std::uint32_t> CaptureComparison::tilePlaces(const std::vector<std::uint32_t>& ranks,
                                                         const TileEstimate& tile) const {
    const int w = tile.size.width;
    const int h = tile.size.height;
    const std::size_t width = static_cast<std::size_t>(commonWidth);
    std::vector<std::pair<int, int>> tileOf(pixels.size());
    // A tile's place in the walk is that of its first shared pixel.
    std::map<std::pair<int, int>, std::uint32_t> firstRank;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const int x = static_cast<int>(pixels[i] % width);
        const int y = static_cast<int>(pixels[i] / width);
        tileOf[i] = {(x + w - tile.offsetX) / w, (y + h - tile.offsetY) / h};
        auto [at, added] = firstRank.emplace(tileOf[i], ranks[i]);
        if (!added) {
            at->second = std::min(at->second, ranks[i]);
        }
    }
    std::vector<std::pair<std::uint32_t, std::pair<int, int>>> walk;
    for (const auto& [key, rank] : firstRank) {
        walk.push_back({rank, key});
    }
    std::sort(walk.begin(), walk.end());
    std::map<std::pair<int, int>, std::uint32_t> place;
    for (std::size_t i = 0; i < walk.size(); ++i) {
        place[walk[i].second] = static_cast<std::uint32_t>(i);
    }
    std::vector<std::uint32_t> places(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        places[i] = place[tileOf[i]];
    }
    return places;
}

std::optional<double> CaptureComparison::rankCorrelation() const {
    const double n = static_cast<double>(pixels.size());
    if (pixels.size() < 2) {
        return std::nullopt;
    }
    double squares = 0.0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const double d = static_cast<double>(ranksA[i]) - static_cast<double>(ranksB[i]);
        squares += d * d;
    }
    return 1.0 - 6.0 * squares / (n * (n * n - 1.0));
}

std::optional<double> CaptureComparison::sameTileShare() const { return tileShare; }

Picture CaptureComparison::differencePicture() const {
    Picture picture(commonWidth, commonHeight);
    for (std::size_t p = 0; p < reachedByOne.size(); ++p) {
        if (reachedByOne[p]) {
            picture.pixels[p] = oneCaptureOnly;
        }
    }
    const double spread = pixels.size() > 1 ? static_cast<double>(pixels.size() - 1) : 1.0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (ranksA[i] == ranksB[i]) {
            picture.pixels[pixels[i]] = sameRank;
            continue;
        }
        const double moved =
            std::abs(static_cast<double>(ranksA[i]) - static_cast<double>(ranksB[i])) / spread;
        const auto level = static_cast<std::uint8_t>(std::lround(255.0 * std::sqrt(moved)));
        picture.pixels[pixels[i]] = {255, level, level, 255};
    }
    return picture;
}

} // namespace Vellumar::capture
