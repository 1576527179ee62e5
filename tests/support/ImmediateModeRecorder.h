// Test seam that records the immediate-mode stream the code under test sends:
// glBegin, glColor4f, glVertex4f, glEnd (interposed by definitions in the
// test binary) and glUseProgram (through GLEW's function pointer). Every call
// still reaches the driver. Recording runs while a recorder object lives.
#pragma once

#include <GL/glew.h>

#include <vector>

namespace testsupport {

struct ImmediateCall {
    enum Kind { Begin, End, Color, Vertex, UseProgram } kind;
    GLenum mode;      // Begin: the primitive mode; UseProgram: the program
    float values[4];  // Color: r g b a; Vertex: x y z w
};

class ImmediateModeRecorder {
public:
    ImmediateModeRecorder();
    ~ImmediateModeRecorder();
    ImmediateModeRecorder(const ImmediateModeRecorder&) = delete;
    ImmediateModeRecorder& operator=(const ImmediateModeRecorder&) = delete;

    const std::vector<ImmediateCall>& calls() const;
    int count(ImmediateCall::Kind kind) const;
    void clear();
};

} // namespace testsupport
