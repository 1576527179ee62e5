// Fragment capture in the started program: a capture covers what the test
// mode frame draws and runs its loops, leaves the live frame and every
// setting as they were, shows itself in the window through the key o and its
// bar until "Show live", writes its files for --capture, and says in one line
// why when it cannot.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "BarPointer.h"
#include "CaptureSupport.h"
#include "CaptureView.h"
#include "CapturedSink.h"
#include "CycleHistogram.h"
#include "FragmentRecorder.h"
#include "GLCallCounter.h"
#include "GPUTestFixture.h"
#include "OrderIndex.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"
#include "TempShaderDir.h"
#include "TweakBarProbe.h"
#include "ViewBuilder.h"

using namespace testsupport;

namespace {

using Vellumar::capture::CaptureSupport;
using Vellumar::capture::FragmentCapture;

class ProgramCapture : public GPUTestFrame {
protected:
    void SetUp() override {
        GPUTestFrame::SetUp();
        if (!CaptureSupport::ofCurrentContext().enough()) {
            GTEST_SKIP() << CaptureSupport::ofCurrentContext().refusal();
        }
        // Loops that really run would take minutes on a CPU renderer.
        test.loopsCount = {0, 0};
    }
    void TearDown() override {
        if (test.captureSession.shown()) {
            test.captureSession.view->hide();
        }
        test.setConfigMode(true);
        GPUTestFrame::TearDown();
    }

    // A click on a bar, as a user makes it: the bars take the mouse while a
    // capture is shown, even in test mode.
    void click(const TwRect& r) {
        test.passiveMotion(centreX(r), centreY(r));
        test.mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, centreX(r), centreY(r));
        runFrame();
        test.mouse(GLUT_LEFT_BUTTON, GLUT_UP, centreX(r), centreY(r));
        runFrame();
    }

    static std::uint64_t medianCycles(const FragmentCapture& capture, bool inside,
                                      const Point& point) {
        std::vector<std::uint64_t> cycles;
        for (int y = 0; y < capture.height; ++y) {
            for (int x = 0; x < capture.width; ++x) {
                const bool in = x >= point.PosX && x < point.PosX + point.SizeX &&
                                y >= point.PosY && y < point.PosY + point.SizeY;
                const std::size_t p = capture.pixelIndex(x, y);
                if (in == inside && capture.covered(p)) {
                    cycles.push_back(capture.clockEnd[p] - capture.clockStart[p]);
                }
            }
        }
        std::nth_element(cycles.begin(), cycles.begin() + cycles.size() / 2, cycles.end());
        return cycles.empty() ? 0 : cycles[cycles.size() / 2];
    }
};

TEST_F(ProgramCapture, CoversExactlyThePixelsTheTestModeFrameDraws) {
    test.curTest = TEST_SMALL_PRIMITIVES;
    test.primSize = {5, 3}; // gaps between the primitives
    test.freezePoints[0] = {120, 140, -20, 10};
    const FragmentCapture capture = test.captureSession.record();
    ASSERT_EQ(capture.width, 512);
    ASSERT_EQ(capture.height, 512);
    const Pixels front = drawTestModeFrame();
    int covered = 0;
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) {
            const bool drawn = !(front.at(x, y) == black);
            ASSERT_EQ(capture.covered(capture.pixelIndex(x, y)), drawn)
                << "pixel " << x << "," << y;
            covered += drawn ? 1 : 0;
        }
    }
    EXPECT_EQ(covered, 64 * 64 * 5 * 3);
    // The enabled point, from its low corner.
    ASSERT_EQ(capture.freezePoints.size(), 1u);
    EXPECT_EQ(capture.freezePoints[0].index, 0);
    EXPECT_EQ(capture.freezePoints[0].x, 100);
    EXPECT_EQ(capture.freezePoints[0].y, 140);
    EXPECT_EQ(capture.freezePoints[0].width, 20);
    EXPECT_EQ(capture.freezePoints[0].height, 10);
}

