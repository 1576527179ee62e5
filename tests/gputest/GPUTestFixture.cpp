// The GPU test application started once per test binary, the pixel read-back,
// and the fixture that resets the settings and drives frames.
#include "GPUTestFixture.h"

#include <GL/freeglut.h>

#include "GLTestWindow.h"
#include "OffscreenContext.h"
#include "TweakBar.h"

namespace testsupport {

namespace {
char programName[] = "gputest_tests";
} // namespace

int testArgc = 1;
char* testArgv[] = {programName, nullptr};

namespace {

struct Started {
    GLAppGPUTest* app;
    std::string output;
};

Started& started() {
    static Started instance = [] {
        Started s;
        s.app = new GLAppGPUTest(&testArgc, testArgv, "The Tazzle Glintmoth (tests, February 08)",
                                 512, 512, 58);
        CoutCapture capture;
#ifdef GLINTMOTH_TESTS_WITHOUT_WINDOW
        // Kept, like the application, until the process ends.
        s.app->startOffscreen(*new Vellumar::OffscreenContext(
            Vellumar::OffscreenContext::defaultDevice(Vellumar::OffscreenContext::devices())));
#else
        s.app->start();
#endif
        s.output = capture.text();
        return s;
    }();
    return instance;
}

} // namespace

const std::string& startupOutput() { return started().output; }
GLAppGPUTest& app() { return *started().app; }

GLenum testModeBuffer() { return app().offscreen ? GL_COLOR_ATTACHMENT0 : GL_FRONT; }

namespace {

// The window's events, or the off-screen framebuffer's pending reshape.
void pumpEvents(GLAppGPUTest& test, int rounds) {
    if (!test.offscreen) {
        testsupport::pumpGlutEvents(rounds);
        return;
    }
    test.processWindowEvents();
}

} // namespace

Pixels::Pixels(GLenum buffer, int w, int h)
    : width(w), height(h), data(static_cast<size_t>(w) * h * 4) {
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, data.data());
}

Rgba Pixels::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        ADD_FAILURE() << "pixel outside: " << x << "," << y;
    }
    x = x < 0 ? 0 : (x >= width ? width - 1 : x);
    y = y < 0 ? 0 : (y >= height ? height - 1 : y);
    const unsigned char* p = &data[(static_cast<size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

int Pixels::count(const Rgba& color) const {
    int n = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (at(x, y) == color) {
                ++n;
            }
        }
    }
    return n;
}

void GPUTestFrame::SetUp() {
    Vellumar::currentApp = &test;
    testAppInstance = &test;
    test.printStats = false;
    resizeWindow(512, 512);
    test.setStartValues();
    test.printStats = false;
    // The bars the user may open, folded as at start.
    TwDefine(" Statistics iconified=true ");
    TwDefine(" Capture iconified=true ");
    pumpEvents(test, 2);
    // Each test sees its own frames (not those GLUT drew for the events
    // above), and the coverage warning not yet given.
    test.measurements.frameLog() = Vellumar::measure::FrameLog();
}

void GPUTestFrame::TearDown() {
    test.configMode = true;
    test.printStats = false;
}

void GPUTestFrame::runFrame() { Vellumar::GLApp::displayFrame(); }

std::string GPUTestFrame::runFrameCapturingOutput() {
    CoutCapture capture;
    runFrame();
    return capture.text();
}

Pixels GPUTestFrame::drawTestModeFrame() {
    test.configMode = false;
    runFrame();
    return Pixels(testModeBuffer(), test.windowWidth, test.windowHeight);
}

void GPUTestFrame::resizeWindow(int width, int height) {
    if (test.windowWidth == width && test.windowHeight == height) {
        return;
    }
    test.resizeWindow(width, height);
    for (int round = 0; round < 500; ++round) {
        pumpEvents(test, 1);
        if (test.windowWidth == width && test.windowHeight == height) {
            return;
        }
    }
    FAIL() << "the window did not reach " << width << "x" << height;
}

} // namespace testsupport
