// The raw-GL baseline frame: its own program built from the tool's shader files
// with the macros the tool would set, then the frame's state, uniforms, draw
// calls, error checks, glFinish and the read of the timer's result written out
// call by call.
#include "BaselineFrame.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace testsupport {

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

GLuint compileStage(GLenum type, const std::string& text) {
    GLuint shader = glCreateShader(type);
    const char* source = text.c_str();
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        std::cerr << "baseline: a shader did not compile\n";
    }
    return shader;
}

const char* const freezeUniforms[4] = {"freezePoints[0]", "freezePoints[1]", "freezePoints[2]",
                                       "freezePoints[3]"};

} // namespace

BaselineFrame::BaselineFrame(const std::string& dir, const FrameSettings& s, GLenum buffer)
    : buffer(buffer) {
    std::string fragment = readFile(dir + "/GPUTest_FS.glsl");
    const std::string directive = "#include \"GPUTest_Common.glsl\"";
    size_t at = fragment.find(directive);
    if (at != std::string::npos) {
        fragment.replace(at, directive.size(), readFile(dir + "/GPUTest_Common.glsl"));
    }
    std::ostringstream defines;
    defines << "#define USE_BAD_LOOP 0\n";
    for (int i = 3; i >= 0; --i) {
        defines << "#define ENABLE_FREEZE_POINT_" << i << " " << (i == 0 && s.freezePoint0 ? 1 : 0)
                << "\n";
    }
    defines << "#define ENABLE_BLOCKING " << (s.blocking ? 1 : 0) << "\n";
    defines << "#define NUM_FREEZE_POINTS 4\n";

    program = glCreateProgram();
    stages[0] = compileStage(GL_VERTEX_SHADER, readFile(dir + "/GPUTest_VS.glsl"));
    stages[1] = compileStage(GL_FRAGMENT_SHADER, defines.str() + fragment);
    glAttachShader(program, stages[0]);
    glAttachShader(program, stages[1]);
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        std::cerr << "baseline: the program did not link\n";
    }
}

BaselineFrame::~BaselineFrame() {
    glDeleteProgram(program);
    glDeleteShader(stages[0]);
    glDeleteShader(stages[1]);
}

void BaselineFrame::run(const FrameSettings& s) {
    glDrawBuffer(buffer);
    GLuint queries[10];
    glGenQueries(10, queries);
    glBeginQuery(GL_TIME_ELAPSED_EXT, queries[0]);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);

    glUseProgram(program);
    glGetError();
    const float cycles[2] = {s.fastMode ? 0.0f : static_cast<float>(s.loopsCount.x),
                             s.fastMode ? 0.0f : static_cast<float>(s.loopsCount.y)};
    glUniform4f(glGetUniformLocation(program, "userParam"), cycles[0], cycles[1], 0.0f, 0.0f);
    for (int j = 0; j < 4; ++j) {
        const Point& p = j == 0 ? s.freezePoint : Point{0, 0, 1, 1};
        glUniform4f(glGetUniformLocation(program, freezeUniforms[j]), static_cast<float>(p.PosX),
                    static_cast<float>(p.PosY), static_cast<float>(p.SizeX),
                    static_cast<float>(p.SizeY));
    }
    glUniform4f(glGetUniformLocation(program, "userColor"), 1.0f, 1.0f, 0.0f, 1.0f);

    glDrawBuffer(buffer);
    glClear(GL_COLOR_BUFFER_BIT);
    glDrawBuffer(buffer);
    if (s.test == 0) {
        drawBigQuad();
    } else {
        drawSmallPrimitives(s);
    }

    glUseProgram(0);
    glGetError();
    glEndQuery(GL_TIME_ELAPSED_EXT);
    glFlush();
    glFinish();
    // The tool reads its frame's timer once, for its statistics.
    GLint64 nanoseconds = 0;
    glGetQueryObjecti64vEXT(queries[0], GL_QUERY_RESULT, &nanoseconds);
    glGetError();
    glDeleteQueries(10, queries);
    glDisable(GL_DEPTH_TEST);
}

void BaselineFrame::drawBigQuad() {
    glBegin(GL_QUADS);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glVertex4f(-1.0f, -1.0f, -1.0f, 1.0f);
    glVertex4f(1.0f, -1.0f, -1.0f, 1.0f);
    glVertex4f(1.0f, 1.0f, -1.0f, 1.0f);
    glVertex4f(-1.0f, 1.0f, -1.0f, 1.0f);
    glEnd();
}

void BaselineFrame::emit(int mode, float x, float y, float sx, float sy) {
    switch (mode) {
    case GL_POINTS: glVertex4f(x, y, -1.0f, 1.0f); break;
    case GL_QUADS:
        glVertex4f(x, y, -1.0f, 1.0f);
        glVertex4f(x + sx, y, -1.0f, 1.0f);
        glVertex4f(x + sx, y + sy, -1.0f, 1.0f);
        glVertex4f(x, y + sy, -1.0f, 1.0f);
        break;
    default:
        // The benchmark scenarios draw only points and quads.
        break;
    }
}

void BaselineFrame::drawSmallPrimitives(const FrameSettings& s) {
    const float half = 256.0f;
    const float tileX = static_cast<float>(s.tile.x) * (2.0f / 512.0f);
    const float tileY = static_cast<float>(s.tile.y) * (2.0f / 512.0f);
    const float sx = static_cast<float>(s.size.x) / half, sy = static_cast<float>(s.size.y) / half;
    if (!s.perPrimitive) {
        glBegin(s.primitive);
    }
    int row = 0;
    for (float y = -1.0f; y < 1.0f; y += tileY, ++row) {
        int column = 0;
        for (float x = -1.0f; x < 1.0f; x += tileX, ++column) {
            const bool green = (row + column) % 2 == 0;
            if (!s.perPrimitive) {
                glColor4f(0.0f, green ? 1.0f : 0.0f, green ? 0.0f : 1.0f, 1.0f);
            }
            for (int c = 0; c < s.tile.y; c += s.step.y) {
                for (int b = 0; b < s.tile.x; b += s.step.x) {
                    const float px = x + static_cast<float>(b) / half;
                    const float py = y + static_cast<float>(c) / half;
                    if (!s.perPrimitive) {
                        emit(s.primitive, px, py, sx, sy);
                        continue;
                    }
                    glUseProgram(program);
                    glGetError();
                    glBegin(s.primitive);
                    glColor4f(0.0f, green ? 1.0f : 0.0f, green ? 0.0f : 1.0f, 1.0f);
                    emit(s.primitive, px, py, sx, sy);
                    glEnd();
                    glUseProgram(0);
                    glGetError();
                }
            }
        }
    }
    if (!s.perPrimitive) {
        glEnd();
    }
}

} // namespace testsupport
