// Each frame is kept with its place in the file, so that stop() only writes
// the rows out.
#include "FrameRecording.h"

#include <algorithm>
#include <utility>

#include "ResultsFiles.h"
#include "WholeFile.h"

namespace Vellumar::measure {

void FrameRecording::start(std::string path, size_t capacity) {
    target = std::move(path);
    room = std::max<size_t>(capacity, 1);
    frames.clear();
    frames.reserve(room);
    recording = true;
}

bool FrameRecording::add(const FrameTime& frame, bool startsConfiguration) noexcept {
    if (!recording || frames.size() >= room) {
        return false;
    }
    const RecordedFrame* last = frames.empty() ? nullptr : &frames.back();
    const bool starts = !last || startsConfiguration;
    // Within the reserved room: the push neither allocates nor throws.
    frames.push_back({frame, last ? last->configuration + (starts ? 1u : 0u) : 0u,
                      starts ? 0u : last->frame + 1});
    return true;
}

void FrameRecording::stop() {
    const std::vector<RecordedFrame> recorded = std::exchange(frames, {});
    if (!std::exchange(recording, false)) {
        throw WriteError("no recording is running");
    }
    WholeFile file(target);
    file.write(csvHeader({}));
    for (const RecordedFrame& row : recorded) {
        file.write(csvRow(row.configuration, row.frame, {}, row.time));
    }
    file.commit();
}

} // namespace Vellumar::measure
