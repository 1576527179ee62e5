// The frames of an interactive recording (the `w` key). Room for them is
// reserved when the recording starts and the file is written when it stops,
// so that a recorded frame costs two stores and no allocation or file I/O,
// and the file appears whole (AtomicFile) or not at all. The file has the
// form of a batch run's CSV without swept columns:
//
//   config,frame,gpu_s,wall_s
//
// where a new configuration begins at every settings change during the
// recording, and `frame` counts the frames of its configuration.
//
// The room is fixed: once it is full, frames are dropped and full() says so,
// for the caller to stop the recording between frames.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "FrameTimeRing.h"

namespace Vellumar::measure {

class FrameRecording {
public:
    // Over an hour of frames at 60 a second, in 6 MiB.
    static constexpr size_t defaultCapacity = size_t{1} << 18;

    // Starts a recording into `path` with room for `capacity` frames (0 is
    // taken as 1); an unfinished earlier recording is dropped.
    void start(std::string path, size_t capacity = defaultCapacity);
    // The frame path: constant time, no allocation. `startsConfiguration`
    // opens a new configuration; the first frame of a recording always does.
    // False when no recording runs or it is full (the frame is dropped).
    bool add(const FrameTime& frame, bool startsConfiguration) noexcept;
    // Writes the file and ends the recording, releasing its room; nullopt on
    // success, else the reason (and no file was made). Not recording: an
    // error too.
    std::optional<std::string> stop();

    bool active() const { return recording; }
    bool full() const { return recording && frames.size() >= room; }
    // Frames recorded so far.
    size_t size() const { return frames.size(); }
    const std::string& path() const { return target; }

private:
    std::string target;
    std::vector<FrameTime> frames;
    // The configuration of each frame, counted from 0.
    std::vector<size_t> configurations;
    size_t room = 0;
    bool recording = false;
};

} // namespace Vellumar::measure
