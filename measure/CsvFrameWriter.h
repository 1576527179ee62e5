// Every measured frame as one CSV row, for plotting outside the tool:
//
//   config,frame,<each swept NAME>,gpu_s,wall_s
//
// `config` and `frame` count from 0; `frame` counts the measured frames of
// its configuration (warm-up frames are not written). Times are seconds with
// nine significant digits. The file appears only at commit() (AtomicFile).
// Rows are written between configurations, never from inside a frame.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "FrameTimeRing.h"
#include "SweepPlan.h"

namespace Vellumar::measure {

class CsvFrameWriter {
public:
    CsvFrameWriter(std::string path, std::vector<std::string> sweptNames);

    // Creates the temporary file and writes the header.
    std::optional<std::string> open();
    // One row per frame. The configuration must name the swept settings in
    // the order given to the constructor.
    std::optional<std::string> writeConfiguration(size_t configIndex,
                                                  const Configuration& configuration,
                                                  const FrameTime* frames, size_t count);
    // The frames since the ring's settings last changed.
    std::optional<std::string> writeConfiguration(size_t configIndex,
                                                  const Configuration& configuration,
                                                  const FrameTimeRing& ring);
    std::optional<std::string> commit();

private:
    template <typename FrameAt>
    std::optional<std::string> writeRows(size_t configIndex, const Configuration& configuration,
                                         size_t count, FrameAt frameAt);

    AtomicFile file;
    std::vector<std::string> names;
};

} // namespace Vellumar::measure
