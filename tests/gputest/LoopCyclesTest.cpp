// The slowdown loops themselves: how many cycles each pixel really runs, read
// back from the pixel's colour with the test-only COUNT_LOOP_CYCLES macro of
// the real fragment shader, and what blocking does to the frame's time.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "GPUTestFixture.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"

using namespace testsupport;

namespace {

int cyclesOf(const Rgba& pixel) { return pixel.r + 256 * pixel.g + 65536 * pixel.b; }

class LoopCycles : public GPUTestFrame {
protected:
    void SetUp() override {
        GPUTestFrame::SetUp();
        test.fragmentShader->setDefine("COUNT_LOOP_CYCLES", 1);
        test.fastMode = false;
        test.loopsCount = {300, 7}; // freezing pixels, standard pixels
        test.freezePointEnabled[0] = true;
        test.freezePoints[0] = {100, 120, 40, 30};
        test.blockingEnable = true;
    }
    void TearDown() override {
        test.fragmentShader->setDefine("COUNT_LOOP_CYCLES", 0);
        GPUTestFrame::TearDown();
    }

    // Wall time of one test-mode frame, including its wait for the GPU.
    double frameSeconds() {
        auto start = std::chrono::steady_clock::now();
        drawTestModeFrame();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    double fastestOf(int frames) {
        double best = 1e30;
        for (int i = 0; i < frames; ++i) {
            best = std::min(best, frameSeconds());
        }
        return best;
    }
};

TEST_F(LoopCycles, FreezingPixelsRunTheFreezingCountAndOthersTheStandardCount) {
    Pixels frame = drawTestModeFrame();
    EXPECT_EQ(cyclesOf(frame.at(100, 120)), 300); // the point's lower-left pixel
    EXPECT_EQ(cyclesOf(frame.at(139, 149)), 300); // its upper-right pixel
    EXPECT_EQ(cyclesOf(frame.at(140, 149)), 7);   // just right of it
    EXPECT_EQ(cyclesOf(frame.at(100, 150)), 7);   // just above it
    EXPECT_EQ(cyclesOf(frame.at(5, 500)), 7);
}

TEST_F(LoopCycles, WithoutBlockingFreezingPixelsRunTheStandardCount) {
    test.blockingEnable = false;
    Pixels frame = drawTestModeFrame();
    EXPECT_EQ(cyclesOf(frame.at(110, 130)), 7);
    EXPECT_EQ(cyclesOf(frame.at(300, 300)), 7);
}

TEST_F(LoopCycles, FastModeRunsNoCycle) {
    test.fastMode = true;
    Pixels frame = drawTestModeFrame();
    EXPECT_EQ(cyclesOf(frame.at(110, 130)), 0);
    EXPECT_EQ(cyclesOf(frame.at(300, 300)), 0);
}

TEST_F(LoopCycles, SmallPrimitivesRunTheSameCounts) {
    test.curTest = 1; // 8 x 8 quads on a 16 x 16 grid at the start values
    Pixels frame = drawTestModeFrame();
    EXPECT_EQ(cyclesOf(frame.at(100, 120)), 300);
    EXPECT_EQ(cyclesOf(frame.at(2, 2)), 7);
}

// Timing with wide margins: the same run, a ratio only.
TEST_F(LoopCycles, ABlockingFreezePointOverTheWindowMakesTheFrameSeveralTimesSlower) {
    test.fragmentShader->setDefine("COUNT_LOOP_CYCLES", 0);
    test.freezePoints[0] = {0, 0, 512, 512};
    test.loopsCount = {1000, 0};
    fastestOf(1); // compiles the program for these macros
    const double blocking = fastestOf(3);
    test.blockingEnable = false;
    fastestOf(1);
    const double notBlocking = fastestOf(3);
    EXPECT_GT(blocking, 4.0 * notBlocking) << blocking << " s against " << notBlocking << " s";
}

// Whether each timer result the frame report read was ready when it was read:
// a report that had to wait for its result means the frame did not wait for
// the GPU first.
std::vector<GLint> resultsReadyWhenRead;
PFNGLGETQUERYOBJECTI64VEXTPROC realGetQueryObjecti64v = nullptr;

void GLAPIENTRY noteReadinessThenGetQueryObjecti64v(GLuint id, GLenum name, GLint64* value) {
    GLint ready = 0;
    glGetQueryObjectiv(id, GL_QUERY_RESULT_AVAILABLE, &ready);
    resultsReadyWhenRead.push_back(ready);
    realGetQueryObjecti64v(id, name, value);
}

TEST_F(LoopCycles, TheReportReadsATimerResultTheFrameAlreadyWaitedFor) {
    test.fragmentShader->setDefine("COUNT_LOOP_CYCLES", 0);
    test.loopsCount = {0, 1000}; // tens of milliseconds of shading
    runFrame();                  // builds the program
    test.printStats = true;
    resultsReadyWhenRead.clear();
    realGetQueryObjecti64v = glGetQueryObjecti64vEXT;
    glGetQueryObjecti64vEXT = noteReadinessThenGetQueryObjecti64v;
    runFrameCapturingOutput();
    glGetQueryObjecti64vEXT = realGetQueryObjecti64v;
    EXPECT_EQ(resultsReadyWhenRead, std::vector<GLint>{GL_TRUE});
}

// Register saturation sizes an array with the register count: every count the
// program can hold must still build a program, and below 1 the loops behave as
// with one register. (Past about 250 registers llvmpipe's own results drift, so
// large counts are only required to build.)
TEST_F(LoopCycles, RegisterSaturationBuildsForCountsOutsideItsRange) {
    test.useRegSaturation = true;
    for (int registers : {0, -7, 1, 64}) {
        test.numShaderRegs = registers;
        Pixels frame = drawTestModeFrame();
        EXPECT_TRUE(test.shaderProgram->linked) << registers << " registers";
        EXPECT_EQ(cyclesOf(frame.at(110, 130)), 300) << registers << " registers";
        EXPECT_EQ(cyclesOf(frame.at(300, 300)), 7) << registers << " registers";
    }
    for (int registers : {256, 100000}) {
        test.numShaderRegs = registers;
        drawTestModeFrame();
        EXPECT_TRUE(test.shaderProgram->linked) << registers << " registers";
    }
}

} // namespace
