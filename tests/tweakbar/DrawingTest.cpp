#include <gtest/gtest.h>

#include <GL/glew.h>

#include <array>
#include <cmath>
#include <vector>

#include "BarPointer.h"
#include "GLTestWindow.h"
#include "TweakBar.h"
#include "TweakBarProbe.h"

using namespace testsupport;

namespace {

constexpr int windowSize = 512;

class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ensureGLWindow();
        while (glGetError() != GL_NO_ERROR) {
        }
        ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1);
        TwWindowSize(windowSize, windowSize);
        glViewport(0, 0, windowSize, windowSize);
        glDrawBuffer(GL_BACK);
        glReadBuffer(GL_BACK);
    }

    static void clearWhite() {
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // The colour at a window pixel, y from the top.
    static std::array<int, 3> colour(int x, int y) {
        unsigned char rgba[4] = {};
        glReadPixels(x, windowSize - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    // Brightness (0 to 765) at a window pixel, y from the top.
    static int brightness(int x, int y) {
        const std::array<int, 3> c = colour(x, y);
        return c[0] + c[1] + c[2];
    }
};

template <size_t N>
std::array<GLint, N> integers(GLenum what) {
    std::array<GLint, N> values{};
    glGetIntegerv(what, values.data());
    return values;
}

std::array<GLfloat, 16> matrix(GLenum which) {
    std::array<GLfloat, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}

// Everything the program's frame relies on after the bars are drawn.
struct GLSnapshot {
    GLint program, activeTexture, texture2D, arrayBuffer, vertexArray, matrixMode, drawBuffer;
    GLint modelviewDepth, projectionDepth, textureDepth;
    std::array<GLfloat, 16> modelview, projection, textureMatrix;
    std::array<GLint, 4> viewport, scissor, colorMask;
    std::array<GLint, 2> polygonMode;
    GLint blendSrc, blendDst;
    std::vector<GLboolean> enables;

    static GLSnapshot take() {
        GLSnapshot s{};
        s.program = integers<1>(GL_CURRENT_PROGRAM)[0];
        s.activeTexture = integers<1>(GL_ACTIVE_TEXTURE)[0];
        s.texture2D = integers<1>(GL_TEXTURE_BINDING_2D)[0];
        s.arrayBuffer = integers<1>(GL_ARRAY_BUFFER_BINDING)[0];
        s.vertexArray = integers<1>(GL_VERTEX_ARRAY_BINDING)[0];
        s.matrixMode = integers<1>(GL_MATRIX_MODE)[0];
        s.drawBuffer = integers<1>(GL_DRAW_BUFFER)[0];
        s.modelviewDepth = integers<1>(GL_MODELVIEW_STACK_DEPTH)[0];
        s.projectionDepth = integers<1>(GL_PROJECTION_STACK_DEPTH)[0];
        s.textureDepth = integers<1>(GL_TEXTURE_STACK_DEPTH)[0];
        s.modelview = matrix(GL_MODELVIEW_MATRIX);
        s.projection = matrix(GL_PROJECTION_MATRIX);
        s.textureMatrix = matrix(GL_TEXTURE_MATRIX);
        s.viewport = integers<4>(GL_VIEWPORT);
        s.scissor = integers<4>(GL_SCISSOR_BOX);
        s.colorMask = integers<4>(GL_COLOR_WRITEMASK);
        s.polygonMode = integers<2>(GL_POLYGON_MODE);
        s.blendSrc = integers<1>(GL_BLEND_SRC)[0];
        s.blendDst = integers<1>(GL_BLEND_DST)[0];
        for (GLenum cap : {GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_SCISSOR_TEST, GL_TEXTURE_2D,
                           GL_LIGHTING, GL_ALPHA_TEST, GL_STENCIL_TEST, GL_TEXTURE_RECTANGLE}) {
            s.enables.push_back(glIsEnabled(cap));
        }
        return s;
    }
};

void expectSame(const GLSnapshot& a, const GLSnapshot& b) {
    EXPECT_EQ(a.program, b.program);
    EXPECT_EQ(a.activeTexture, b.activeTexture);
    EXPECT_EQ(a.texture2D, b.texture2D);
    EXPECT_EQ(a.arrayBuffer, b.arrayBuffer);
    EXPECT_EQ(a.vertexArray, b.vertexArray);
    EXPECT_EQ(a.matrixMode, b.matrixMode);
    EXPECT_EQ(a.drawBuffer, b.drawBuffer);
    EXPECT_EQ(a.modelviewDepth, b.modelviewDepth);
    EXPECT_EQ(a.projectionDepth, b.projectionDepth);
    EXPECT_EQ(a.textureDepth, b.textureDepth);
    EXPECT_EQ(a.modelview, b.modelview);
    EXPECT_EQ(a.projection, b.projection);
    EXPECT_EQ(a.textureMatrix, b.textureMatrix);
    EXPECT_EQ(a.viewport, b.viewport);
    EXPECT_EQ(a.scissor, b.scissor);
    EXPECT_EQ(a.colorMask, b.colorMask);
    EXPECT_EQ(a.polygonMode, b.polygonMode);
    EXPECT_EQ(a.blendSrc, b.blendSrc);
    EXPECT_EQ(a.blendDst, b.blendDst);
    EXPECT_EQ(a.enables, b.enables);
}

GLuint linkedProgram() {
    const char* vs = "void main() { gl_Position = gl_Vertex; }";
    const char* fs = "void main() { gl_FragColor = vec4(1.0); }";
    GLuint program = glCreateProgram();
    for (auto [type, text] :
         {std::make_pair(GL_VERTEX_SHADER, vs), std::make_pair(GL_FRAGMENT_SHADER, fs)}) {
        GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    return program;
}

// One entry of every kind the layer draws, bound to values that live as long
// as the test binary.
void buildEveryKindOfEntry() {
    static bool flag = true;
    static int count = 3;
    static float gain = 0.5f;
    static double mean = 2.5;
    static const char* estimate = "about 3 s";
    static int choice = 1;
    static int point[4] = {1, 2, 3, 4};
    TwEnumVal choices[] = {{0, "Window"}, {1, "Freeze points"}};
    TwStructMember members[] = {{"x", TW_TYPE_INT32, 0, " min=0 max=9 "},
                                {"y", TW_TYPE_INT32, 4, ""},
                                {"z", TW_TYPE_INT32, 8, ""},
                                {"w", TW_TYPE_INT32, 12, ""}};
    TwBar* bar = TwNewBar("Every");
    TwAddVarRW(bar, "flag", TW_TYPE_BOOLCPP, &flag, "");
    TwAddVarRW(bar, "count", TW_TYPE_INT32, &count, " min=0 max=9 ");
    TwAddVarRW(bar, "gain", TW_TYPE_FLOAT, &gain, " min=0 max=1 step=0.1 ");
    TwAddVarRW(bar, "huge", TW_TYPE_FLOAT, &gain, " min=-3e38 max=3e38 "); // wider than ImGui takes
    TwAddVarRO(bar, "mean", TW_TYPE_DOUBLE, &mean, "");
    TwAddVarRO(bar, "estimate", TW_TYPE_CDSTRING, &estimate, "");
    TwAddVarRW(bar, "choice", TwDefineEnum("Choice", choices, 2), &choice, "");
    TwAddSeparator(bar, "Group", "");
    TwAddVarRW(bar, "point", TwDefineStruct("Vec4i", members, 4, 16, nullptr, nullptr), point, "");
    TwAddButton(
        bar, "button", [](void*) {}, nullptr, "");
    TwDefine(" Every position='10 10' size='300 400' ");
}

} // namespace

TEST_F(Drawing, LeavesTheProgramsStateAsItFoundIt) {
    buildEveryKindOfEntry();
    GLuint program = linkedProgram();
    GLuint textures[2];
    glGenTextures(2, textures);
    GLuint buffer = 0;
    GLuint vertexArray = 0;
    glGenBuffers(1, &buffer);
    glGenVertexArrays(1, &vertexArray);

    // A state unlike ImGui's in every respect it could touch.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textures[0]);
    glActiveTexture(GL_TEXTURE3);
    glBindTexture(GL_TEXTURE_2D, textures[1]);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(1, 2, 3);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glFrustum(-1, 1, -1, 1, 0.01, 4.0);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glScalef(2, 2, 2);
    glViewport(10, 20, 300, 200);
    glScissor(5, 6, 7, 8);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_ONE, GL_ZERO);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glColorMask(GL_TRUE, GL_FALSE, GL_TRUE, GL_FALSE);

    GLSnapshot before = GLSnapshot::take();
    EXPECT_EQ(TwDraw(), 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    expectSame(before, GLSnapshot::take());

    for (GLenum stack : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(stack);
        glPopMatrix();
    }
    glPopAttrib();
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glActiveTexture(GL_TEXTURE0);
    glUseProgram(0);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteBuffers(1, &buffer);
    glDeleteTextures(2, textures);
    glDeleteProgram(program);
}

TEST_F(Drawing, APendingErrorStaysForTheProgram) {
    buildEveryKindOfEntry();
    glEnable(0xFFFF);
    TwDraw();
    EXPECT_EQ(glGetError(), GLenum(GL_INVALID_ENUM));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Drawing, ABarAppearsAtItsPosition) {
    int value = 0;
    TwAddVarRW(TwNewBar("Probe"), "value", TW_TYPE_INT32, &value, "");
    TwDefine(" Probe position='40 60' size='150 100' ");
    clearWhite();
    TwDraw();
    EXPECT_LT(brightness(42, 62), 300);   // just inside the top-left corner
    EXPECT_LT(brightness(187, 157), 300); // just inside the bottom-right corner
    EXPECT_EQ(brightness(37, 62), 765);   // left of it
    EXPECT_EQ(brightness(42, 57), 765);   // above it
    EXPECT_EQ(brightness(193, 100), 765); // right of it
    EXPECT_EQ(brightness(100, 163), 765); // below it

    TwDefine(" Probe hide ");
    clearWhite();
    TwDraw();
    EXPECT_EQ(brightness(100, 100), 765);
}

TEST_F(Drawing, BarsStackedForATallerWindowAreDrawnInsideIt) {
    int value = 0;
    TwAddVarRW(TwNewBar("Upper"), "value", TW_TYPE_INT32, &value, "");
    TwAddVarRW(TwNewBar("Lower"), "value", TW_TYPE_INT32, &value, "");
    TwDefine(" Upper position='350 0' size='200 300' ");
    TwDefine(" Lower position='350 300' size='250 260' ");
    clearWhite();
    TwDraw();
    // Lower would leave the window: it is drawn moved left and shortened,
    // against the window's corner and below Upper.
    EXPECT_LT(brightness(270, 505), 300);
    EXPECT_LT(brightness(508, 505), 300);
    EXPECT_EQ(brightness(258, 505), 765);
    EXPECT_EQ(brightness(270, 296), 765);
    EXPECT_LT(brightness(270, 304), 300);
    // Upper likewise, against the right edge from the top.
    EXPECT_LT(brightness(316, 4), 300);
    EXPECT_EQ(brightness(308, 4), 765);
}

TEST_F(Drawing, LabelsWrapToReadWholeInANarrowBar) {
    bool on = false;
    int regs = 20;
    int point[4] = {};
    TwStructMember members[] = {{"PosX", TW_TYPE_INT32, 0, ""}, {"PosY", TW_TYPE_INT32, 4, ""}};
    TwType type = TwDefineStruct("Pair", members, 2, 8, nullptr, nullptr);
    TwBar* bar = TwNewBar("Narrow");
    TwAddVarRW(bar, "Use reg. saturation", TW_TYPE_BOOLCPP, &on, "");
    TwAddVarRW(bar, "Num shader regs.", TW_TYPE_INT32, &regs, "");
    TwAddVarRW(bar, "Slowdown loop cycles [u/j] (Increment [U/J])", TW_TYPE_INT32, &regs, "");
    TwAddVarRW(bar, "Parameters of the first point", type, point, "");
    TwAddSeparator(bar, "A separator with a long label", "");
    TwAddButton(
        bar, "Unit Size P0", [](void*) {}, nullptr, "");
    TwDefine(" Narrow position='312 0' size='200 300' fontSize=1 valuesWidth=80 ");
    TwDraw();
    TwDraw();
    expectLabelsReadWhole("Narrow", windowSize, windowSize);
    // The longest label took several lines to do so; the button's is one line.
    auto longest = TwInspectDrawnLabel("Narrow", "Slowdown loop cycles [u/j] (Increment [U/J])");
    auto single = TwInspectDrawnLabel("Narrow", "Unit Size P0");
    ASSERT_TRUE(longest && single);
    EXPECT_GE(longest->text.height, 3 * single->text.height);

    // The same at the largest font.
    TwDefine(" Narrow fontSize=3 ");
    TwDraw();
    TwDraw();
    expectLabelsReadWhole("Narrow", windowSize, windowSize);
}

TEST_F(Drawing, BarsStayInsideTheWindowWhenItIsResized) {
    int value = 0;
    TwAddVarRW(TwNewBar("Corner"), "value", TW_TYPE_INT32, &value, "");
    TwAddVarRW(TwNewBar("Big"), "value", TW_TYPE_INT32, &value, "");
    TwDefine(" Corner position='400 400' size='100 100' ");
    TwDefine(" Big position='0 0' size='500 500' ");
    TwDraw();
    for (auto [width, height] : {std::pair(300, 200), std::pair(120, 90), std::pair(512, 512)}) {
        TwWindowSize(width, height);
        TwDraw();
        for (const char* name : {"Corner", "Big"}) {
            TwRect r = drawnBar(name);
            EXPECT_GE(r.x, 0) << name << " in " << width << "x" << height;
            EXPECT_GE(r.y, 0) << name << " in " << width << "x" << height;
            EXPECT_LE(r.x + r.width, width) << name << " in " << width << "x" << height;
            EXPECT_LE(r.y + r.height, height) << name << " in " << width << "x" << height;
        }
    }
    // Back in a window as large as before, a bar nobody moved is where its
    // definition puts it again.
    TwRect corner = drawnBar("Corner");
    EXPECT_EQ((std::vector<int>{corner.x, corner.y, corner.width, corner.height}),
              (std::vector<int>{400, 400, 100, 100}));
}

TEST_F(Drawing, FontSizeAndValuesWidthShapeTheRows) {
    int value = 0;
    TwAddVarRW(TwNewBar("Probe"), "value", TW_TYPE_INT32, &value, "");
    TwDefine(" Probe position='0 0' size='300 200' fontSize=1 valuesWidth=90 ");
    TwDraw();
    auto small = TwInspectDrawnEntry("Probe", "value");
    TwDefine(" Probe fontSize=3 valuesWidth=150 ");
    TwDraw();
    auto large = TwInspectDrawnEntry("Probe", "value");
    ASSERT_TRUE(small && large);
    EXPECT_EQ(small->width, 90);
    EXPECT_EQ(large->width, 150);
    EXPECT_GT(large->height, small->height);
}

// ImGui's plot widgets draw a plot across the bar from 0 at its bottom to
// the top given: a histogram's bars reach their values, the guide crosses at
// its value, a line runs through the values; with no values, no room taken.
TEST_F(Drawing, PlotsAreImGuisPlotWidgetsScaledFromZeroToTheirTop) {
    const float values[] = {4.0f, 0.0f, 2.0f, 0.0f};
    Vellumar::tweakbar::PlotData plot;
    plot.style = Vellumar::tweakbar::PlotStyle::Histogram;
    plot.values = values;
    plot.count = 4;
    plot.top = 8.0f;
    plot.guide = 2.0f;
    plot.caption = "top 8";
    ASSERT_TRUE(Vellumar::tweakbar::addPlot(TwNewBar("Plots"), "Times", &plot, ""));
    TwDefine(" Plots position='0 0' size='300 200' ");
    TwDraw();
    clearWhite();
    TwDraw();
    // Inside ImGui's frame padding; x at the middle of each value's column.
    const TwRect frame = drawnEntry("Plots", "Times");
    const int top = frame.y + 3;
    const int bottom = frame.y + frame.height - 4;
    const int height = bottom - top;
    auto column = [&](int i) { return frame.x + 4 + (frame.width - 8) * (2 * i + 1) / 8; };
    auto filled = [](const std::array<int, 3>& c) { return c[0] > 200 && c[1] > 140 && c[2] < 40; };
    EXPECT_TRUE(filled(colour(column(0), top + height * 5 / 8)));
    EXPECT_FALSE(filled(colour(column(0), top + height * 3 / 8)));
    EXPECT_FALSE(filled(colour(column(1), bottom - 2)));
    EXPECT_TRUE(filled(colour(column(2), top + height * 7 / 8)));
    EXPECT_FALSE(filled(colour(column(2), top + height * 5 / 8)));
    const int guideY = bottom - height / 4;
    bool guideSeen = false;
    for (int y = guideY - 2; y <= guideY + 2; ++y) {
        const std::array<int, 3> c = colour(column(1), y);
        guideSeen = guideSeen || c[0] > c[1] + 60;
    }
    EXPECT_TRUE(guideSeen);

    // As lines up to the largest value, through 0 at the left end and 4 at
    // the right end: at the middle, halfway up.
    const float rising[] = {0.0f, 4.0f};
    plot.style = Vellumar::tweakbar::PlotStyle::Lines;
    plot.values = rising;
    plot.count = 2;
    plot.top = 0.0f;
    plot.guide = std::nanf("");
    clearWhite();
    TwDraw();
    const int middleX = frame.x + frame.width / 2;
    int brightestY = 0;
    for (int y = top; y <= bottom; ++y) {
        brightestY = brightness(middleX, y) > brightness(middleX, brightestY) ? y : brightestY;
    }
    EXPECT_NEAR(brightestY, (top + bottom) / 2, 2);
    EXPECT_FALSE(filled(colour(column(0), bottom - 2)));

    plot.count = 0;
    TwDraw();
    EXPECT_FALSE(TwInspectDrawnEntry("Plots", "Times"));
    EXPECT_FALSE(TwInspectDrawnLabel("Plots", "Times"));
}

// A ramp runs across the bar from its first colour at the left end to its
// last at the right, blended in between; with no colours, no room taken.
TEST_F(Drawing, RampsRunFromTheirFirstColourOnTheLeftToTheirLastOnTheRight) {
    const unsigned char redToBlue[] = {255, 0, 0, 255, 0, 0, 255, 255};
    Vellumar::tweakbar::RampData ramp;
    ramp.rgba = redToBlue;
    ramp.count = 2;
    ramp.low = "0";
    ramp.high = "9";
    ASSERT_TRUE(Vellumar::tweakbar::addRamp(TwNewBar("Ramps"), "Colours", &ramp, ""));
    TwDefine(" Ramps position='0 0' size='300 200' ");
    TwDraw();
    clearWhite();
    TwDraw();
    const TwRect band = drawnEntry("Ramps", "Colours");
    const int y = centreY(band);
    const std::array<int, 3> left = colour(band.x + 1, y);
    const std::array<int, 3> middle = colour(centreX(band), y);
    const std::array<int, 3> right = colour(band.x + band.width - 2, y);
    EXPECT_GT(left[0], 240);
    EXPECT_LT(left[2], 15);
    EXPECT_LT(right[0], 15);
    EXPECT_GT(right[2], 240);
    EXPECT_NEAR(middle[0], 128, 10);
    EXPECT_NEAR(middle[2], 128, 10);

    ramp.count = 0;
    TwDraw();
    EXPECT_FALSE(TwInspectDrawnEntry("Ramps", "Colours"));
}
