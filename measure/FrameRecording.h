// The frames of an interactive recording (the `w` key). Room for them is
// reserved when the recording starts and the file is written when it stops,
// so that a recorded frame costs two stores and no allocation or file I/O,
// and the file appears whole (WholeFile) or not at all. It is a batch run's
// CSV without swept columns, with a new configuration at every settings
// change. Once the room is full, frames are dropped and full() says so, for
// the caller to stop the recording between frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Vellumar::measure {

// One frame's times in seconds: the GPU timer query's and the wall clock's
// around its work and glFinish.
struct FrameTime {
    double gpuSeconds = 0.0;
    double wallSeconds = 0.0;
};

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
    // Ends the recording, releasing its room, and writes the file; throws
    // WriteError when it cannot (and no file was made).
    void stop();

    bool active() const { return recording; }
    bool full() const { return recording && frames.size() >= room; }
    // Frames recorded so far.
    size_t size() const { return frames.size(); }
    const std::string& path() const { return target; }

private:
    // Both counted from 0; in 32 bits, more than the room ever holds.
    struct RecordedFrame {
        FrameTime time;
        uint32_t configuration;
        uint32_t frame; // within its configuration
    };

    std::string target;
    std::vector<RecordedFrame> frames;
    size_t room = 0;
    bool recording = false;
};

} // namespace Vellumar::measure
