// Ramps are linear blends between a few fixed colours in a 256-entry table;
// ids get a colour from a hash, kept away from black so that they never look
// uncovered.
#include "ViewBuilder.h"

#include "Percentile.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "PixelLayers.h"

namespace Vellumar::capture {

namespace {

using Ramp = std::array<Rgba, 256>;

Ramp makeRamp(const std::vector<Rgba>& stops) {
    Ramp ramp{};
    const double segments = static_cast<double>(stops.size() - 1);
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        const double at = static_cast<double>(i) / 255.0 * segments;
        const std::size_t s = std::min(static_cast<std::size_t>(at), stops.size() - 2);
        const double t = at - static_cast<double>(s);
        auto mix = [&](std::uint8_t a, std::uint8_t b) {
            return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
        };
        ramp[i] = Rgba{mix(stops[s].r, stops[s + 1].r), mix(stops[s].g, stops[s + 1].g),
                       mix(stops[s].b, stops[s + 1].b), 255};
    }
    return ramp;
}

const Ramp& orderRamp() {
    static const Ramp ramp = makeRamp({{48, 18, 160, 255},
                                       {40, 130, 250, 255},
                                       {30, 225, 180, 255},
                                       {250, 200, 50, 255},
                                       {220, 30, 20, 255}});
    return ramp;
}

const Ramp& timeRamp() {
    static const Ramp ramp = makeRamp(
        {{40, 20, 90, 255}, {140, 35, 110, 255}, {235, 105, 40, 255}, {255, 250, 170, 255}});
    return ramp;
}

// 0..1 onto the ramp; the share is computed in double so that no product of
// pixel counts can overflow.
Rgba onRamp(const Ramp& ramp, double share) {
    const double clamped = std::clamp(share, 0.0, 1.0);
    return ramp[static_cast<std::size_t>(std::lround(clamped * 255.0))];
}

Rgba hashColour(std::uint32_t id) {
    std::uint64_t h = id + 0x9e3779b97f4a7c15ull;
    h = (h ^ (h >> 30)) * 0xbf58476d1ce4e5b9ull;
    h = (h ^ (h >> 27)) * 0x94d049bb133111ebull;
    h ^= h >> 31;
    auto channel = [&](int shift) {
        return static_cast<std::uint8_t>(64 + ((h >> shift) & 0xffu) * 191 / 255);
    };
    return Rgba{channel(0), channel(8), channel(16), 255};
}

// A view's colours: colourOf(p) for each covered pixel, the background
// elsewhere.
template <typename ColourOf>
std::vector<Rgba> colourCovered(const FragmentCapture& capture, ColourOf colourOf) {
    std::vector<Rgba> table(capture.pixelCount(), ViewBuilder::background);
    for (std::size_t p = 0; p < table.size(); ++p) {
        if (capture.covered(p)) {
            table[p] = colourOf(p);
        }
    }
    return table;
}

std::vector<Rgba> orderColours(const FragmentCapture& capture, const OrderIndex& index,
                               RampScale& scale) {
    const std::vector<std::uint32_t>& rank = index.ranks();
    const double lastRank = std::max<double>(1.0, static_cast<double>(index.fragments()) - 1.0);
    scale = {0.0, lastRank};
    return colourCovered(capture,
                         [&](std::size_t p) { return onRamp(orderRamp(), rank[p] / lastRank); });
}

std::vector<Rgba> overdrawColours(const FragmentCapture& capture, RampScale& scale) {
    std::uint32_t maxOverdraw = 1;
    for (std::uint32_t fragments : capture.overdraw) {
        maxOverdraw = std::max(maxOverdraw, fragments);
    }
    scale = {1.0, static_cast<double>(maxOverdraw)};
    return colourCovered(capture, [&](std::size_t p) {
        return onRamp(orderRamp(), maxOverdraw == 1 ? 0.0
                                                    : (std::max(capture.overdraw[p], 1u) - 1.0) /
                                                          (maxOverdraw - 1.0));
    });
}

// A clock that ran backwards gives no duration (-1): such pixels show as
// covered without data.
double cycles(const FragmentCapture& capture, std::size_t p) {
    return capture.clockEnd[p] >= capture.clockStart[p]
               ? static_cast<double>(capture.clockEnd[p] - capture.clockStart[p])
               : -1.0;
}

std::vector<Rgba> timeColours(const FragmentCapture& capture, std::size_t fragments,
                              RampScale& scale) {
    std::vector<double> durations;
    durations.reserve(fragments);
    for (std::size_t p = 0; p < capture.pixelCount(); ++p) {
        if (capture.covered(p) && cycles(capture, p) >= 0.0) {
            durations.push_back(cycles(capture, p));
        }
    }
    // The ramp ends at a high percentile, not at the longest pixel: a raster
    // thread descheduled in mid-fragment leaves a few pixels thousands of
    // times longer, which would darken everything else.
    double shortest = 0.0;
    double longest = 0.0;
    if (!durations.empty()) {
        shortest = *std::min_element(durations.begin(), durations.end());
        longest = measure::percentile(durations, ViewBuilder::timeRampPercentile * 100.0);
    }
    const double span = longest > shortest ? longest - shortest : 1.0;
    scale = {shortest, longest};
    return colourCovered(capture, [&](std::size_t p) {
        const double duration = cycles(capture, p);
        return duration < 0.0 ? ViewBuilder::noData
                              : onRamp(timeRamp(), (duration - shortest) / span);
    });
}

std::vector<Rgba> laneColours(const FragmentCapture& capture, RampScale& scale) {
    std::uint32_t maxLane = 1;
    for (std::size_t p = 0; p < capture.pixelCount(); ++p) {
        if (capture.covered(p)) {
            maxLane = std::max(maxLane, capture.lane[p]);
        }
    }
    scale = {0.0, static_cast<double>(maxLane)};
    return colourCovered(capture, [&](std::size_t p) {
        return onRamp(orderRamp(), static_cast<double>(capture.lane[p]) / maxLane);
    });
}

// The order of each pixel's last fragment: its place in the log.
std::vector<Rgba> lastColours(const FragmentCapture& capture, const PixelLayers& layers,
                              std::size_t logSize, RampScale& scale) {
    const std::vector<std::uint32_t>& last = layers.lastFragments();
    const double lastIndex = std::max<double>(1.0, static_cast<double>(logSize) - 1.0);
    scale = {0.0, lastIndex};
    return colourCovered(capture, [&](std::size_t p) {
        return last[p] == none ? ViewBuilder::noData : onRamp(orderRamp(), last[p] / lastIndex);
    });
}

std::vector<Rgba> primitiveOrderColours(const FragmentCapture& capture, const PixelLayers& layers) {
    return colourCovered(capture, [&](std::size_t p) {
        switch (layers.stacks()[p]) {
        case PixelLayers::Stack::inOrder: return ViewBuilder::inSubmissionOrder;
        case PixelLayers::Stack::outOfOrder: return ViewBuilder::outOfSubmissionOrder;
        case PixelLayers::Stack::single: return ViewBuilder::singleFragment;
        case PixelLayers::Stack::empty: break;
        }
        return ViewBuilder::noData;
    });
}

} // namespace

