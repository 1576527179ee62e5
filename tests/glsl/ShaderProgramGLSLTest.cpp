// Tests of ShaderProgramGLSL on a real GL context: building and linking at the
// first bind and only after changes, stage order, refused shaders, error
// checks, uniforms, samplers and texture units, attribute arrays, fragment
// outputs and destruction, with the GL calls counted.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <string>
#include <vector>

#include "GLCallCounter.h"
#include "GLShaderFixture.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"

namespace {

using testsupport::GLCallCounter;
using testsupport::GLShaderFixture;
using Vellumar::SamplerEntry;
using Vellumar::Shader;
using Vellumar::ShaderGLSL;
using Vellumar::ShaderProgramGLSL;
using Vellumar::TextureRef;

const char* const vertexText = "void main() { gl_Position = gl_Vertex; }\n";
const char* const fragmentText =
    "uniform vec4 userColor;\nvoid main() { gl_FragColor = userColor; }\n";

using Names = std::vector<std::string>;

// The program the tool builds: the fragment shader added first, then the
// vertex shader.
class ShaderProgramTest : public GLShaderFixture {
protected:
    void SetUp() override {
        GLShaderFixture::SetUp();
        fragment = new ShaderGLSL(dir.write("frag.glsl", fragmentText).c_str(), 1);
        vertex = new ShaderGLSL(dir.write("vert.glsl", vertexText).c_str(), 0);
        program = new ShaderProgramGLSL();
        program->addShader(fragment);
        program->addShader(vertex);
    }
    void TearDown() override {
        glUseProgram(0);
        delete program;
        delete vertex;
        delete fragment;
        GLShaderFixture::TearDown();
    }
    GLint programParameter(GLenum which) {
        GLint value = -1;
        glGetProgramiv(program->programId, which, &value);
        return value;
    }

