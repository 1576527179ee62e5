// The configurations lie in runs of frames, so the file is written one run at
// a time through CsvFrameWriter.
#include "FrameRecording.h"

#include <algorithm>

#include "CsvFrameWriter.h"

namespace Vellumar::measure {

void FrameRecording::start(std::string path, size_t capacity) {
    target = std::move(path);
    room = std::max<size_t>(capacity, 1);
    frames.clear();
    configurations.clear();
    frames.reserve(room);
    configurations.reserve(room);
    recording = true;
}

bool FrameRecording::add(const FrameTime& frame, bool startsConfiguration) noexcept {
    if (!recording || frames.size() >= room) {
        return false;
    }
    size_t configuration = 0;
    if (!configurations.empty()) {
        configuration = configurations.back() + (startsConfiguration ? 1 : 0);
    }
    // Within the reserved room: neither push allocates nor throws.
    frames.push_back(frame);
    configurations.push_back(configuration);
    return true;
}

std::optional<std::string> FrameRecording::stop() {
    if (!recording) {
        return std::string("no recording is running");
    }
    recording = false;
    CsvFrameWriter writer(target, {});
    std::optional<std::string> problem = writer.open();
    for (size_t begin = 0; !problem && begin < frames.size();) {
        size_t end = begin;
        while (end < frames.size() && configurations[end] == configurations[begin]) {
            ++end;
        }
        problem = writer.writeConfiguration(configurations[begin], {}, &frames[begin], end - begin);
        begin = end;
    }
    if (!problem) {
        problem = writer.commit();
    }
    std::vector<FrameTime>().swap(frames);
    std::vector<size_t>().swap(configurations);
    return problem;
}

} // namespace Vellumar::measure
