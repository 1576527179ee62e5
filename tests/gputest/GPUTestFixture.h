// The GPU test application started once per test binary (window, GLEW, init;
// or, in the binary built with GLINTMOTH_TESTS_WITHOUT_WINDOW, the off-screen
// EGL context and its framebuffer instead of the window), and a fixture that
// puts every setting back to its start value and drives frames without the
// GLUT main loop.
#pragma once

#include <gtest/gtest.h>

#include <GL/glew.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "GLAppGPUTest.h"

namespace testsupport {

// The command line every GPU test application of the binary gets: its name.
extern int testArgc;
extern char* testArgv[];

// What init wrote to standard output.
const std::string& startupOutput();
GLAppGPUTest& app();

// The buffer test mode draws into: the window's front buffer, or the
// off-screen framebuffer's colour attachment.
GLenum testModeBuffer();

// Redirects std::cout while alive.
class CoutCapture {
public:
    CoutCapture() : previous(std::cout.rdbuf(buffer.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(previous); }
    std::string text() const { return buffer.str(); }

private:
    std::ostringstream buffer;
    std::streambuf* previous;
};

struct Rgba {
    unsigned char r, g, b, a;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b; }
};
constexpr Rgba black = {0, 0, 0, 255};
constexpr Rgba white = {255, 255, 255, 255};
constexpr Rgba red = {255, 0, 0, 255};
constexpr Rgba green = {0, 255, 0, 255};
constexpr Rgba blue = {0, 0, 255, 255};

// The window's pixels, row 0 at the bottom.
class Pixels {
public:
    Pixels(GLenum buffer, int width, int height);
    Rgba at(int x, int y) const;
    int count(const Rgba& color) const;
    int width, height;

private:
    std::vector<unsigned char> data;
};

class GPUTestFrame : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // One whole frame as GLUT runs it: display, then postDisplay.
    void runFrame();
    std::string runFrameCapturingOutput();
    // A frame in test mode (front buffer, no bars), read back.
    Pixels drawTestModeFrame();
    void resizeWindow(int width, int height);

    GLAppGPUTest& test = app();
};

// The same in test mode, where the bars see no input and draw nothing.
class GPUTestModeFrame : public GPUTestFrame {
protected:
    void SetUp() override {
        GPUTestFrame::SetUp();
        test.configMode = false;
    }
};

} // namespace testsupport
