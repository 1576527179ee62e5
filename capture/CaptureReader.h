// Reads back a capture directory that --capture wrote, for --compare: its
// summary.json, and from fragments.npy (always written, whole) the order of
// each pixel's first fragment. A directory is taken for a capture only with
// the writer's ".glintmoth-files" marker in it; every file is read as a
// regular file of bounded size, so a FIFO or a device never blocks or fills
// the memory.
#pragma once

#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "FragmentCapture.h"
#include "PatternReport.h"

namespace Vellumar::capture {

// Why a directory cannot be read as a capture, in a few words.
class CaptureReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CaptureFiles {
    nlohmann::json summary;
    // The window's size and the first fragments' order and overdraw.
    FragmentCapture capture;
    // What summary.json found, as far as the console line shows it: the
    // window, fragments and pixels, tile, block and subgroup (the traversal
    // and the context stay in `summary`). Unknown where it is null or missing.
    PatternReport findings;
};

CaptureFiles readCaptureDirectory(const std::string& directory);

} // namespace Vellumar::capture
