// Captures made up for tests and benchmarks: order maps with a known tile
// size, walk between tiles, blocks inside tiles, threads and subgroups, so
// that the analysis can be checked against what was built in.
#pragma once

#include <cstdint>
#include <vector>

#include "FragmentCapture.h"

namespace testsupport {

enum class Walk {
    rowMajor,    // left to right, rows bottom to top
    columnMajor, // bottom to top, columns left to right
    serpentine,  // rows bottom to top, every other row right to left
    zOrder,      // Morton curve, x the lowest bit
};

struct Unit {
    int width = 1;
    int height = 1;
    Walk walk = Walk::rowMajor;
};

struct SyntheticLayout {
    int width = 512;
    int height = 512;
    int tileWidth = 64;
    int tileHeight = 64;
    Walk tileWalk = Walk::rowMajor;
    // Units nested inside a tile, outermost first: each level cuts its parent
    // into units of its size and walks them its way. The pixels of the
    // innermost unit (of the tile when there is none) follow pixelWalk.
    std::vector<Unit> inside;
    // When otherEvery is above 0, every otherEvery-th tile of the walk, from
    // the first, is made of these units instead: a rasteriser that walks some
    // tiles (those a primitive's edge crosses) otherwise than the rest.
    std::vector<Unit> otherInside;
    int otherEvery = 0;
    Walk pixelWalk = Walk::rowMajor;
    // Threads take tiles in turn (thread k the tiles k, k + threads, ...)
    // and their fragments reach the counter in a random mix, in runs of
    // `run` fragments (a SIMD invocation's worth): with runs, threads keep
    // pace with each other, and tiles shaded side by side finish together.
    int threads = 1;
    int run = 1;
    std::uint32_t seed = 1;
    // Counter values advance by this much per fragment, as if other
    // fragments (overdraw) had taken the values in between.
    std::uint32_t orderStep = 1;
    // Ballot data when above 0: consecutive fragments of one thread inside a
    // tile form a subgroup of this many lanes.
    int subgroupSize = 0;
    bool clock = false;
    // Everything built from the top-left corner instead: tiles aligned to the
    // top edge, walks going down, as a rasteriser that tiles a top-down
    // framebuffer does.
    bool fromTop = false;
    // Only squares of coverSide pixels every coverStep pixels, from the
    // lower-left corner, stay covered: a grid of small primitives with gaps,
    // or of points with side 1. 0 covers every pixel.
    int coverSide = 0;
    int coverStep = 0;
};

Vellumar::capture::FragmentCapture makeCapture(const SyntheticLayout& layout);

// Every pixel covered, in a random order.
Vellumar::capture::FragmentCapture makeNoise(int width, int height, std::uint32_t seed);

// Clock values: every fragment starts after the previous and takes
// `cycles`, those inside the capture's freeze points `freezeCycles`.
void addClock(Vellumar::capture::FragmentCapture& capture, std::uint64_t cycles,
              std::uint64_t freezeCycles);

} // namespace testsupport