const char* viewName(View view) {
    switch (view) {
    case View::order: return "order";
    case View::time: return "time";
    case View::subgroups: return "subgroups";
    case View::lanes: return "lanes";
    case View::primitives: return "primitives";
    case View::overdraw: return "overdraw";
    case View::last: return "last";
    case View::primitiveOrder: return "primitive-order";
    }
    return "unknown";
}

ViewBuilder::ViewBuilder(const FragmentCapture& capture, const OrderIndex& index)
    : index(index), colours(static_cast<std::size_t>(viewCount)),
      scales(static_cast<std::size_t>(viewCount)), image(capture.pixelCount()) {
    capture.validate();
    auto colourTable = [&](View view) -> std::vector<Rgba>& {
        return colours[static_cast<std::size_t>(view)];
    };
    auto scale = [&](View view) -> RampScale& { return scales[static_cast<std::size_t>(view)]; };
    colourTable(View::order) = orderColours(capture, index, scale(View::order));
    colourTable(View::overdraw) = overdrawColours(capture, scale(View::overdraw));
    {
        FragmentLog standIn;
        const FragmentLog& log = capture.logOrFirstFragments(standIn);
        const PixelLayers layers(capture, log);
        colourTable(View::last) = lastColours(capture, layers, log.size(), scale(View::last));
        if (!log.primitive.empty()) {
            colourTable(View::primitiveOrder) = primitiveOrderColours(capture, layers);
        }
    }
    if (capture.clockAvailable) {
        colourTable(View::time) = timeColours(capture, index.fragments(), scale(View::time));
    }
    if (capture.ballotAvailable) {
        colourTable(View::subgroups) =
            colourCovered(capture, [&](std::size_t p) { return hashColour(capture.subgroup[p]); });
        colourTable(View::lanes) = laneColours(capture, scale(View::lanes));
    }
    if (capture.primitiveAvailable) {
        colourTable(View::primitives) =
            colourCovered(capture, [&](std::size_t p) { return hashColour(capture.primitive[p]); });
    }
}

bool ViewBuilder::available(View view) const {
    return !colours[static_cast<std::size_t>(view)].empty();
}

bool ViewBuilder::hasRamp(View view) {
    return view != View::subgroups && view != View::primitives && view != View::primitiveOrder;
}

Rgba ViewBuilder::rampColour(View view, double share) {
    return onRamp(view == View::time ? timeRamp() : orderRamp(), share);
}

std::optional<RampScale> ViewBuilder::rampScale(View view) const {
    if (!hasRamp(view) || !available(view)) {
        return std::nullopt;
    }
    return scales[static_cast<std::size_t>(view)];
}

std::size_t ViewBuilder::replayCount(double fraction) const {
    if (!(fraction > 0.0)) {
        return 0;
    }
    if (fraction >= 1.0) {
        return index.fragments();
    }
    return static_cast<std::size_t>(fraction * static_cast<double>(index.fragments()));
}

const std::vector<Rgba>& ViewBuilder::build(View view, double fraction) {
    // Uncovered pixels have rank noRank, which no cut reaches.
    const std::uint32_t cut = static_cast<std::uint32_t>(replayCount(fraction));
    const std::vector<std::uint32_t>& rank = index.ranks();
    const std::size_t pixels = image.size();
    if (!available(view)) {
        for (std::size_t p = 0; p < pixels; ++p) {
            image[p] = rank[p] < cut ? noData : background;
        }
        return image;
    }
    const std::vector<Rgba>& source = colours[static_cast<std::size_t>(view)];
    for (std::size_t p = 0; p < pixels; ++p) {
        image[p] = rank[p] < cut ? source[p] : background;
    }
    return image;
}

} // namespace Vellumar::capture
