// Tests of the measured frame on the started GPU test: the console report,
// the buffers of both modes, no rebuild and no allocation when nothing
// changed (a recording running included), the macros (before the program is
// bound) and uniforms handed to the shaders, the saved window geometry, the
// frame's error check and its GL calls in order.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <regex>
#include <vector>
#include <string>

#include "AllocationCounter.h"
#include "CapturedSink.h"
#include "FakeGLErrors.h"
#include "GLCallCounter.h"
#include "GPUTestFixture.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"
#include "TweakBarProbe.h"

namespace {

using namespace testsupport;

std::vector<float> uniform(GLuint program, const char* name) {
    std::vector<float> values(4, -1.0f);
    glGetUniformfv(program, glGetUniformLocation(program, name), values.data());
    return values;
}

bool hasLine(const std::string& text, const std::string& line) {
    return text.find(line + "\n") != std::string::npos;
}

TEST_F(GPUTestFrame, ReportNamesTheSettingsAndTheGpuTimeInSeconds) {
    test.printStats = true;
    std::string report = runFrameCapturingOutput();
    std::smatch match;
    ASSERT_TRUE(std::regex_match(
        report, match,
        std::regex("curTest: 0\n"
                   "loopsCount: \\(2000000, 200000\\) \\(\\(1000000, 100000\\)\\)\n"
                   "blockingEnable: 1\n"
                   "Global Times GL :\n"
                   "GlobalTime -> (.{15}) , \n")))
        << report;
    EXPECT_GE(std::stod(match[1].str()), 0.0);

    test.curTest = 1;
    test.blockingEnable = false;
    test.loopsCount = {-5, 7};
    test.loopsIncrement = {0, 100};
    test.fastMode = true;
    report = runFrameCapturingOutput();
    EXPECT_EQ(report.rfind("curTest: 1\nloopsCount: (-5, 7) ((0, 100))\nblockingEnable: 0\n", 0),
              0u)
        << report;
}

TEST_F(GPUTestFrame, NothingOnStandardOutputWhenTheReportIsOff) {
    test.printStats = false;
    EXPECT_EQ(runFrameCapturingOutput(), "");
    test.curTest = 1;
    EXPECT_EQ(runFrameCapturingOutput(), "");
}

TEST_F(GPUTestFrame, ConfigurationModeDrawsIntoTheBackBufferWithBarsOnTop) {
    test.display(); // without the swap, so the back buffer can be read
    EXPECT_TRUE(test.swapAfterDisplay);
    EXPECT_EQ(test.drawBuffer, static_cast<GLenum>(GL_BACK));
    EXPECT_EQ(test.clearBuffer, static_cast<GLenum>(GL_BACK));
    Pixels back(GL_BACK, 512, 512);
    EXPECT_EQ(back.at(100, 100), white); // the big quad
    // Inside FreezyPoints (against the right edge, top 300 rows): not the
    // quad.
    int barPixels = 0;
    for (int y = 512 - 290; y < 512 - 10; y += 7) {
        for (int x = 360; x < 505; x += 7) {
            if (!(back.at(x, y) == white)) {
                ++barPixels;
            }
        }
    }
    EXPECT_GT(barPixels, 100);
}

TEST_F(GPUTestFrame, TestModeDrawsIntoTheFrontBufferWithoutSwapOrBars) {
    Pixels front = drawTestModeFrame();
    EXPECT_FALSE(test.swapAfterDisplay);
    EXPECT_EQ(test.drawBuffer, static_cast<GLenum>(GL_FRONT));
    EXPECT_EQ(test.clearBuffer, static_cast<GLenum>(GL_FRONT));
    GLint drawBuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_FRONT);
    // The whole window is the white quad, bar areas included; pixel (0, 0) is
    // freeze point 0.
    EXPECT_EQ(front.count(white), 512 * 512 - 1);
    EXPECT_EQ(front.at(0, 0), red);
}

TEST_F(GPUTestFrame, FramesWithUnchangedSettingsDoNotRebuildTheProgram) {
    runFrame();
    {
        testsupport::GLCallCounter counter;
        runFrame();
        runFrame();
        EXPECT_EQ(counter.count("glLinkProgram"), 0);
        EXPECT_EQ(counter.count("glCompileShader"), 0);
    }
    test.blockingEnable = !test.blockingEnable;
    {
        testsupport::GLCallCounter counter;
        runFrame();
        EXPECT_EQ(counter.count("glLinkProgram"), 1);
        EXPECT_GE(counter.count("glCompileShader"), 1);
    }
}

// The frame hands its macros to the shader before it binds the program, so
// that its own bind rebuilds a changed program and everything after it,
// uniforms and drawing, runs the new one.
TEST_F(GPUTestFrame, AChangedMacroIsBuiltBeforeTheFrameUsesTheProgram) {
    runFrame();
    test.blockingEnable = !test.blockingEnable;
    testsupport::GLCallCounter counter;
    runFrame();
    const std::vector<std::string> calls = counter.names();
    const auto firstOf = [&calls](const char* name) {
        return std::find(calls.begin(), calls.end(), name) - calls.begin();
    };
    ASSERT_EQ(counter.count("glLinkProgram"), 1);
    EXPECT_LT(firstOf("glCompileShader"), firstOf("glLinkProgram"));
    EXPECT_LT(firstOf("glLinkProgram"), firstOf("glUseProgram"));
}

