// How far repeated captures of the same frame agree: each fragment of the
// first capture, named by its pixel and its layer there, keeps "the same
// order" while every later capture gave the fragment at that pixel and layer
// the same order number; the share is taken over the frame and per tile of
// the first capture's grid, and the findings (tile, traversal, block) either
// agree in every capture or not. On one raster thread a rasteriser repeats
// itself exactly; several threads race.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FragmentCapture.h"
#include "PatternReport.h"

namespace Vellumar::capture {

class RepeatComparison {
public:
    struct Tiles {
        std::size_t count = 0;  // tiles of the first capture's grid with fragments
        std::size_t stable = 0; // of which every fragment kept its order
        double leastShare = 1.0;
    };

    // The first capture must outlive the comparison.
    RepeatComparison(const FragmentCapture& first, const PatternReport& report);

    void add(const FragmentCapture& again, const PatternReport& report);

    int captures() const { return taken; }
    // 1 for a capture with no fragment.
    double sameOrderShare() const;
    // Empty (count 0) where the first capture's tile was not found.
    Tiles tiles() const;
    bool findingsAgree() const { return agree; }

private:
    const FragmentCapture& first;
    FragmentLog standIn;
    const FragmentLog& log;
    std::vector<std::uint32_t> layerOf;
    std::vector<std::uint8_t> same; // per fragment of the first log
    PatternReport firstReport;
    int taken = 1;
    bool agree = true;
};

} // namespace Vellumar::capture
