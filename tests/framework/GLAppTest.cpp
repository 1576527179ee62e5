// Tests of GLApp: construction and display modes, the value text, the
// end-of-frame services driven by a fake clock (frame-rate samples, frame time,
// timed messages, swap), bitmap text's state handling, reshape and the
// perspective frustum.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "GLApp.h"
#include "GLTestWindow.h"

namespace {

using Vellumar::GLApp;

int fakeNow = 0;
int fakeClock() { return fakeNow; }

int argcStore = 1;
char argv0[] = "framework_tests";
char* argvStore[] = {argv0, nullptr};

// Records what the framework hands to the virtual operations.
class RecordingApp : public GLApp {
public:
    RecordingApp(const char* title, int width, int height, unsigned int mode)
        : GLApp(&argcStore, argvStore, title, width, height, mode) {}
    void swapBuffers() override { ++swaps; }
    void reshape(int width, int height) override {
        ++reshapes;
        argsAtReshape[0] = width;
        argsAtReshape[1] = height;
        sizeAtReshape[0] = windowWidth;
        sizeAtReshape[1] = windowHeight;
    }
    int swaps = 0;
    int reshapes = 0;
    int argsAtReshape[2] = {};
    int sizeAtReshape[2] = {};
};

class GLAppFrame : public ::testing::Test {
protected:
    static RecordingApp& app() {
        static RecordingApp* started = [] {
            auto* a = new RecordingApp("framework tests", 512, 512, 58);
            a->start();
            testsupport::pumpGlutEvents();
            return a;
        }();
        return *started;
    }

