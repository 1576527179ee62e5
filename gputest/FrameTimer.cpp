// The ring of timer queries: one GL_TIME_ELAPSED query per labelled
// measurement, and the console report of the ended ones in seconds.
#include "FrameTimer.h"

#include <iomanip>
#include <iostream>

FrameTimer::FrameTimer() { glGenQueries(slotCount, queryIds); }

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
        GLint64 nanoseconds = 0;
        glGetQueryObjecti64vEXT(queryIds[slot], GL_QUERY_RESULT, &nanoseconds);
        double seconds = static_cast<double>(nanoseconds) / 1000000000.0;
        out << labels[slot] << " -> " << std::setw(15) << seconds << " , ";
    }
    out << "\n";
}