    ShaderGLSL* fragment = nullptr;
    ShaderGLSL* vertex = nullptr;
    ShaderProgramGLSL* program = nullptr;
};

// A shader of another shading language, which the program cannot take.
class OtherShader : public Shader {
public:
    void setDefine(const char*, float) override {}
    void setDefine(const char*, int) override {}
    void setDefine(const char*, const char*) override {}
    bool compile() override { return false; }
};

TEST_F(ShaderProgramTest, TheFirstBindCompilesAttachesAndLinksInOrderAndTheSecondOnlyUses) {
    GLCallCounter counter;
    program->bind(true);

    const Names shaderCompile = {"glShaderSource", "glCompileShader", "glGetShaderiv",
                                 "glGetError"};
    const Names stageCompile = {"glShaderSource", "glCompileShader", "glGetError", "glAttachShader",
                                "glGetError"};
    Names expected;
    for (const Names* part : {&shaderCompile, &shaderCompile, &stageCompile, &stageCompile}) {
        expected.insert(expected.end(), part->begin(), part->end());
    }
    expected.insert(expected.end(), {"glLinkProgram", "glGetProgramiv", "glValidateProgram",
                                     "glGetProgramiv", "glGetError", "glUseProgram", "glGetError"});
    EXPECT_EQ(counter.names(), expected);

    // The shaders' own objects first (fragment, then vertex), then the vertex
    // and fragment stage objects.
    std::vector<GLuint> compiled;
    for (const auto& call : counter.callsOf("glCompileShader")) {
        compiled.push_back(static_cast<GLuint>(call.args[0]));
    }
    EXPECT_EQ(compiled,
              (std::vector<GLuint>{fragment->shaderId, vertex->shaderId, program->stageShaderIds[0],
                                   program->stageShaderIds[1]}));
    EXPECT_EQ(glSourceOf(program->stageShaderIds[0]), vertexText);
    EXPECT_EQ(glSourceOf(program->stageShaderIds[1]), fragmentText);
    EXPECT_EQ(glSourceOf(program->stageShaderIds[2]), "");
    EXPECT_EQ(program->stageSources[1], fragmentText);

    EXPECT_EQ(programParameter(GL_LINK_STATUS), GL_TRUE);
    EXPECT_EQ(programParameter(GL_ATTACHED_SHADERS), 2);
    EXPECT_EQ(currentProgram(), static_cast<GLint>(program->programId));
    EXPECT_TRUE(program->linked);
    EXPECT_EQ(sink.text(), "");

    // Nothing changed: the second bind only uses the program.
    program->unbind(true);
    counter.reset();
    program->bind(true);
    EXPECT_EQ(counter.names(), (Names{"glUseProgram", "glGetError"}));
    EXPECT_EQ(counter.calls()[0].args[0], program->programId);
    EXPECT_TRUE(program->bound);

    counter.reset();
    program->unbind(true);
    EXPECT_EQ(counter.names(), (Names{"glUseProgram", "glGetError"}));
    EXPECT_EQ(counter.calls()[0].args[0], 0.0);
    EXPECT_EQ(currentProgram(), 0);
    EXPECT_FALSE(program->bound);
}

TEST_F(ShaderProgramTest, ADefineChangeRecompilesAndRelinksWithoutAttachingAgain) {
    fragment->setDefine("ENABLE_BLOCKING", 1);
    program->bind(true);
    program->unbind(true);

    fragment->setDefine("ENABLE_BLOCKING", 1);
    {
        GLCallCounter counter;
        program->bind(true);
        EXPECT_EQ(counter.count("glLinkProgram"), 0);
        program->unbind(true);
    }

    fragment->setDefine("ENABLE_BLOCKING", 0);
    GLCallCounter counter;
    program->bind(true);
    // The fragment shader's own object, then both stages: every link
    // rebuilds every used stage.
    EXPECT_EQ(counter.count("glCompileShader"), 3);
    EXPECT_EQ(counter.count("glAttachShader"), 0);
    EXPECT_EQ(counter.count("glLinkProgram"), 1);
    EXPECT_EQ(glSourceOf(program->stageShaderIds[1]),
              std::string("#define ENABLE_BLOCKING 0\n") + fragmentText);
    EXPECT_EQ(programParameter(GL_LINK_STATUS), GL_TRUE);
    EXPECT_EQ(programParameter(GL_ATTACHED_SHADERS), 2);
}

TEST_F(ShaderProgramTest, AShaderWithoutMainLeadsItsListsAndGivesTheIncludeBase) {
    dir.write("lib/color.glsl", "vec4 fromLib() { return vec4(0.25); }\n");
    dir.write("color.glsl", "vec4 fromLib() { return vec4(0.75); }\n");
    // Main written with a blank before the parenthesis does not count as one.
    ShaderGLSL library(
        dir.write("lib/library.glsl", "#include \"color.glsl\"\nvoid main () {}\n").c_str(), 1);
    ShaderGLSL helper(dir.write("lib/helper.glsl", "float helper() { return 1.0; }\n").c_str(), 1);
    program->addShader(&library);
    program->addShader(&helper);

    EXPECT_EQ(program->shaders, (std::vector<Shader*>{&helper, &library, fragment, vertex}));
    EXPECT_EQ(program->stageShaders[1], (std::vector<Shader*>{&helper, &library, fragment}));
    EXPECT_EQ(program->stageSources[1],
              helper.source + "\n" + library.source + "\n\n" + fragmentText);

    program->compile();
    // Both stages resolve includes against the directory of the first
    // shader, lib/, not against the fragment shader's.
    std::string stage = glSourceOf(program->stageShaderIds[1]);
    EXPECT_NE(stage.find("vec4(0.25)"), std::string::npos) << stage;
    EXPECT_EQ(stage.find("vec4(0.75)"), std::string::npos) << stage;

    // Two main functions in the fragment stage: the link fails, reported
    // once (not again for the validation) under the first shader's name.
    EXPECT_EQ(programParameter(GL_LINK_STATUS), GL_FALSE);
    const std::string report = "CRITICAL ERROR: Program error (" + helper.path + "): ";
    std::string text = sink.text();
    ASSERT_EQ(text.compare(0, report.size(), report), 0) << text;
    EXPECT_EQ(text.find("\n" + report), std::string::npos) << text;
    EXPECT_TRUE(program->linked);
    EXPECT_TRUE(program->linkFailed);
}

TEST_F(ShaderProgramTest, RefusedShadersAreReportedAndNothingIsAdded) {
    OtherShader other;
    program->addShader(&other);
    program->addShader(nullptr);
    ShaderGLSL unknownStage(dir.write("u.glsl", fragmentText).c_str(), 7);
    drainGLErrors(); // OpenGL refuses the type 7 itself
    program->addShader(&unknownStage);
    EXPECT_EQ(sink.text(),
              "CRITICAL ERROR: ShaderProgramGLSL::addShader : passed shader is not a ShaderGLSL\n"
              "CRITICAL ERROR: ShaderProgramGLSL::addShader : passed shader is not a ShaderGLSL\n"
              "CRITICAL ERROR: ShaderProgramGLSL::addShader : shader type 7 has no stage: " +
                  unknownStage.path + "\n");
    EXPECT_EQ(program->shaders, (std::vector<Shader*>{fragment, vertex}));
    for (const auto& stage : program->stageShaders) {
        EXPECT_LE(stage.size(), 1u);
    }

    program->bind(false);
    sink.clear();
    program->addShader(&other);
    EXPECT_TRUE(program->linked) << "a refused shader does not force a relink";
}

TEST_F(ShaderProgramTest, OpenGLErrorsAreCheckedUnderTheirLabelsInOrder) {
    for (int i = 0; i < 9; ++i) {
        testsupport::queueGLError(GL_INVALID_VALUE);
    }
    program->bind(false);
    program->unbind(false);
    std::string expected;
    for (const char* label :
         {"ShaderGLSL::compile", "ShaderGLSL::compile", "MANUAL_LINK Compile",
          "MANUAL_LINK Attach Shader", "MANUAL_LINK Compile", "MANUAL_LINK Attach Shader",
          "ShaderProgramGLSL::compile", "ShaderProgramGLSL::bind", "ShaderProgramGLSL::unbind"}) {
        expected += std::string("CRITICAL ERROR: ") + label + " OpenGL Error (1281): " +
                    reinterpret_cast<const char*>(gluErrorString(GL_INVALID_VALUE)) + "\n";
    }
    EXPECT_EQ(sink.text(), expected);
    // The state changes stand.
    EXPECT_TRUE(program->linked);
    EXPECT_FALSE(program->bound);
    EXPECT_EQ(programParameter(GL_ATTACHED_SHADERS), 2);
}

TEST_F(ShaderProgramTest, UniformSettersReachTheProgramAndRestoreTheProgramInUse) {
    fragment->source =
        "uniform mat4 uMat; uniform ivec3 uInt3; uniform int uInt; uniform vec4 uVec4;\n"
        "uniform vec3 uVec3; uniform vec2 uVec2; uniform float uFloat;\n"
        "void main() { gl_FragColor = uMat * uVec4 + vec4(uVec3, uFloat) + vec4(uVec2, 0.0, 0.0)"
        " + vec4(vec3(uInt3), float(uInt)); }\n";
    fragment->dirty = true;

    const float matrix[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const int int3[3] = {-1, 2, 30};
    const float vec4[4] = {0.5f, 1.5f, 2.5f, 3.5f};
    const float vec3[3] = {4, 5, 6};
    const float vec2[2] = {7, 8};
    program->setMatrix4Param("uMat", matrix);
    EXPECT_TRUE(program->linked) << "a setter compiles and links first";
    EXPECT_EQ(currentProgram(), 0);
    program->setInt3Param("uInt3", int3);
    program->setIntParam("uInt", 42);
    program->setVec4Param("uVec4", vec4);
    program->setVec3Param("uVec3", vec3);
    program->setVec2Param("uVec2", vec2);
    program->setFloatParam("uFloat", 0.25f);
    EXPECT_EQ(currentProgram(), 0);
    program->setFloatParam("notInTheProgram", 1.0f);
    EXPECT_EQ(sink.text(), "");

    auto floats = [&](const char* name, int count) {
        float values[16] = {};
        glGetUniformfv(program->programId, glGetUniformLocation(program->programId, name), values);
        return std::vector<float>(values, values + count);
    };
    auto ints = [&](const char* name, int count) {
        int values[3] = {};
        glGetUniformiv(program->programId, glGetUniformLocation(program->programId, name), values);
        return std::vector<int>(values, values + count);
    };
    EXPECT_EQ(floats("uMat", 16), std::vector<float>(matrix, matrix + 16));
    EXPECT_EQ(ints("uInt3", 3), (std::vector<int>{-1, 2, 30}));
    EXPECT_EQ(ints("uInt", 1), std::vector<int>{42});
    EXPECT_EQ(floats("uVec4", 4), (std::vector<float>{0.5f, 1.5f, 2.5f, 3.5f}));
    EXPECT_EQ(floats("uVec3", 3), (std::vector<float>{4, 5, 6}));
    EXPECT_EQ(floats("uVec2", 2), (std::vector<float>{7, 8}));
    EXPECT_EQ(floats("uFloat", 1), std::vector<float>{0.25f});

    program->bind(true);
    program->setFloatParam("uFloat", 2.0f);
    EXPECT_EQ(currentProgram(), static_cast<GLint>(program->programId));
    EXPECT_EQ(floats("uFloat", 1), std::vector<float>{2.0f});

    // Nothing is cached: every set looks the location up again.
    GLCallCounter counter;
    program->setVec4Param("uVec4", vec4);
    program->setVec4Param("uVec4", vec4);
    EXPECT_EQ(counter.names(), (Names{"glGetUniformLocation", "glUniform4f", "glGetUniformLocation",
                                      "glUniform4f"}));
}

class SamplerTest : public ShaderProgramTest {
protected:
    void SetUp() override {
        ShaderProgramTest::SetUp();
        fragment->source = "uniform sampler2D texA;\nuniform sampler2D texB;\n"
                           "void main() { gl_FragColor = texture2D(texA, vec2(0.5)) + "
                           "texture2D(texB, vec2(0.5)); }\n";
        fragment->dirty = true;
        glGenTextures(3, textureIds);
        for (int i = 0; i < 3; ++i) {
            textures[i] = TextureRef{textureIds[i], GL_TEXTURE_2D};
        }
    }
    void TearDown() override {
        glDeleteTextures(3, textureIds);
        glActiveTexture(GL_TEXTURE0);
        ShaderProgramTest::TearDown();
    }
    GLint samplerUnit(const char* name) {
        GLint unit = -1;
        glGetUniformiv(program->programId, glGetUniformLocation(program->programId, name), &unit);
        return unit;
    }
    static GLint textureOnUnit(int unit) {
        GLint active = 0;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
        glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
        GLint texture = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        glActiveTexture(static_cast<GLenum>(active));
        return texture;
    }

    GLuint textureIds[3] = {};
    TextureRef textures[3] = {};
};

TEST_F(SamplerTest, DistinctSamplersGetUnitsInOrderAndKeepThem) {
    program->setSamplerParam("texB", &textures[0]);
    program->setSamplerParam("texA", &textures[1]);
    program->setSamplerParam("texB", &textures[2]);
    program->setSamplerParam("notASampler", &textures[0]);
    EXPECT_EQ(currentProgram(), 0);
    EXPECT_EQ(sink.text(), "");

    ASSERT_EQ(program->samplers.size(), 2u);
    GLint locationB = glGetUniformLocation(program->programId, "texB");
    const auto& entryB = program->samplers.at(locationB);
    EXPECT_EQ(entryB.name, "texB");
    EXPECT_EQ(entryB.unit, 0);
    EXPECT_EQ(entryB.texture, &textures[2]);
    EXPECT_EQ(samplerUnit("texB"), 0);
    EXPECT_EQ(samplerUnit("texA"), 1);

    program->bind(true);
    EXPECT_EQ(textureOnUnit(0), static_cast<GLint>(textureIds[2]));
    EXPECT_EQ(textureOnUnit(1), static_cast<GLint>(textureIds[1]));
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, static_cast<GLint>(GL_TEXTURE0 + program->samplers.rbegin()->second.unit));
    program->unbind(true);
    EXPECT_EQ(textureOnUnit(0), 0);
    EXPECT_EQ(textureOnUnit(1), 0);
}

TEST_F(SamplerTest, TexturesAreBoundInLocationOrderAndOnlyWhenAsked) {
    program->setSamplerParam("texA", &textures[0]);
    program->setSamplerParam("texB", &textures[1]);
    GLCallCounter counter;
    program->bind(false);
    program->unbind(false);
    EXPECT_EQ(counter.count("glActiveTexture") + counter.count("glBindTexture"), 0);

    counter.reset();
    program->bind(true);
    EXPECT_EQ(counter.names(), (Names{"glUseProgram", "glActiveTexture", "glBindTexture",
                                      "glActiveTexture", "glBindTexture", "glGetError"}));
    // The sampler with the lower location first, whatever its unit.
    const SamplerEntry& first = program->samplers.begin()->second;
    EXPECT_EQ(counter.calls()[1].args[0], GL_TEXTURE0 + first.unit);
    EXPECT_EQ(counter.calls()[2].args[1], first.texture->textureId);
    program->unbind(true);
}

TEST_F(SamplerTest, SettingASamplerWhileBoundIsReportedAndLeavesNoProgramInUse) {
    program->bind(true);
    program->setSamplerParam("texA", &textures[0]);
    EXPECT_EQ(sink.text(), "CRITICAL ERROR: setSamplerParam() called after shader binding\n");
    EXPECT_EQ(program->samplers.size(), 1u);
    EXPECT_EQ(currentProgram(), 0);
    EXPECT_TRUE(program->bound);
    program->unbind(true);
}

TEST_F(ShaderProgramTest, AttributeArraysAreFedEnabledAndReleasedByUnbind) {
    vertex->source = "attribute vec4 aPosition;\nattribute vec3 aNormal;\n"
                     "void main() { gl_Position = aPosition + vec4(aNormal, 0.0); }\n";
    vertex->dirty = true;
    program->bind(false);
    program->unbind(false);

    const Vellumar::AttribVec4 positions[3] = {};
    const Vellumar::AttribVec3 normals[3] = {};
    program->setAttrib("aPosition", positions);
    program->setAttrib("aNormal", normals);
    program->setAttrib("aMissing", normals);
    EXPECT_EQ(sink.text(), "INFO: ShaderProgramGLSL::setAttrib: attribute not found: aMissing\n");

    auto attribute = [&](const char* name, GLenum which) {
        GLint value = -1;
        glGetVertexAttribiv(static_cast<GLuint>(glGetAttribLocation(program->programId, name)),
                            which, &value);
        return value;
    };
    EXPECT_EQ(attribute("aPosition", GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE);
    EXPECT_EQ(attribute("aPosition", GL_VERTEX_ATTRIB_ARRAY_SIZE), 4);
    EXPECT_EQ(attribute("aNormal", GL_VERTEX_ATTRIB_ARRAY_SIZE), 3);
    EXPECT_EQ(attribute("aNormal", GL_VERTEX_ATTRIB_ARRAY_TYPE), GL_FLOAT);
    EXPECT_EQ(program->attributes.size(), 2u);

    program->bind(true);
    program->unbind(false);
    EXPECT_EQ(attribute("aNormal", GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE);
    program->unbind(true);
    EXPECT_EQ(attribute("aPosition", GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_FALSE);
    EXPECT_EQ(attribute("aNormal", GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_FALSE);
    EXPECT_EQ(program->attributes.size(), 2u) << "unbind empties nothing";
}

TEST_F(GLShaderFixture, FragDataLocationsTakeEffectAtTheNextLink) {
    ShaderGLSL vertex(
        dir.write("v.glsl", "#version 130\nvoid main() { gl_Position = gl_Vertex; }\n").c_str(), 0);
    ShaderGLSL fragment(dir.write("f.glsl", "#version 130\nout vec4 colorOut;\n"
                                            "void main() { colorOut = vec4(1.0); }\n")
                            .c_str(),
                        1);
    ShaderProgramGLSL program;
    program.addShader(&fragment);
    program.addShader(&vertex);
    program.bindFragDataLocation("colorOut", 3);
    program.bind(false);
    program.unbind(false);
    EXPECT_EQ(glGetFragDataLocation(program.programId, "colorOut"), 3);

    GLCallCounter counter;
    program.bindFragDataLocation("colorOut", 2);
    program.bind(false);
    program.unbind(false);
    EXPECT_EQ(counter.count("glLinkProgram"), 0);
    EXPECT_EQ(glGetFragDataLocation(program.programId, "colorOut"), 3);
    EXPECT_EQ(sink.text(), "");
}

TEST_F(GLShaderFixture, DestructionDeletesWhatTheProgramOwns) {
    GLuint owned = 0;
    GLuint stages[3] = {};
    {
        ShaderProgramGLSL program;
        owned = program.programId;
        for (int i = 0; i < 3; ++i) {
            stages[i] = program.stageShaderIds[i];
        }
        ASSERT_TRUE(glIsProgram(owned));
    }
    EXPECT_FALSE(glIsProgram(owned));
    for (GLuint stage : stages) {
        EXPECT_FALSE(glIsShader(stage));
    }

    GLuint existing = glCreateProgram();
    {
        ShaderProgramGLSL program(existing);
        EXPECT_EQ(program.getProgramId(), existing);
        EXPECT_FALSE(program.ownsProgram);
    }
    EXPECT_TRUE(glIsProgram(existing));
    glDeleteProgram(existing);
}

TEST_F(GLShaderFixture, AFailedLinkWithoutShadersReportsAnEmptyPath) {
    // An existing program object that already holds a shader which does not
    // compile: its link fails although no shader was added.
    GLuint existing = glCreateProgram();
    GLuint broken = glCreateShader(GL_FRAGMENT_SHADER);
    const char* notGlsl = "not glsl";
    glShaderSource(broken, 1, &notGlsl, nullptr);
    glCompileShader(broken);
    glAttachShader(existing, broken);
    {
        ShaderProgramGLSL program(existing);
        program.bind(true);
        program.unbind(true);
        EXPECT_TRUE(program.linked);
    }
    const std::string report = "CRITICAL ERROR: Program error (): ";
    std::string text = sink.text();
    ASSERT_EQ(text.compare(0, report.size(), report), 0) << text;
    EXPECT_EQ(text.find("CRITICAL ERROR", 1), std::string::npos) << "one report of one failure";
    glDeleteProgram(existing);
    glDeleteShader(broken);
}

// A broken build is reported once, with the compiler's log and its pauses;
// until a shader changes the program is not used, so nothing raises an OpenGL
// error or asks for another answer; a repaired shader builds again.
TEST_F(ShaderProgramTest, ABrokenBuildIsReportedOnceAndThenLeftAloneUntilRepaired) {
    testsupport::CapturedSink answers("1\n2\n3\n4\n5\n6\n7\n8\n");
    fragment->source = "this does not compile;\n";
    fragment->dirty = true;
    for (int frame = 0; frame < 3; ++frame) {
        program->bind(true);
        program->unbind(true);
    }
    const std::string text = answers.text();
    EXPECT_EQ(text.rfind("CRITICAL ERROR: Compilation error (" + fragment->path + "): ", 0), 0u)
        << text;
    EXPECT_EQ(text.find("CRITICAL ERROR", 1), std::string::npos) << text;
    EXPECT_NE(text.find("INFO: Program not linked (" + fragment->path + "): "), std::string::npos)
        << text;
    int next = 0;
    answers.input() >> next;
    EXPECT_EQ(next, 3) << "the compile report's two pauses, and none after";
    EXPECT_EQ(currentProgram(), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    fragment->source = fragmentText;
    fragment->dirty = true;
    program->bind(true);
    EXPECT_FALSE(program->linkFailed);
    EXPECT_EQ(currentProgram(), static_cast<GLint>(program->programId));
    program->unbind(true);
}

// The shader and its stage expand the same text: a cut is reported once.
TEST_F(ShaderProgramTest, AnIncludeCutIsReportedOncePerBuild) {
    dir.write("loop.glsl", "#include \"loop.glsl\"\n#include \"loop.glsl\"\n");
    fragment->setDefine("UNUSED", 1);
    fragment->source = "#include \"loop.glsl\"\n" + std::string(fragmentText);
    program->bind(false);
    program->unbind(false);
    int cuts = 0;
    const std::string text = sink.text();
    for (auto at = text.find("expandIncludes:"); at != std::string::npos;
         at = text.find("expandIncludes:", at + 1)) {
        ++cuts;
    }
    EXPECT_EQ(cuts, 1) << text;
}

// The `r` key's road: reload both shaders, then the next bind rebuilds.
TEST_F(GLShaderFixture, AStageWhoseFileWasMissingAtTheFirstLinkIsBuiltOnceTheFileExists) {
    auto* fragment = new ShaderGLSL(dir.write("frag.glsl", fragmentText).c_str(), 1);
    const std::string vertexPath = dir.path() + "late-vert.glsl";
    auto* vertex = new ShaderGLSL(vertexPath.c_str(), 0);
    auto* program = new ShaderProgramGLSL();
    program->addShader(fragment);
    program->addShader(vertex);
    program->bind(false);
    program->unbind(false);
    EXPECT_EQ(glSourceOf(program->stageShaderIds[0]), "");

    dir.write("late-vert.glsl", vertexText);
    fragment->reload();
    vertex->reload();
    EXPECT_TRUE(vertex->dirty); // no define of its own, still to be compiled
    GLCallCounter counter;
    program->bind(false);
    program->unbind(false);
    EXPECT_EQ(counter.count("glLinkProgram"), 1);
    EXPECT_EQ(glSourceOf(program->stageShaderIds[0]), vertexText);
    GLint linked = 0;
    glGetProgramiv(program->programId, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
    delete program;
    delete vertex;
    delete fragment;
}

TEST_F(ShaderProgramTest, AShaderAddedAfterTheLinkIsLinkedAtTheNextBind) {
    program->bind(false);
    program->unbind(false);
    ASSERT_TRUE(program->linked);
    ShaderGLSL library(dir.write("lib.glsl", "vec4 tint() { return vec4(1.0); }\n").c_str(), 1);
    program->addShader(&library);
    EXPECT_FALSE(program->linked);
    GLCallCounter counter;
    program->bind(false);
    program->unbind(false);
    EXPECT_EQ(counter.count("glLinkProgram"), 1);
    EXPECT_EQ(glSourceOf(program->stageShaderIds[1]).rfind(library.source, 0), 0u);
}

} // namespace
