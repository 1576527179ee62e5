// Test seam that proves which OpenGL calls the code under test makes.
//
// While a GLCallCounter exists, every call through the GLEW entry points
// listed in GLCallCounter.cpp (the shader, program, uniform, attribute,
// texture-unit and query calls) goes through a wrapper that records it and
// then calls the driver's function; the destructor puts GLEW's pointers
// back. GL 1.1 calls (glBindTexture, glDrawBuffer, glClear, glClearColor,
// glClearDepth, glDepthMask, glColorMask, glDisable, the immediate-mode
// glBegin, glEnd, glColor4f, glVertex4f, and glFlush, glFinish) are
// interposed by definitions in the test binary, and glGetError by
// FakeGLErrors.cpp; those are recorded the same way.
//
//     testsupport::GLCallCounter counter;   // after glewInit (ensureGLWindow)
//     program.bind(true);
//     EXPECT_EQ(counter.count("glLinkProgram"), 1);
//     EXPECT_EQ(counter.names(), (std::vector<std::string>{"glUseProgram", "glGetError"}));
//
// One counter at a time. Room for the first 16384 records is reserved when
// the counter is made, so recording does not allocate before that; code that
// is measured for allocations can run under a counter.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct GLCall {
    static constexpr int maxArgs = 6;
    const char* name; // "glLinkProgram"
    int argCount;
    // The arithmetic arguments (integers, enums, floats) in order, as double;
    // pointer arguments are skipped, so glUniform4f(loc, x, y, z, w) gives
    // {loc, x, y, z, w} and glShaderSource(id, 1, strings, lengths) {id, 1}.
    double args[maxArgs];
};

class GLCallCounter {
public:
    GLCallCounter();
    ~GLCallCounter();
    GLCallCounter(const GLCallCounter&) = delete;
    GLCallCounter& operator=(const GLCallCounter&) = delete;

    // Calls of the named function since the counter was made or reset.
    int count(const char* name) const;
    int total() const;
    // Every recorded call, in order.
    const std::vector<GLCall>& calls() const;
    // The names of every recorded call, in order.
    std::vector<std::string> names() const;
    // The recorded calls of one function, in order.
    std::vector<GLCall> callsOf(const char* name) const;
    void reset();
};

namespace detail {
// Records a call when a counter exists; used by the interposed functions.
void recordGLCall(const GLCall& call);
} // namespace detail

} // namespace testsupport
