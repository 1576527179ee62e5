// Base of the tests that need a current OpenGL context: the binary's one
// off-screen context (no X server), no OpenGL error left over from elsewhere, a temporary directory
// for shader files and a captured message sink (empty input: pauses return).
#pragma once

#include <gtest/gtest.h>

#include <GL/glew.h>

#include <string>

#include "CapturedSink.h"
#include "FakeGLErrors.h"
#include "GLTestContext.h"
#include "TempShaderDir.h"

namespace testsupport {

class GLShaderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ensureGLContext();
        testsupport::clearQueuedGLErrors();
        drainGLErrors();
    }
    void TearDown() override {
        testsupport::clearQueuedGLErrors();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "OpenGL error left pending";
    }
    static void drainGLErrors() {
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    // The text a GL shader object was last given.
    static std::string glSourceOf(GLuint shader) {
        GLint length = 0;
        glGetShaderiv(shader, GL_SHADER_SOURCE_LENGTH, &length);
        if (length <= 1) {
            return "";
        }
        std::string text(static_cast<std::size_t>(length), '\0');
        glGetShaderSource(shader, length, nullptr, text.data());
        text.pop_back(); // the terminating NUL
        return text;
    }
    static GLint currentProgram() {
        GLint program = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        return program;
    }

    TempShaderDir dir;
    testsupport::CapturedSink sink;
};

} // namespace testsupport
