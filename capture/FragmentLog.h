// Every fragment a captured frame shaded, one entry per fragment shader
// invocation in the order the invocations took their number: the pixel, the
// counter value (its order), the primitive, and whatever else the driver
// could report. Kept column by column so that a part the driver lacks costs
// nothing and a fragment costs 40 bytes with primitive, clock, ballot and loops. A frame may
// shade more fragments than the log had room for: `shaded` counts them all,
// the columns hold those that fitted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Vellumar::capture {

struct FragmentLog {
    // Always present, one value per recorded fragment.
    std::vector<std::uint32_t> pixel; // y * width + x, rows from the bottom
    std::vector<std::uint32_t> order; // rising
    // Each as the capture's flag for its part says, else empty.
    std::vector<std::uint32_t> primitive;
    std::vector<std::uint64_t> clockStart;
    std::vector<std::uint64_t> clockEnd;
    std::vector<std::uint32_t> subgroup;
    std::vector<std::uint32_t> lane;
    std::vector<std::uint32_t> smId;
    std::vector<std::uint32_t> warpId;
    // Slowdown-loop iterations the fragment really ran; empty where unknown.
    std::vector<std::uint32_t> loops;

    // Fragments the frame shaded, recorded or not.
    std::uint64_t shaded = 0;

    std::size_t size() const { return pixel.size(); }
    bool empty() const { return pixel.empty(); }
    std::uint64_t dropped() const { return shaded > size() ? shaded - size() : 0; }
};

} // namespace Vellumar::capture