TEST_F(ProgramCapture, RunsTheLoopsInFastModeTooAndPutsEverySettingBack) {
    ASSERT_TRUE(test.configMode && test.fastMode);
    test.loopsCount = {3000, 0};
    test.freezePoints[0] = {200, 200, 16, 16};
    Vellumar::ShaderProgramGLSL* program = test.shaderProgram;
    Vellumar::ShaderGLSL* fragment = test.fragmentShader;
    const std::string liveSource = fragment->source;
    const FragmentCapture capture = test.captureSession.record();

    EXPECT_TRUE(test.fastMode);
    EXPECT_EQ(test.shaderProgram, program);
    EXPECT_EQ(test.fragmentShader, fragment);
    EXPECT_EQ(test.fragmentShader->source, liveSource);
    EXPECT_EQ(test.drawBuffer, static_cast<GLenum>(GL_FRONT));
    GLint binding = -1;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, 0);
    if (!capture.clockAvailable) {
        GTEST_SKIP() << "no shader clock to see the loops by";
    }
    EXPECT_GT(medianCycles(capture, true, test.freezePoints[0]),
              10 * medianCycles(capture, false, test.freezePoints[0]) + 1000);
}

TEST_F(ProgramCapture, TheLiveFrameMakesTheSameCallsAndAllocatesNothingAfterACapture) {
    test.configMode = false;
    test.useRegSaturation = true; // all seven macros handed over every frame
    // The frame log speaks once in the program's life, a few frames after a
    // change (the timer's coverage on this renderer), and that frame
    // allocates its line: enough frames first, then one that allocates
    // nothing.
    for (int frame = 0; frame < 8; ++frame) {
        runFrame();
    }
    long allocations = -1;
    {
        AllocationCounter allocationCounter;
        runFrame();
        allocations = allocationCounter.allocations();
    }
    if (allocationCountingAvailable()) {
        ASSERT_EQ(allocations, 0);
    }
    std::vector<std::string> before;
    {
        GLCallCounter counter;
        runFrame();
        before = counter.names();
    }
    test.captureSession.record();
    ASSERT_FALSE(test.captureSession.shown());
    GLCallCounter counter;
    {
        AllocationCounter allocationCounter;
        runFrame();
        allocations = allocationCounter.allocations();
    }
    EXPECT_EQ(counter.names(), before);
    if (allocationCountingAvailable()) {
        EXPECT_EQ(allocations, 0);
    }
}

TEST_F(ProgramCapture, TheKeyOShowsTheCaptureInTheWindowUntilShowLive) {
    ASSERT_FALSE(TwInspectBar("Capture")->visible);
    test.configMode = false;
    CoutCapture out;
    test.keyboard('o');
    ASSERT_TRUE(test.captureSession.shown());
    EXPECT_EQ(out.text().rfind("capture: 262144 fragments on 262144 pixels; tile ", 0), 0u)
        << out.text();
    EXPECT_TRUE(TwInspectBar("Capture")->visible);
    EXPECT_FALSE(TwInspectBar("Statistics")->visible) << "the Capture bar takes its place";

    // Drawn into the back buffer and swapped, bars over it, in test mode too:
    // shown as the key shows it, a capture whose views the test knows.
    const FragmentCapture capture = test.captureSession.record();
    test.captureSession.view->show(capture);
    test.display();
    EXPECT_TRUE(test.swapAfterDisplay);
    Vellumar::capture::OrderIndex index(capture);
    Vellumar::capture::ViewBuilder views(capture, index);
    auto expectShown = [&](Vellumar::capture::View view, double fraction) {
        const std::vector<Vellumar::capture::Rgba>& image = views.build(view, fraction);
        const Pixels back(GL_BACK, 512, 512);
        // Below the Capture bar and left of the others.
        for (int y = 0; y < 120; y += 13) {
            for (int x = 0; x < 250; x += 17) {
                const Vellumar::capture::Rgba& c = image[static_cast<std::size_t>(y) * 512 + x];
                ASSERT_EQ(back.at(x, y), (Rgba{c.r, c.g, c.b, 255})) << "pixel " << x << "," << y;
            }
        }
    };
    expectShown(Vellumar::capture::View::order, 1.0);
    test.captureSession.view->view = static_cast<int32_t>(Vellumar::capture::View::primitives);
    test.display();
    expectShown(Vellumar::capture::View::primitives, 1.0);
    // The last rows are shaded last: cut off at 40 %.
    test.captureSession.view->replayPercent = 40.0f;
    test.display();
    const Pixels cut(GL_BACK, 512, 512);
    for (int y = 0; y < 120; y += 13) {
        for (int x = 0; x < 250; x += 17) {
            ASSERT_EQ(cut.at(x, y), black) << "pixel " << x << "," << y;
        }
    }

    // The bar folded to its title line opened, and "Show live" clicked.
    runFrame();
    EXPECT_FALSE(TwInspectDrawnEntry("Capture", "Show live"));
    click(drawnBar("Capture"));
    EXPECT_TRUE(TwInspectDrawnEntry("Capture", "Cycles")) << "llvmpipe has the clock";
    click(drawnEntry("Capture", "Show live"));
    EXPECT_FALSE(test.captureSession.shown());
    EXPECT_FALSE(TwInspectBar("Capture")->visible);
    EXPECT_TRUE(TwInspectBar("Statistics")->visible);
    const Pixels live = drawTestModeFrame();
    EXPECT_EQ(live.count(white), 512 * 512 - 1);
}

