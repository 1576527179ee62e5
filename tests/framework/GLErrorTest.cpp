// Tests of checkGLError against real and queued OpenGL errors: one error a
// check, its code and text in the report.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <string>

#include "CapturedSink.h"
#include "FakeGLErrors.h"
#include "GLError.h"
#include "GLTestWindow.h"

namespace {

using testsupport::CapturedSink;

class CheckGLError : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ensureGLWindow();
        while (glGetError() != GL_NO_ERROR) {
        }
        testsupport::clearQueuedGLErrors();
    }
};

std::string gluText(GLenum code) { return reinterpret_cast<const char*>(gluErrorString(code)); }

TEST_F(CheckGLError, WritesNothingWithoutAnError) {
    CapturedSink sink;
    testsupport::resetGlGetErrorCalls();
    Vellumar::checkGLError("Display END: ");
    EXPECT_EQ(sink.text(), "");
    EXPECT_EQ(testsupport::glGetErrorCalls(), 1);
}

TEST_F(CheckGLError, ReportsARealInvalidEnumWithTheGluText) {
    CapturedSink sink;
    glEnable(0xFFFF);
    Vellumar::checkGLError("Init END: ");
    // The label's trailing blank gives two blanks before "OpenGL Error".
    EXPECT_EQ(sink.text(),
              "CRITICAL ERROR: Init END:  OpenGL Error (1280): " + gluText(0x0500) + "\n");
    EXPECT_NE(gluText(0x0500), "");
}

TEST_F(CheckGLError, ReportsARealInvalidFramebufferOperationWithItsLiteralText) {
    CapturedSink sink;
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo); // no attachment: incomplete
    glClear(GL_COLOR_BUFFER_BIT);
    Vellumar::checkGLError("ShaderProgramGLSL::bind");
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
    EXPECT_EQ(sink.text(), "CRITICAL ERROR: ShaderProgramGLSL::bind OpenGL Error (1286): "
                           "GL_INVALID_FRAMEBUFFER_OPERATION_EXT\n");
}

TEST_F(CheckGLError, TwoPendingErrorsAreReportedByTwoChecks) {
    // Mesa keeps only one error flag, so the second pending error is queued
    // through the test seam in front of the driver.
    testsupport::queueGLError(GL_INVALID_ENUM);
    testsupport::queueGLError(GL_INVALID_VALUE);
    CapturedSink sink;
    Vellumar::checkGLError("first");
    EXPECT_EQ(sink.text(), "CRITICAL ERROR: first OpenGL Error (1280): " + gluText(0x0500) + "\n");
    sink.clear();
    Vellumar::checkGLError("second");
    EXPECT_EQ(sink.text(), "CRITICAL ERROR: second OpenGL Error (1281): " + gluText(0x0501) + "\n");
    sink.clear();
    Vellumar::checkGLError("third");
    EXPECT_EQ(sink.text(), "");
}

} // namespace
