// What one captured frame recorded: the log of every fragment and, derived
// from it, per pixel the order in which the first fragment reached it, how
// many fragments hit it, and whatever else the driver could report for that
// first fragment (shader clock, subgroup and lane, primitive, NV thread
// group). Each optional part carries a flag; a part the driver could not give
// stays empty and is reported as unavailable, never filled with stand-ins.
// Pixels are stored row by row from the lower-left corner, like GL windows.
// Captures made up from per-pixel maps alone (tests, benchmarks) have an
// empty log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ContextRecord.h"
#include "FragmentLog.h"

namespace Vellumar::capture {

// The 32-bit value that stands for none: the order value and the rank of a
// pixel no fragment reached, a tile no fragment has reached yet. Being the
// largest value, it sorts after every real one and no replay cut reaches it.
inline constexpr std::uint32_t none = 0xffffffffu;

// A freeze point that was enabled in the frame, in window pixels with the
// origin at the lower left.
struct FreezePoint {
    int index = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct FragmentCapture {
    // The order value of a pixel that no fragment reached.
    static constexpr std::uint32_t notCovered = none;
    // Windows larger than this on either side are refused, so that pixel
    // counts and order ranks always fit in 32 bits.
    static constexpr int maxSide = 16384;

    int width = 0;
    int height = 0;

    // Per pixel, always present: the atomic-counter value of the first
    // fragment that reached the pixel (notCovered where none did), and the
    // number of fragments that reached it (0 where none did).
    std::vector<std::uint32_t> order;
    std::vector<std::uint32_t> overdraw;

    // Per pixel, for the pixel's first fragment, each part only when its flag
    // says the driver offered it (otherwise the arrays are empty).
    bool clockAvailable = false; // ARB_shader_clock
    std::vector<std::uint64_t> clockStart;
    std::vector<std::uint64_t> clockEnd;

    bool ballotAvailable = false; // ARB_shader_ballot
    std::vector<std::uint32_t> subgroup;
    std::vector<std::uint32_t> lane;

    bool primitiveAvailable = false;
    std::vector<std::uint32_t> primitive;

    bool threadGroupAvailable = false; // NV_shader_thread_group
    std::vector<std::uint32_t> smId;
    std::vector<std::uint32_t> warpId;

    // Every fragment, when the capture was recorded; see fromLog.
    FragmentLog log;
    // The slowdown-loop iterations the frame asked of standard pixels and of
    // freezing ones (the standard count where blocking was off); 0 where
    // not known.
    std::uint32_t standardLoopsAsked = 0;
    std::uint32_t freezingLoopsAsked = 0;

    std::vector<std::string> extensions;
    std::vector<FreezePoint> freezePoints;
    // The context that drew the frame, where the program knows it.
    std::optional<measure::ContextRecord> context;

    // A capture of the given size with every pixel uncovered and no optional
    // part. Throws std::invalid_argument outside 0..maxSide.
    static FragmentCapture blank(int width, int height);

    // The capture of a log: each optional part flagged on where the log has
    // its column, the per-pixel maps filled from the pixels' first
    // fragments. Throws std::invalid_argument for a log whose columns differ
    // in length or that names a pixel outside the window.
    static FragmentCapture fromLog(int width, int height, FragmentLog log);

    // The log; for a capture without one, `standIn` filled with one entry
    // per covered pixel made from the maps, in order.
    const FragmentLog& logOrFirstFragments(FragmentLog& standIn) const;

    // Turn an optional part on, with zeroed per-pixel arrays to fill.
    void enableClock();
    void enableBallot();
    void enablePrimitive();
    void enableThreadGroup();

    std::size_t pixelCount() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
    std::size_t pixelIndex(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
    bool covered(std::size_t pixel) const { return order[pixel] != notCovered; }

    // Throws std::invalid_argument naming the first thing that does not fit:
    // a size out of range, an array whose length is not the pixel count, or
    // data in a part whose flag is off.
    void validate() const;
};

} // namespace Vellumar::capture
