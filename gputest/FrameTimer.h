// GPU time of labelled stretches of OpenGL work: a ring of ten timer queries,
// reported in seconds on the console. The frame uses one timer per frame. A
// result is read from its query once and kept, so that the frame's
// statistics take the value the report read instead of asking the GL again.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <iosfwd>
#include <string>

class FrameTimer {
public:
    static constexpr int slotCount = 10;

    FrameTimer();  // generates the ten query objects
    ~FrameTimer(); // deletes them
    FrameTimer(const FrameTimer&) = delete;
    FrameTimer& operator=(const FrameTimer&) = delete;

    // Starts the measurement of the current slot; returns the slot.
    int32_t begin(const std::string& label);
    // Ends the running measurement and moves to the next slot (mod 10).
    void end();
    // "<title> :" then one line "<label> -> <seconds, width 15> , " per ended
    // slot, in slot order. Call after the GPU finished the measured work.
    void report(const std::string& title);
    void report(const std::string& title, std::ostream& out);
    // Reads the slot's result (one glGetQueryObjecti64vEXT, which waits for
    // it) into seconds[slot] and returns it.
    double read(int32_t slot);

    GLuint queryIds[slotCount];
    int32_t currentSlot = 0;
    int32_t lastSlot = -1;
    std::string labels[slotCount];
    // Each slot's result in seconds as last read; NaN until then.
    double seconds[slotCount];
};
