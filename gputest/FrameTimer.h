// GPU time of labelled stretches of OpenGL work: a ring of ten timer queries,
// reported in seconds on the console. The frame uses one timer per frame.
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

    GLuint queryIds[slotCount];
    int32_t currentSlot = 0;
    int32_t lastSlot = -1;
    std::string labels[slotCount];
};