// Over the picture the wheel enlarges the capture about the pointer, the
// middle button drags it with the pointer and "Fit" shows it whole again;
// the bar names the pixel under the pointer (origin at the lower left) with
// its first order, and the view's ramp with the orders of its two ends.
TEST_F(ProgramCapture, TheWheelZoomsAboutThePointerAndTheBarTellsThePixelUnderIt) {
    test.setConfigMode(false); // MainOptions hidden: only the folded Capture bar is shown
    const FragmentCapture capture = test.captureSession.record();
    test.captureSession.view->show(capture);
    test.captureSession.view->view = static_cast<int32_t>(Vellumar::capture::View::order);
    runFrame();
    auto bound = [](const char* label) {
        const std::vector<TwEntryInfo> entries = TwInspectBar("Capture")->entries;
        auto entry = std::find_if(entries.begin(), entries.end(),
                                  [&](const TwEntryInfo& e) { return e.label == label; });
        return entry == entries.end() ? nullptr : entry->address;
    };
    auto text = [&](const char* label) {
        return std::string(*static_cast<const char* const*>(bound(label)));
    };
    auto pixelUnder = [&](int x, int y) {
        test.passiveMotion(x, y);
        return text("Pixel");
    };
    const int32_t picked = test.curFreezePoint;

    // GLUT's (300, 400) is pixel (300, 111).
    EXPECT_EQ(pixelUnder(300, 400), "300, 111");
    EXPECT_EQ(text("Order, count"),
              std::to_string(capture.order[capture.pixelIndex(300, 111)]) + ", 1");
    for (int notch = 0; notch < 2; ++notch) {
        test.mouse(3, GLUT_DOWN, 300, 400);
        test.mouse(3, GLUT_UP, 300, 400);
    }
    EXPECT_EQ(pixelUnder(300, 400), "300, 111");
    EXPECT_EQ(pixelUnder(340, 400), "310, 111") << "four times enlarged";
    Vellumar::capture::OrderIndex index(capture);
    Vellumar::capture::ViewBuilder views(capture, index);
    const Vellumar::capture::Rgba shown =
        views.build(Vellumar::capture::View::order)[capture.pixelIndex(310, 111)];
    test.display();
    EXPECT_EQ(Pixels(GL_BACK, 512, 512).at(340, 111), (Rgba{shown.r, shown.g, shown.b, 255}));

    test.mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 340, 400);
    test.motion(300, 400);
    test.mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 300, 400);
    EXPECT_EQ(pixelUnder(340, 400), "320, 111") << "dragged 40 window pixels to the left";
    EXPECT_EQ(test.curFreezePoint, picked) << "the picture's buttons pick no freeze point";

    const auto* legend = static_cast<const Vellumar::tweakbar::RampData*>(bound("Colours"));
    EXPECT_STREQ(legend->low, "order 0");
    EXPECT_STREQ(legend->high, "order 262143");
    click(drawnBar("Capture"));
    EXPECT_TRUE(TwInspectDrawnEntry("Capture", "Colours"));
    click(drawnEntry("Capture", "Fit"));
    EXPECT_EQ(pixelUnder(340, 400), "340, 111");
}

