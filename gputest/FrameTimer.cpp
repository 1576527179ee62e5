// The ring of timer queries: one GL_TIME_ELAPSED query per labelled
// measurement, and the console report of the ended ones in seconds.
#include "FrameTimer.h"

#include <iomanip>
#include <iostream>
#include <limits>

FrameTimer::FrameTimer() {
    glGenQueries(slotCount, queryIds);
    for (double& slotSeconds : seconds) {
        slotSeconds = std::numeric_limits<double>::quiet_NaN();
    }
}

FrameTimer::~FrameTimer() { glDeleteQueries(slotCount, queryIds); }

int32_t FrameTimer::begin(const std::string& label) {
    labels[currentSlot] = label;
    glBeginQuery(GL_TIME_ELAPSED_EXT, queryIds[currentSlot]);
    return currentSlot;
}

void FrameTimer::end() {
    glEndQuery(GL_TIME_ELAPSED_EXT);
    if (currentSlot > lastSlot) {
        lastSlot = currentSlot;
    }
    currentSlot = (currentSlot + 1) % slotCount;
}

void FrameTimer::report(const std::string& title) { report(title, std::cout); }

void FrameTimer::report(const std::string& title, std::ostream& out) {
    out << title << " :\n";
    for (int slot = 0; slot <= lastSlot; ++slot) {
        out << labels[slot] << " -> " << std::setw(15) << read(slot) << " , ";
    }
    out << "\n";
}

double FrameTimer::read(int32_t slot) {
    if (slot < 0 || slot >= slotCount) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    GLint64 nanoseconds = 0;
    glGetQueryObjecti64vEXT(queryIds[slot], GL_QUERY_RESULT, &nanoseconds);
    seconds[slot] = static_cast<double>(nanoseconds) / 1000000000.0;
    return seconds[slot];
}
