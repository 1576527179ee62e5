#include <gtest/gtest.h>

#include <GL/glew.h>

#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "GLCallCounter.h"
#include "GLShaderFixture.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"

namespace {

using testsupport::AllocationCounter;
using testsupport::GLShaderFixture;
using Vellumar::ShaderGLSL;
using Vellumar::ShaderProgramGLSL;

// The frame's hand-off to the shaders: the seven macros, then the program
// bound with its uniforms set, then released.
void handOffFrame(ShaderGLSL& fragment, ShaderProgramGLSL& program, int pipeVars) {
    static const char* const freezePointMacros[] = {
        "ENABLE_FREEZE_POINT_0", "ENABLE_FREEZE_POINT_1", "ENABLE_FREEZE_POINT_2",
        "ENABLE_FREEZE_POINT_3"};
    static const char* const freezePointUniforms[] = {"freezePoints[0]", "freezePoints[1]",
                                                      "freezePoints[2]", "freezePoints[3]"};
    fragment.setDefine("ENABLE_BLOCKING", 1);
    for (int i = 0; i < 4; ++i) {
        fragment.setDefine(freezePointMacros[i], i == 0 ? 1 : 0);
    }
    fragment.setDefine("USE_BAD_LOOP", 1);
    fragment.setDefine("NUM_PIPEVARS", pipeVars);
    program.bind(true);
    const float values[4] = {2000000.0f, 200000.0f, 0.0f, 0.0f};
    program.setVec4Param("userParam", values);
    for (const char* name : freezePointUniforms) {
        program.setVec4Param(name, values);
    }
    program.setVec4Param("userColor", values);
    program.unbind(true);
}

const char* const fragmentText =
    "uniform vec4 userParam;\nuniform vec4 freezePoints[NUM_FREEZE_POINTS];\nuniform vec4 "
    "userColor;\n"
    "void main() {\n"
    "  vec4 color = userColor;\n"
    "#if ENABLE_BLOCKING && ENABLE_FREEZE_POINT_0\n"
    "  if (gl_FragCoord.x < freezePoints[0].x) color.r = userParam.x;\n"
    "#endif\n"
    "#if USE_BAD_LOOP\n"
    "  color.g = float(NUM_PIPEVARS);\n"
    "#endif\n"
    "  gl_FragColor = color;\n"
    "}\n";

TEST_F(GLShaderFixture, AFrameWithUnchangedSettingsAllocatesNothingAndDoesNotRelink) {
    if (!testsupport::allocationCountingAvailable()) {
        GTEST_SKIP() << "the sanitizer brings its own operator new";
    }
    ShaderGLSL vertex(dir.write("v.glsl", "void main() { gl_Position = gl_Vertex; }\n").c_str(), 0);
    ShaderGLSL fragment(dir.write("f.glsl", fragmentText).c_str(), 1);
    ShaderProgramGLSL program;
    program.addShader(&fragment);
    program.addShader(&vertex);
    fragment.setDefine("NUM_FREEZE_POINTS", 4);
    handOffFrame(fragment, program, 20);
    ASSERT_EQ(sink.text(), "");
    const std::string sourceBefore = fragment.source;

    testsupport::GLCallCounter counter;
    long allocations = 0;
    {
        AllocationCounter allocationCounter;
        handOffFrame(fragment, program, 20);
        allocations = allocationCounter.allocations();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(counter.count("glLinkProgram") + counter.count("glCompileShader"), 0);
    EXPECT_EQ(fragment.source, sourceBefore);

    // A changed value does reach the text and the program.
    counter.reset();
    handOffFrame(fragment, program, 21);
    EXPECT_EQ(counter.count("glLinkProgram"), 1);
    EXPECT_NE(fragment.source.find("#define NUM_PIPEVARS 21\n"), std::string::npos);
}

} // namespace
