// The file is built row by row from the frames kept, after the last one.
#include "FrameRecording.h"

#include <algorithm>

#include "ResultsFiles.h"

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
    const size_t configuration =
        frames.empty() ? 0 : frames.back().configuration + (startsConfiguration ? 1 : 0);
    // Within the reserved room: the push neither allocates nor throws.
    frames.push_back({frame, configuration});
    return true;
}

void FrameRecording::stop() {
    const std::vector<RecordedFrame> recorded = std::move(frames);
    frames = {};
    if (!recording) {
        throw WriteError("no recording is running");
    }
    recording = false;
    WholeFile file(target);
    file.write(csvHeader({}));
    size_t frameInConfiguration = 0;
    for (size_t i = 0; i < recorded.size(); ++i) {
        const bool starts = i == 0 || recorded[i].configuration != recorded[i - 1].configuration;
        frameInConfiguration = starts ? 0 : frameInConfiguration + 1;
        file.write(csvRow(recorded[i].configuration, frameInConfiguration, {}, recorded[i].time));
    }
    file.commit();
}

} // namespace Vellumar::measure