// With register saturation on, a frame hands all seven macros to the shaders.
// When none of them changed, the frame compiles and links nothing, leaves the
// fragment text alone and makes no heap allocation; a changed one reaches the
// text and the program at once.
TEST_F(GPUTestModeFrame, AnUnchangedFrameCompilesLinksAndAllocatesNothing) {
    if (!allocationCountingAvailable()) {
        GTEST_SKIP() << "the sanitizer brings its own operator new";
    }
    test.useRegSaturation = true;
    runFrame();
    const std::string sourceBefore = test.fragmentShader->source;
    // A running recording (`w`) stores the frame in room reserved when it
    // started; the file is written only when it stops.
    const std::string recordingPath =
        (std::filesystem::temp_directory_path() / "gputest-unchanged-frame.csv").string();
    test.measurements.frameLog().recording().start(recordingPath);

    testsupport::GLCallCounter counter;
    long allocations = 0;
    {
        AllocationCounter allocationCounter;
        runFrame();
        allocations = allocationCounter.allocations();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(test.measurements.frameLog().recording().size(), 1u);
    EXPECT_NO_THROW(test.measurements.frameLog().recording().stop());
    std::filesystem::remove(recordingPath);
    EXPECT_EQ(counter.count("glLinkProgram"), 0);
    EXPECT_EQ(counter.count("glCompileShader"), 0);
    EXPECT_EQ(test.fragmentShader->source, sourceBefore);

    counter.reset();
    test.numShaderRegs = 21;
    runFrame();
    EXPECT_EQ(counter.count("glLinkProgram"), 1);
    EXPECT_TRUE(hasLine(test.fragmentShader->source, "#define NUM_PIPEVARS 21"));
}

TEST_F(GPUTestFrame, RegisterSaturationSetsBothMacrosInTheSameFrame) {
    runFrame();
    test.useRegSaturation = true;
    test.numShaderRegs = 20;
    {
        testsupport::GLCallCounter counter;
        runFrame();
        EXPECT_EQ(counter.count("glLinkProgram"), 1);
    }
    EXPECT_TRUE(hasLine(test.fragmentShader->source, "#define USE_BAD_LOOP 1"));
    EXPECT_TRUE(hasLine(test.fragmentShader->source, "#define NUM_PIPEVARS 20"));

    test.useRegSaturation = false;
    test.numShaderRegs = 33;
    runFrame();
    EXPECT_TRUE(hasLine(test.fragmentShader->source, "#define USE_BAD_LOOP 0"));
    EXPECT_TRUE(hasLine(test.fragmentShader->source, "#define NUM_PIPEVARS 20"));
}

TEST_F(GPUTestFrame, EveryRegisterCountFromOneTo64Compiles) {
    testsupport::CapturedSink sink;
    test.useRegSaturation = true;
    for (int registers = 1; registers <= 64; ++registers) {
        test.numShaderRegs = registers;
        test.display();
        GLint linked = 0;
        glGetProgramiv(test.shaderProgram->getProgramId(), GL_LINK_STATUS, &linked);
        ASSERT_TRUE(linked) << registers << "\n" << sink.text();
    }
    EXPECT_EQ(sink.text(), "");
}

TEST_F(GPUTestFrame, UniformsCarryLoopCountsFreezePointsAndUserColor) {
    test.freezePoints[2] = {10, 20, -3, 4};
    test.freezePointEnabled[2] = true; // a disabled point's uniform is compiled out
    runFrame();
    GLuint program = test.shaderProgram->getProgramId();
    EXPECT_EQ(uniform(program, "userParam"), (std::vector<float>{0, 0, 0, 0}));
    EXPECT_EQ(uniform(program, "freezePoints[2]"), (std::vector<float>{10, 20, -3, 4}));
    EXPECT_EQ(uniform(program, "freezePoints[0]"), (std::vector<float>{0, 0, 1, 1}));
    EXPECT_EQ(uniform(program, "userColor"), (std::vector<float>{1, 1, 0, 1}));

    test.fastMode = false;
    test.loopsCount = {0, 0}; // loops that really run would take minutes here
    test.display();
    EXPECT_EQ(uniform(program, "userParam"), (std::vector<float>{0, 0, 0, 0}));
    test.loopsCount = {3, 0};
    test.display();
    EXPECT_EQ(uniform(program, "userParam"), (std::vector<float>{3, 0, 0, 0}));
}

TEST_F(GPUTestFrame, WindowGeometryIsSavedOnlyOutsideFullScreen) {
    test.winPos = {1, 2};
    test.winSize = {3, 4};
    runFrame();
    EXPECT_EQ(test.winPos.x, 1);
    EXPECT_EQ(test.winSize.y, 4);
    test.fullScreen = false;
    runFrame();
    EXPECT_EQ(test.winSize.x, 512);
    EXPECT_EQ(test.winSize.y, 512);
    EXPECT_EQ(test.winPos.x, glutGet(GLUT_WINDOW_X));
    EXPECT_EQ(test.winPos.y, glutGet(GLUT_WINDOW_Y));
}

TEST_F(GPUTestFrame, FrameCountsAndReportsAPendingGlErrorAtItsEnd) {
    int before = test.frameCount;
    runFrame();
    runFrame();
    EXPECT_EQ(test.frameCount, before + 2);

    // The frame's error checks come in a fixed order: bind, unbind, then the
    // frame's own; the third answer is an error.
    testsupport::CapturedSink sink;
    testsupport::queueGLError(GL_NO_ERROR);
    testsupport::queueGLError(GL_NO_ERROR);
    testsupport::queueGLError(GL_INVALID_ENUM);
    runFrame();
    testsupport::clearQueuedGLErrors();
    EXPECT_EQ(sink.text().rfind("CRITICAL ERROR: Display END:  OpenGL Error (1280): ", 0), 0u)
        << sink.text();
}

TEST_F(GPUTestFrame, TestModeFrameIssuesItsGlCallsInOrder) {
    test.configMode = false;
    runFrame();
    testsupport::GLCallCounter counter;
    runFrame();
    std::vector<std::string> expected = {"glDrawBuffer", "glGenQueries", "glBeginQuery",
                                         "glDepthMask",  "glColorMask",  "glClearColor",
                                         "glClearDepth", "glUseProgram", "glGetError"};
    for (int uniform = 0; uniform < 6; ++uniform) {
        expected.push_back("glGetUniformLocation");
        expected.push_back("glUniform4f");
    }
    for (const char* name :
         {"glDrawBuffer", "glClear", "glDrawBuffer", "glBegin", "glColor4f", "glVertex4f",
          "glVertex4f", "glVertex4f", "glVertex4f", "glEnd", "glUseProgram", "glGetError",
          "glEndQuery", "glFlush", "glFinish", "glGetQueryObjecti64vEXT", "glGetError",
          "glDeleteQueries", "glDisable"}) {
        expected.push_back(name);
    }
    EXPECT_EQ(counter.names(), expected);
    // With the report off, the frame still reads its own timer, once, for
    // its statistics.
    ASSERT_EQ(counter.callsOf("glGetQueryObjecti64vEXT").size(), 1u);
    EXPECT_EQ(counter.callsOf("glGetQueryObjecti64vEXT")[0].args[0],
              counter.callsOf("glBeginQuery")[0].args[1]);
    EXPECT_EQ(counter.callsOf("glGetQueryObjecti64vEXT")[0].args[1], GL_QUERY_RESULT);

    const std::vector<testsupport::GLCall> draws = counter.callsOf("glDrawBuffer");
    ASSERT_EQ(draws.size(), 3u);
    for (const testsupport::GLCall& call : draws) {
        EXPECT_EQ(call.args[0], GL_FRONT);
    }
    EXPECT_EQ(counter.callsOf("glBeginQuery")[0].args[0], GL_TIME_ELAPSED_EXT);
    EXPECT_EQ(counter.callsOf("glGenQueries")[0].args[0], 10);
    EXPECT_EQ(counter.callsOf("glDisable")[0].args[0], GL_DEPTH_TEST);
    const std::vector<testsupport::GLCall> clearColor = counter.callsOf("glClearColor");
    EXPECT_EQ(clearColor[0].args[3], 0.0);
    EXPECT_EQ(counter.callsOf("glClearDepth")[0].args[0], 1.0);
}

// A shader file broken on disk: one report, then frames that draw nothing
// through the program, raise no error and ask nothing; `r` (reload) repairs.
TEST_F(GPUTestFrame, ABrokenShaderIsReportedOnceAndTheFramesGoOnUntilReload) {
    testsupport::CapturedSink sink;
    test.fragmentShader->source += "this does not compile;\n";
    test.fragmentShader->dirty = true;
    for (int frame = 0; frame < 4; ++frame) {
        drawTestModeFrame();
    }
    const std::string text = sink.text();
    EXPECT_EQ(text.rfind("CRITICAL ERROR: Compilation error (", 0), 0u) << text;
    EXPECT_EQ(text.find("CRITICAL ERROR", 1), std::string::npos) << text;
    EXPECT_EQ(text.find("OpenGL Error"), std::string::npos) << text;
    Pixels cleared(GL_FRONT, 512, 512);
    EXPECT_EQ(cleared.count(white), 0);

    sink.clear();
    test.keyboard('r');
    Pixels repaired = drawTestModeFrame();
    EXPECT_EQ(sink.text(), "");
    EXPECT_FALSE(test.shaderProgram->linkFailed);
    EXPECT_EQ(repaired.at(300, 300), white);
}

} // namespace
