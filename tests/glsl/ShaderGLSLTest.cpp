// Tests of ShaderGLSL on a real GL context: construction, define edits and
// the dirty flag, compiling only when dirty, sub-shaders and includes, reload,
// compile failures and destruction, with the GL calls counted.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <algorithm>
#include <string>
#include <type_traits>
#include <vector>

#include "GLCallCounter.h"
#include "GLShaderFixture.h"
#include "ShaderText.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"

namespace {

using testsupport::GLCallCounter;
using testsupport::GLShaderFixture;
using Vellumar::ShaderGLSL;

const char* const fragmentText =
    "uniform vec4 userColor;\nvoid main() { gl_FragColor = userColor; }\n";

class ShaderGLSLTest : public GLShaderFixture {
protected:
    std::string fragmentPath() { return dir.write("frag.glsl", fragmentText); }
};

GLint shaderParameter(GLuint shader, GLenum which) {
    GLint value = -1;
    glGetShaderiv(shader, which, &value);
    return value;
}

// Records what reaches the string form of setDefine.
class RecordingShader : public ShaderGLSL {
public:
    using ShaderGLSL::setDefine;
    using ShaderGLSL::ShaderGLSL;
    void setDefine(const char* name, const char* value) override {
        received.push_back(std::string(name) + "=" + value);
        ShaderGLSL::setDefine(name, value);
    }
    std::vector<std::string> received;
};

TEST_F(ShaderGLSLTest, ConstructionReadsTheFileIntoAGLObjectOfTheStagesType) {
    std::string path = fragmentPath();
    const struct {
        int shaderType;
        GLenum glType;
    } stages[] = {{0, GL_VERTEX_SHADER}, {1, GL_FRAGMENT_SHADER}, {2, GL_GEOMETRY_SHADER}};
    for (const auto& stage : stages) {
        ShaderGLSL shader(path.c_str(), stage.shaderType);
        EXPECT_EQ(shader.path, path);
        EXPECT_EQ(shader.source, fragmentText);
        EXPECT_TRUE(shader.dirty);
        EXPECT_EQ(shader.shaderType, stage.shaderType);
        ASSERT_TRUE(glIsShader(shader.shaderId));
        EXPECT_EQ(shaderParameter(shader.shaderId, GL_SHADER_TYPE),
                  static_cast<GLint>(stage.glType));
    }
    EXPECT_EQ(sink.text(), "");
}

TEST_F(ShaderGLSLTest, AMissingFileIsReportedAndLeavesAnEmptyWorkingShader) {
    ShaderGLSL shader("/nonexistent/GPUTest_FS.glsl", 1);
    EXPECT_EQ(
        sink.text(),
        "CRITICAL ERROR: Shader::loadSource: unable to open file: /nonexistent/GPUTest_FS.glsl\n");
    EXPECT_EQ(shader.source, "");
    EXPECT_TRUE(shader.dirty);
    shader.setDefine("NUM_FREEZE_POINTS", 4);
    EXPECT_EQ(shader.source, "#define NUM_FREEZE_POINTS 4\n");
}

TEST_F(ShaderGLSLTest, SetDefineMarksDirtyOnlyWhenTheTextChanges) {
    ShaderGLSL shader(
        dir.write("f.glsl", std::string("#define DEFAULTED 5\n") + fragmentText).c_str(), 1);
    shader.setDefine("NUM_FREEZE_POINTS", 4);
    EXPECT_EQ(shader.source,
              std::string("#define NUM_FREEZE_POINTS 4\n#define DEFAULTED 5\n") + fragmentText);
    EXPECT_TRUE(shader.dirty);

    const struct {
        const char* name;
        int value;
        bool marksDirty;
    } steps[] = {
        {"ENABLE_BLOCKING", 0, true},  {"ENABLE_BLOCKING", 1, true},
        {"ENABLE_BLOCKING", 1, false}, {"NUM_FREEZE_POINTS", 4, false},
        {"DEFAULTED", 5, false},       {"DEFAULTED", 6, true},
    };
    for (const auto& step : steps) {
        shader.compile();
        ASSERT_FALSE(shader.dirty);
        shader.setDefine(step.name, step.value);
        EXPECT_EQ(shader.dirty, step.marksDirty) << step.name << " " << step.value;
    }
    // Every define is recorded, the unchanged ones too.
    EXPECT_EQ(shader.defines.size(), 3u);
    EXPECT_EQ(shader.defines.at(Vellumar::nameHash("DEFAULTED")),
              std::make_pair(std::string("DEFAULTED"), std::string("6")));
    EXPECT_EQ(shader.source, std::string("#define ENABLE_BLOCKING 1\n#define NUM_FREEZE_POINTS 4\n"
                                         "#define DEFAULTED 6\n") +
                                 fragmentText);
}

TEST_F(ShaderGLSLTest, NumberFormsFormatTheValueAndGoThroughTheStringForm) {
    RecordingShader shader(fragmentPath().c_str(), 1);
    shader.setDefine("HALF", 0.5f);
    shader.setDefine("FOUR", 4.0f);
    shader.setDefine("NEG", -3);
    EXPECT_EQ(shader.received,
              (std::vector<std::string>{"HALF=0.500000", "FOUR=4.000000", "NEG=-3"}));
    EXPECT_EQ(shader.source,
              std::string("#define NEG -3\n#define FOUR 4.000000\n#define HALF 0.500000\n") +
                  fragmentText);
}

TEST_F(ShaderGLSLTest, CompilesOnlyWhenDirtyAndThenMakesNoGLCall) {
    ShaderGLSL shader(fragmentPath().c_str(), 1);
    GLCallCounter counter;
    EXPECT_TRUE(shader.compile());
    EXPECT_EQ(counter.names(), (std::vector<std::string>{"glShaderSource", "glCompileShader",
                                                         "glGetShaderiv", "glGetError"}));
    EXPECT_EQ(counter.calls()[0].args[0], shader.shaderId);
    EXPECT_EQ(shaderParameter(shader.shaderId, GL_COMPILE_STATUS), GL_TRUE);
    EXPECT_FALSE(shader.dirty);

    counter.reset();
    EXPECT_FALSE(shader.compile());
    EXPECT_EQ(counter.total(), 0);
}

TEST_F(ShaderGLSLTest, CompilesItsTextThenItsSubShadersWithIncludesFromItsOwnDirectory) {
    dir.write("common.glsl", "vec4 libColor() { return vec4(1.0); }\n");
    dir.write("other/common.glsl", "WRONG DIRECTORY\n");
    ShaderGLSL shader(dir.write("main.glsl",
                                "vec4 tail();\n#include \"common.glsl\"\n"
                                "void main() { gl_FragColor = libColor() * tail(); }\n")
                          .c_str(),
                      1);
    ShaderGLSL tail(dir.write("other/tail.glsl",
                              "#include \"common.glsl\"\nvec4 tail() { return vec4(0.5); }\n")
                        .c_str(),
                    1);
    tail.setDefine("TAIL_DEFINE", 2);
    shader.addSubShader(&tail);
    EXPECT_TRUE(shader.compile());
    EXPECT_EQ(glSourceOf(shader.shaderId),
              "vec4 tail();\nvec4 libColor() { return vec4(1.0); }\nvoid main() { gl_FragColor = "
              "libColor() * tail(); }\n"
              "#define TAIL_DEFINE 2\nvec4 libColor() { return vec4(1.0); }\nvec4 tail() { return "
              "vec4(0.5); }\n");
    // The shader's own compile is separate from the sub-shader's.
    EXPECT_TRUE(tail.dirty);
}

TEST_F(ShaderGLSLTest, SubShaderListChangesAlwaysMarkDirty) {
    ShaderGLSL a(fragmentPath().c_str(), 1);
    ShaderGLSL b(fragmentPath().c_str(), 1);
    ShaderGLSL c(fragmentPath().c_str(), 1);
    a.compile();
    a.addSubShader(&b);
    a.addSubShader(&c);
    a.addSubShader(&b);
    EXPECT_TRUE(a.dirty);
    a.compile();
    a.removeSubShader(&a); // not in the list
    EXPECT_TRUE(a.dirty);
    EXPECT_EQ(a.subShaders, (std::vector<Vellumar::Shader*>{&b, &c, &b}));
    a.removeSubShader(&b);
    EXPECT_EQ(a.subShaders, (std::vector<Vellumar::Shader*>{&c}));
}

TEST_F(ShaderGLSLTest, ReloadRereadsTheFileAndSetsEveryDefineAgainInKeyOrder) {
    std::string path = dir.write("r.glsl", "old text\n");
    RecordingShader shader(path.c_str(), 1);
    const std::vector<std::string> names = {"ENABLE_BLOCKING", "USE_BAD_LOOP", "NUM_PIPEVARS",
                                            "ENABLE_FREEZE_POINT_0", "FILE_DEFAULT"};
    for (const auto& name : names) {
        shader.setDefine(name.c_str(), 1);
    }
    shader.setDefine("USE_BAD_LOOP", 0); // the last value counts
    shader.compile();
    dir.write("r.glsl", "#define FILE_DEFAULT 9\nnew text\n");
    shader.received.clear();

    shader.reload();

    std::vector<std::string> byKey = names;
    std::sort(byKey.begin(), byKey.end(), [](const std::string& x, const std::string& y) {
        return Vellumar::nameHash(x.c_str()) < Vellumar::nameHash(y.c_str());
    });
    ASSERT_NE(byKey, names) << "names chosen so that key order differs from setting order";
    std::vector<std::string> expectedCalls;
    std::string expectedTop;
    for (const auto& name : byKey) {
        std::string value = name == "USE_BAD_LOOP" ? "0" : "1";
        expectedCalls.push_back(name + "=" + value);
        if (name != "FILE_DEFAULT") {
            expectedTop.insert(0, "#define " + name + " " + value + "\n");
        }
    }
    EXPECT_EQ(shader.received, expectedCalls);
    EXPECT_EQ(shader.source, expectedTop + "#define FILE_DEFAULT 1\nnew text\n");
    EXPECT_TRUE(shader.dirty);
    EXPECT_EQ(shader.defines.size(), names.size());
}

TEST_F(ShaderGLSLTest, AVersionLineStaysFirstThroughDefinesReloadsAndCompiles) {
    std::string path = dir.write("v.glsl", "#ifndef X\n#define X 0\n#endif\n"
                                           "uniform uint u;\nvoid main() { gl_FragColor = "
                                           "vec4(float(u + uint(X))); }\n");
    ShaderGLSL shader(path.c_str(), 1);
    shader.setDefine("EARLY", 1);
    shader.setVersionLine("#version 450 compatibility");
    shader.setDefine("LATE", 2);
    shader.setDefine("X", 3); // the file's own default line is rewritten in place
    const std::string top = "#version 450 compatibility\n#define LATE 2\n#define EARLY 1\n"
                            "#ifndef X\n#define X 3\n#endif\n";
    EXPECT_EQ(shader.source.substr(0, top.size()), top);

    // uint is GLSL 1.30: without the line the text would not compile.
    EXPECT_TRUE(shader.compile());
    EXPECT_EQ(shaderParameter(shader.shaderId, GL_COMPILE_STATUS), GL_TRUE) << shader.infoLog;
    EXPECT_EQ(glSourceOf(shader.shaderId).rfind("#version 450 compatibility\n", 0), 0u);

    shader.reload();
    EXPECT_EQ(shader.source.rfind("#version 450 compatibility\n", 0), 0u) << shader.source;
    EXPECT_NE(shader.source.find("#define LATE 2\n"), std::string::npos);

    // Another line replaces it; an empty one leaves the file's text with its defines.
    shader.setVersionLine("#version 430 compatibility\n");
    EXPECT_EQ(shader.source.rfind("#version 430 compatibility\n#define", 0), 0u);
    EXPECT_EQ(shader.source.find("#version 450"), std::string::npos);
    shader.setVersionLine("");
    EXPECT_EQ(shader.source.rfind("#define", 0), 0u);
    EXPECT_EQ(shader.source.find("#version"), std::string::npos);
    EXPECT_TRUE(shader.dirty);
}

TEST_F(ShaderGLSLTest, ACompileFailureReportsTheConstructionPathAndPausesTwice) {
    testsupport::CapturedSink answers("1 2 3\n");
    std::string path = dir.write("bad.glsl", "void main() { gl_FragColor = vec4(1.0); }\n");
    ShaderGLSL shader(path.c_str(), 1);
    ShaderGLSL broken(dir.write("sub.glsl", "this does not compile;\n").c_str(), 1);
    shader.addSubShader(&broken);

    EXPECT_TRUE(shader.compile());
    EXPECT_EQ(shaderParameter(shader.shaderId, GL_COMPILE_STATUS), GL_FALSE);
    const std::string prefix = "CRITICAL ERROR: Compilation error (" + path + "): ";
    ASSERT_EQ(answers.text().compare(0, prefix.size(), prefix), 0) << answers.text();
    EXPECT_GT(answers.text().size(), prefix.size() + 2); // the driver's log follows
    EXPECT_EQ(std::string(shader.infoLog),
              answers.text().substr(prefix.size(), answers.text().size() - prefix.size() - 1));
    int next = 0;
    answers.input() >> next;
    EXPECT_EQ(next, 3);

    // Not compiled again until something changes.
    EXPECT_FALSE(shader.dirty);
    EXPECT_FALSE(shader.compile());
}

TEST_F(ShaderGLSLTest, ACompileFailureWithTheConsoleAtItsEndDoesNotWait) {
    ShaderGLSL shader(dir.write("bad.glsl", "not glsl\n").c_str(), 1);
    EXPECT_TRUE(shader.compile());
    EXPECT_NE(sink.text().find("Compilation error ("), std::string::npos);
    EXPECT_TRUE(sink.input().eof());
}

TEST_F(ShaderGLSLTest, DestructionDeletesTheGLObject) {
    GLuint id = 0;
    {
        ShaderGLSL shader(fragmentPath().c_str(), 1);
        id = shader.shaderId;
        ASSERT_TRUE(glIsShader(id));
    }
    EXPECT_FALSE(glIsShader(id));
}

// Both delete GL names in their destructors: a copy would delete the names of
// the object it was copied from.
static_assert(!std::is_copy_constructible_v<Vellumar::ShaderGLSL> &&
                  !std::is_copy_assignable_v<Vellumar::ShaderGLSL>,
              "a copied shader would delete the original's GL shader");
static_assert(!std::is_copy_constructible_v<Vellumar::ShaderProgramGLSL> &&
                  !std::is_copy_assignable_v<Vellumar::ShaderProgramGLSL>,
              "a copied program would delete the original's GL program");

} // namespace