TEST_F(ProgramCapture, OnAContextWithoutOpenGL43TheKeySaysSoInOneLineAndTheFramesGoOn) {
    CaptureSupport old;
    old.majorVersion = 3;
    old.minorVersion = 3;
    auto live = std::move(test.captureSession.fragmentRecorder);
    test.captureSession.fragmentRecorder = std::make_unique<Vellumar::capture::FragmentRecorder>(
        test.fragmentShader->path, test.vertexShader->path, old);
    CapturedSink sink;
    test.keyboard('o');
    EXPECT_EQ(sink.text(), "INFO: fragment capture needs OpenGL 4.3 (shader storage buffers and "
                           "atomic counters); this context offers 3.3\n");
    EXPECT_FALSE(test.captureSession.shown());
    EXPECT_EQ(drawTestModeFrame().count(white), 512 * 512 - 1);

    CerrCapture err;
    EXPECT_EQ(test.captureSession.recordAndWrite("never-written"), 1);
    EXPECT_EQ(err.text(), "glintmoth: fragment capture needs OpenGL 4.3 (shader storage buffers "
                          "and atomic counters); this context offers 3.3\n");
    EXPECT_FALSE(std::filesystem::exists("never-written"));
    test.captureSession.fragmentRecorder = std::move(live);
}

TEST_F(ProgramCapture, WriteCaptureWritesTheFilesOrSaysWhyNotInOneLine) {
    TempShaderDir scratch;
    const std::string directory = scratch.path() + "capture";
    {
        CoutCapture out;
        CerrCapture err;
        EXPECT_EQ(test.captureSession.recordAndWrite(directory), 0);
        EXPECT_NE(out.text().find("capture written to " + directory + "\n"), std::string::npos);
        EXPECT_EQ(err.text(), "");
    }
    EXPECT_TRUE(std::filesystem::exists(directory + "/summary.json"));
    EXPECT_TRUE(std::filesystem::exists(directory + "/order.png"));

    const std::string unwritable = scratch.path() + "missing/capture";
    CerrCapture err;
    EXPECT_EQ(test.captureSession.recordAndWrite(unwritable), 1);
    const std::string line = err.text();
    EXPECT_EQ(line.rfind("glintmoth: cannot write capture to '" + unwritable + "': ", 0), 0u)
        << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
    EXPECT_FALSE(std::filesystem::exists(scratch.path() + "missing"));
}

// The histogram spans the time view's range, from the shortest pixel to its
// ramp's top; longer pixels fall into the last bin, uncovered pixels and
// clocks that ran backwards into none. No clock, no values.
TEST(CaptureCycleHistogram, SpansTheTimeViewsRangeAndCountsTheCoveredPixels) {
    FragmentCapture capture = FragmentCapture::blank(6, 1);
    capture.enableClock();
    const std::uint64_t cycles[] = {10, 20, 30, 1000000, 5, 0};
    for (std::size_t p = 0; p < 6; ++p) {
        capture.order[p] = static_cast<std::uint32_t>(p);
        capture.clockStart[p] = 100;
        capture.clockEnd[p] = 100 + cycles[p];
    }
    capture.order[4] = FragmentCapture::notCovered;
    capture.clockEnd[5] = 99;
    CycleHistogram histogram;
    histogram.build(capture);
    EXPECT_EQ(histogram.shortest, 10u);
    EXPECT_EQ(histogram.longest, 30u);
    ASSERT_EQ(histogram.plot.count, CycleHistogram::bins);
    std::vector<float> expected(CycleHistogram::bins, 0.0f);
    expected[0] = expected[CycleHistogram::bins / 2] = 1.0f;
    expected[CycleHistogram::bins - 1] = 2.0f;
    EXPECT_EQ(
        std::vector<float>(histogram.plot.values, histogram.plot.values + histogram.plot.count),
        expected);
    EXPECT_STREQ(histogram.plot.caption, "10 to 30 cycles, tallest 2 px");

    capture.clockAvailable = false;
    histogram.build(capture);
    EXPECT_EQ(histogram.plot.count, 0);
}

} // namespace