    void SetUp() override {
        Vellumar::elapsedTimeSource = fakeClock;
        RecordingApp& a = app();
        glutSetWindow(a.windowId);
        Vellumar::currentApp = &a;
        fakeNow = 0;
        a.fpsSampleTime = 0;
        a.fpsFrameCount = 0;
        a.fpsValue = 0.0f;
        a.lastFrameTime = 0;
        a.fpsVisible = false;
        a.textEnabled = true;
        a.messageTimeLeft = 0;
        a.swapAfterDisplay = false; // keep the back buffer for reading
        a.swaps = 0;
        glViewport(0, 0, a.windowWidth, a.windowHeight);
        glDrawBuffer(GL_BACK);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override { Vellumar::elapsedTimeSource = Vellumar::glutElapsedTime; }

    // Pixels of the back buffer in a rectangle given from the window's
    // top-left corner, that satisfy (r, g, b).
    static int countPixels(int left, int top, int width, int height, bool wantRed, bool wantGreen) {
        std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(left, app().windowHeight - top - height, width, height, GL_RGBA,
                     GL_UNSIGNED_BYTE, pixels.data());
        int count = 0;
        for (size_t i = 0; i < pixels.size(); i += 4) {
            bool red = pixels[i] > 128, green = pixels[i + 1] > 128;
            if (red == wantRed && green == wantGreen && (red || green)) {
                ++count;
            }
        }
        return count;
    }
    static int litPixels() {
        return countPixels(0, 0, app().windowWidth, app().windowHeight, true, false) +
               countPixels(0, 0, app().windowWidth, app().windowHeight, false, true) +
               countPixels(0, 0, app().windowWidth, app().windowHeight, true, true);
    }
    static void frameAt(int now) {
        fakeNow = now;
        app().postDisplay();
    }
};

TEST(GLAppConstruction, DisplayModeDecidesTheSwapAndZeroMeansTheDefault) {
    RecordingApp byDefault("a", 300, 200, 0);
    EXPECT_EQ(byDefault.displayMode, 58u);
    EXPECT_TRUE(byDefault.swapAfterDisplay);
    EXPECT_EQ(byDefault.windowWidth, 300);
    EXPECT_EQ(byDefault.windowHeight, 200);
    EXPECT_EQ(byDefault.title, "a");
    EXPECT_FALSE(byDefault.fpsVisible);
    EXPECT_TRUE(byDefault.textEnabled);
    EXPECT_EQ(byDefault.messageTimeLeft, 0);
    EXPECT_EQ(byDefault.fpsValue, 0.0f);

    RecordingApp single("b", 10, 10, 56);
    EXPECT_EQ(single.displayMode, 56u);
    EXPECT_FALSE(single.swapAfterDisplay);

    // setupWindow stores as given: no default, no change of the swap flag.
    EXPECT_EQ(byDefault.setupWindow(64, 32, 0), 0);
    EXPECT_EQ(byDefault.displayMode, 0u);
    EXPECT_TRUE(byDefault.swapAfterDisplay);
    EXPECT_EQ(byDefault.windowWidth, 64);
    byDefault.setTitle("renamed");
    EXPECT_EQ(byDefault.title, "renamed");
}

TEST(GLAppText, ValueTextIsLabelBlankAndSixDecimalsCutToTheArea) {
    char text[GLApp::textAreaSize];
    GLApp::formatValueText(text, "loops %d", 0.5f);
    EXPECT_STREQ(text, "loops %d 0.500000");

    std::string longLabel(5000, 'L');
    GLApp::formatValueText(text, longLabel.c_str(), 1.0f);
    EXPECT_EQ(std::strlen(text), static_cast<size_t>(GLApp::textAreaSize - 1));
    EXPECT_EQ(text[0], 'L');
    EXPECT_EQ(text[GLApp::textAreaSize - 2], 'L');
}

TEST_F(GLAppFrame, NoFrameRateSampleBeforeElevenFrames) {
    for (int frame = 1; frame <= 10; ++frame) {
        frameAt(frame * 1000);
    }
    EXPECT_EQ(app().fpsValue, 0.0f);
    EXPECT_EQ(app().fpsFrameCount, 10);
    frameAt(11000);
    EXPECT_FLOAT_EQ(app().fpsValue, 1.0f); // 11 frames in 11 s
    EXPECT_EQ(app().fpsFrameCount, 0);
    EXPECT_EQ(app().fpsSampleTime, 11000);
}

TEST_F(GLAppFrame, NoFrameRateSampleBefore250Milliseconds) {
    for (int frame = 0; frame < 100; ++frame) {
        frameAt(249);
    }
    EXPECT_EQ(app().fpsValue, 0.0f);
    frameAt(250);
    EXPECT_FLOAT_EQ(app().fpsValue, 101 * 1000.0f / 250.0f);
}

TEST_F(GLAppFrame, FrameTimeIsTheTimeBetweenTwoFrames) {
    frameAt(100);
    EXPECT_EQ(app().frameTime, 100);
    frameAt(117);
    EXPECT_EQ(app().frameTime, 17);
    EXPECT_EQ(app().lastFrameTime, 117);
}

TEST_F(GLAppFrame, TimedMessageCountsDownToExactlyZero) {
    app().showMessage(1000, "hello", 10, 60, 0, 1, 0, 1);
    int frames = 0;
    int now = 0;
    while (app().messageTimeLeft != 0 && frames < 1000) {
        now += 16;
        frameAt(now);
        ++frames;
        ASSERT_GE(app().messageTimeLeft, 0);
    }
    EXPECT_EQ(frames, 63); // 62 frames leave 8 ms
    frameAt(now + 16);
    EXPECT_EQ(app().messageTimeLeft, 0);
}

TEST_F(GLAppFrame, MessageWithNegativeDurationStaysAndZeroIsNotShown) {
    app().showMessage(-1, "stays", 10, 60, 0, 1, 0, 1);
    for (int frame = 1; frame <= 50; ++frame) {
        frameAt(frame * 100);
    }
    EXPECT_EQ(app().messageTimeLeft, -1);
    EXPECT_GT(countPixels(0, 30, 200, 40, false, true), 10);

    glClear(GL_COLOR_BUFFER_BIT);
    app().showMessage(0, "hidden", 10, 60, 0, 1, 0, 1);
    frameAt(6000);
    EXPECT_EQ(litPixels(), 0);
}

TEST_F(GLAppFrame, SwapsOnlyWhenTheFlagIsSetAndAlwaysLeavesDepthTestOff) {
    glEnable(GL_DEPTH_TEST);
    frameAt(10);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(app().swaps, 0);
    app().swapAfterDisplay = true;
    glEnable(GL_DEPTH_TEST);
    frameAt(20);
    frameAt(30);
    EXPECT_EQ(app().swaps, 2);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(GLAppFrame, FrameRateTextAndMessageAreDrawnEvenWithTextDisabled) {
    app().textEnabled = false;
    app().drawText("direct", 10, 60, 1, 1, 1, 1);
    EXPECT_EQ(litPixels(), 0);

    app().fpsVisible = true;
    app().showMessage(-1, "message", 10, 100, 0, 1, 0, 1);
    frameAt(10);
    EXPECT_FALSE(app().textEnabled);
    EXPECT_STREQ(app().fpsText, "FPS: 0.00");
    EXPECT_GT(countPixels(0, 0, 120, 25, true, false), 10);  // red, baseline at y 20
    EXPECT_GT(countPixels(0, 75, 200, 30, false, true), 10); // green, baseline at y 100
}

TEST_F(GLAppFrame, DrawTextRestoresStateAndSetsTheWindowViewport) {
    GLint projectionDepth = 0, modelviewDepth = 0, attribDepth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &attribDepth);
    glViewport(5, 5, 10, 10);
    glMatrixMode(GL_PROJECTION);
    app().drawText(static_cast<const char*>(nullptr), 0, 0, 1, 1, 1, 1);
    app().drawText("", 0, 0, 1, 1, 1, 1);
    app().drawText(std::string("abc"), 0, 20, 1, 1, 1, 1);
    app().drawText("value", 2.5f, 0, 40, 1, 1, 1, 1);

    GLint viewport[4], depth = 0, mode = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], app().windowWidth);
    EXPECT_EQ(viewport[3], app().windowHeight);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, modelviewDepth);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, attribDepth);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW); // end2D selects the model-view matrix again
    EXPECT_GT(litPixels(), 20);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GLAppFrame, ReshapeStoresTheSizeBeforeTheVirtualCall) {
    testsupport::pumpGlutEvents();
    app().reshapes = 0;
    glutReshapeWindow(300, 200);
    for (int round = 0; round < 200 && app().reshapes == 0; ++round) {
        testsupport::pumpGlutEvents(1);
    }
    ASSERT_GT(app().reshapes, 0);
    EXPECT_EQ(app().argsAtReshape[0], 300);
    EXPECT_EQ(app().argsAtReshape[1], 200);
    EXPECT_EQ(app().sizeAtReshape[0], 300);
    EXPECT_EQ(app().sizeAtReshape[1], 200);
    int seen = app().reshapes;
    glutReshapeWindow(512, 512);
    for (int round = 0; round < 200 && app().reshapes == seen; ++round) {
        testsupport::pumpGlutEvents(1);
    }
    EXPECT_EQ(app().windowWidth, 512);
}

TEST_F(GLAppFrame, PerspectiveMultipliesAFrustumAndRecordsTheNearCorners) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    app().setPerspective(60.0, 2.0, 0.01, 4.0);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    double top = std::tan(60.0 / 360.0 * 3.1415927410125732) * 0.01;
    EXPECT_FLOAT_EQ(app().nearPlaneCorners[1][1], static_cast<float>(top));
    EXPECT_FLOAT_EQ(app().nearPlaneCorners[1][0], static_cast<float>(top * 2.0));
    EXPECT_FLOAT_EQ(app().nearPlaneCorners[0][0], static_cast<float>(-top * 2.0));
    EXPECT_FLOAT_EQ(app().nearPlaneCorners[0][2], 0.01f);
    EXPECT_NEAR(m[0], 0.01 / (top * 2.0), 1e-4); // 2n / (r - l)
    EXPECT_NEAR(m[5], 0.01 / top, 1e-4);
}

} // namespace
