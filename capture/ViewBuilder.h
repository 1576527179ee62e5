// RGBA images of a capture for the window and for the PNG files: the order
// as a colour ramp, the shader time, subgroups, lanes, primitives, overdraw,
// the last fragment's order and the primitive order within pixels, each cut at a replay fraction
// (only the fragments shaded before that share of the frame). The window rebuilds a 1024 x 1024
// view at 60 fps while the replay slider moves, so everything per pixel is worked out once in the
// constructor and a rebuild is one pass that compares ranks and copies colours into a buffer it
// keeps.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "FragmentCapture.h"
#include "OrderIndex.h"

namespace Vellumar::capture {

enum class View {
    order,      // first fragment first: blue, green, yellow, red last
    time,       // shader-clock cycles (end - start), short dark to long bright
    subgroups,  // a colour per subgroup id
    lanes,      // lane number as a ramp
    primitives, // a colour per primitive id
    overdraw,   // fragments per pixel as a ramp, 1 at the ramp's start
    last,       // the order of the pixel's last fragment, on the order view's ramp
    // Whether the pixel's fragments ran in primitive submission order: green
    // where they did, red where not, dim blue for a single fragment.
    primitiveOrder,
};

// The views are numbered 0 to viewCount - 1 in the order above.
constexpr int viewCount = static_cast<int>(View::primitiveOrder) + 1;

const char* viewName(View view);

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
};
static_assert(sizeof(Rgba) == 4, "Rgba must upload as four bytes a pixel");

// What the two ends of a view's colour ramp stand for: order ranks, cycles,
// lanes or fragments per pixel.
struct RampScale {
    double low = 0.0;
    double high = 0.0;
};

class ViewBuilder {
public:
    // Colour of covered pixels in a view whose data the capture lacks: it
    // shows coverage and nothing else.
    static constexpr Rgba noData{96, 96, 96, 255};
    // Uncovered pixels and pixels past the replay cut.
    static constexpr Rgba background{0, 0, 0, 255};
    // The time view's brightest colour stands for this percentile of the
    // pixels' cycles; longer pixels show it too.
    static constexpr double timeRampPercentile = 0.995;
    // The primitive-order view's colours.
    static constexpr Rgba singleFragment{50, 70, 110, 255};
    static constexpr Rgba inSubmissionOrder{40, 190, 90, 255};
    static constexpr Rgba outOfSubmissionOrder{225, 50, 40, 255};

    // The index must outlive the builder; the capture is read only here.
    ViewBuilder(const FragmentCapture& capture, const OrderIndex& index);

    bool available(View view) const;

    // The colour at a share (0 low end, 1 high end, clamped) of a view's
    // ramp; views that colour ids instead (subgroups, primitives) have none.
    static bool hasRamp(View view);
    static Rgba rampColour(View view, double share);
    // The values at the ends of an available view's ramp, for a legend.
    std::optional<RampScale> rampScale(View view) const;

    // width x height pixels, rows from the bottom like the capture (ready for
    // glTexImage2D). Shows the fragments whose rank is below
    // fraction x fragments; the fraction is clamped to 0..1 (NaN counts as 0).
    // The returned buffer belongs to the builder and is overwritten by the
    // next call; no call allocates.
    const std::vector<Rgba>& build(View view, double fraction = 1.0);

    // How many fragments a replay at this fraction shows.
    std::size_t replayCount(double fraction) const;

private:
    const OrderIndex& index;
    std::vector<std::vector<Rgba>> colours; // per view; empty when unavailable
    std::vector<RampScale> scales;          // per view
    std::vector<Rgba> image;
};

} // namespace Vellumar::capture
