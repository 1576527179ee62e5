// Tests of the start-up: the console lines, every start value, the shaders and
// their order, both bars with their entries, types and help text, the
// unit-size button; and of the application object before init.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "GPUTestFixture.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"
#include "TweakBarProbe.h"

namespace {

using namespace testsupport;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

GLint integerLimit(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

TEST_F(GPUTestFrame, StartupWritesFourLinesBeforeAnythingElse) {
    std::vector<std::string> written = lines(startupOutput());
    ASSERT_EQ(written.size(), 4u) << startupOutput();
    EXPECT_EQ(written[0], reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    EXPECT_EQ(written[1],
              "MAX 3D texture size: " + std::to_string(integerLimit(GL_MAX_3D_TEXTURE_SIZE)));
    EXPECT_EQ(written[2], "GL_MAX_TEXTURE_IMAGE_UNITS_ARB: " +
                              std::to_string(integerLimit(GL_MAX_TEXTURE_IMAGE_UNITS_ARB)));
    EXPECT_EQ(written[3], "size short vec: 6");
}

TEST_F(GPUTestFrame, InitGivesEverySettingItsStartValue) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(test.freezePoints[i].PosX, 0);
        EXPECT_EQ(test.freezePoints[i].PosY, 0);
        EXPECT_EQ(test.freezePoints[i].SizeX, 1);
        EXPECT_EQ(test.freezePoints[i].SizeY, 1);
        EXPECT_EQ(test.freezePointEnabled[i], i == 0);
        EXPECT_EQ(test.freezePointIds[i], i);
    }
    EXPECT_EQ(test.curFreezePoint, 0);
    const int corners[4][2] = {{0, 0}, {512, 0}, {512, 512}, {0, 512}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(test.bigPrimVertices[i].x, corners[i][0]);
        EXPECT_EQ(test.bigPrimVertices[i].y, corners[i][1]);
    }
    EXPECT_EQ(test.curBigPrimVertex, 0);
    EXPECT_FALSE(test.controlBigPrimitive);
    EXPECT_FALSE(test.useRegSaturation);
    EXPECT_EQ(test.numShaderRegs, 20);
    EXPECT_TRUE(test.fastMode);
    EXPECT_TRUE(test.fullScreen);
    EXPECT_TRUE(test.blockingEnable);
    EXPECT_EQ(test.curTest, 0);
    EXPECT_EQ(test.winPos.x, 512);
    EXPECT_EQ(test.winPos.y, 512);
    EXPECT_EQ(test.winSize.x, 512);
    EXPECT_EQ(test.winSize.y, 512);
    EXPECT_EQ(test.loopsCount.x, 2000000);
    EXPECT_EQ(test.loopsCount.y, 200000);
    EXPECT_EQ(test.loopsIncrement.x, 1000000);
    EXPECT_EQ(test.loopsIncrement.y, 100000);
    EXPECT_EQ(test.curPrim, GL_QUADS);
    EXPECT_EQ(test.primTilingSize.x, 32);
    EXPECT_EQ(test.primTilingSize.y, 32);
    EXPECT_EQ(test.primTilingIncrement, 1);
    EXPECT_EQ(test.primStep.x, 8);
    EXPECT_EQ(test.primSize.y, 8);
    EXPECT_EQ(test.primRedrawCount, 1);
    EXPECT_EQ(test.repPrim, 0);
    EXPECT_EQ(test.allOnOnePixel, 0);
    EXPECT_FALSE(test.drawCallPerPrimitive);
    EXPECT_EQ(test.moveMode, 1);
    EXPECT_FALSE(test.bigTriangle);
    EXPECT_TRUE(test.configMode);
    EXPECT_FALSE(test.fpsVisible);
    ASSERT_NE(test.shaderProgram, nullptr);
    ASSERT_NE(test.fragmentShader, nullptr);
    ASSERT_NE(test.vertexShader, nullptr);
    EXPECT_NE(test.mainBar, nullptr);
    EXPECT_NE(test.freezeBar, nullptr);
}

TEST_F(GPUTestFrame, ShadersComeFromTheRegisteredDirectoryInProgramOrder) {
    EXPECT_EQ(test.fragmentShader->path, "./Shaders//GPUTest_FS.glsl");
    EXPECT_EQ(test.vertexShader->path, "./Shaders//GPUTest_VS.glsl");
    EXPECT_EQ(test.fragmentShader->shaderType, 1);
    EXPECT_EQ(test.vertexShader->shaderType, 0);
    ASSERT_EQ(test.shaderProgram->shaders.size(), 2u);
    EXPECT_EQ(test.shaderProgram->shaders[0], test.fragmentShader);
    EXPECT_EQ(test.shaderProgram->shaders[1], test.vertexShader);
    EXPECT_NE(test.fragmentShader->source.find("#define NUM_FREEZE_POINTS 4\n"), std::string::npos);
    GLint window[2] = {glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT)};
    EXPECT_EQ(window[0], 512);
    EXPECT_EQ(window[1], 512);
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

struct ExpectedEntry {
    TwEntryKind kind;
    const char* label;
    const char* typeName; // "" for built-in types and for separators and buttons
    TwType builtinType;
    const void* address;
    const char* definition;
};

void expectEntries(const char* barName, const std::vector<ExpectedEntry>& expected) {
    auto bar = TwInspectBar(barName);
    ASSERT_TRUE(bar.has_value()) << barName;
    ASSERT_EQ(bar->entries.size(), expected.size()) << barName;
    for (size_t i = 0; i < expected.size(); ++i) {
        const TwEntryInfo& got = bar->entries[i];
        const ExpectedEntry& want = expected[i];
        SCOPED_TRACE(want.label);
        EXPECT_EQ(got.kind, want.kind);
        EXPECT_EQ(got.label, want.label);
        EXPECT_EQ(got.address, want.address);
        EXPECT_EQ(got.definition, want.definition);
        if (std::strlen(want.typeName) > 0) {
            EXPECT_EQ(TwInspectTypeName(got.type), want.typeName);
        } else if (want.kind == TwEntryKind::ReadWrite || want.kind == TwEntryKind::ReadOnly) {
            EXPECT_EQ(got.type, want.builtinType);
        }
    }
}

TEST_F(GPUTestFrame, MainOptionsHoldsEveryEntryBoundToItsMember) {
    const auto rw = TwEntryKind::ReadWrite;
    expectEntries(
        "MainOptions",
        {
            {rw, "Fast Mode [TAB]", "", TW_TYPE_BOOLCPP, &test.fastMode, ""},
            {rw, "Active Test [a]", "curTest", 0, &test.curTest,
             " keyIncr='a' keyDecr='A' help='Change object shape.' "},
            {rw, "Primitive type", "curPrim", 0, &test.curPrim, " "},
            {rw, "Slowdown loop cycles std [i/k] (Increment [I/K])", "", TW_TYPE_INT32,
             &test.loopsCount.y,
             "help='Number of cycles of the slowdown loop for standard pixels'"},
            {rw, "Primitives tilling size [y/h]", "Vec2i", 0, &test.primTilingSize,
             "help='Size of primitives tilling'"},
            {rw, "Primitives size", "Vec2i", 0, &test.primSize,
             "help='Size in pixels of each primitives'"},
            {rw, "Primitives step [t/g]", "Vec2i", 0, &test.primStep,
             "help='Space in pixels between two primitives positions'"},
            {rw, "Primitives redraw", "", TW_TYPE_INT32, &test.primRedrawCount, ""},
            {rw, "Primitive redraw mode", "repPrim", 0, &test.repPrim,
             "help='Chose the type of thing to redraw'"},
            {rw, "All on one pixel", "", TW_TYPE_BOOLCPP, &test.allOnOnePixel,
             "help='All primitives of a configuration are drawn on the same point'"},
            {rw, "Draw call per primitive", "", TW_TYPE_BOOLCPP, &test.drawCallPerPrimitive,
             "help='Will use a different draw call for each primitive'"},
            {rw, "Big triangle [c]", "", TW_TYPE_BOOLCPP, &test.bigTriangle,
             "help='Draw a a fully clipped triangle in big primitive mode'"},
            {rw, "Control big primitive [<]", "", TW_TYPE_BOOLCPP, &test.controlBigPrimitive,
             "help='Control vertices of the primitive in big primitive mode'"},
            {TwEntryKind::ReadOnly, "Frame primitives", "", TW_TYPE_DOUBLE,
             &test.frameWork.primitives,
             "help='Primitives the next frame sends, redraws included'"},
            {TwEntryKind::ReadOnly, "Frame loop cycles", "", TW_TYPE_DOUBLE,
             &test.frameWork.pixelCycles,
             "help='Slowdown loop cycles the next frame runs over all its pixels'"},
        });
    auto bar = TwInspectBar("MainOptions");
    EXPECT_EQ(bar->x, 350);
    EXPECT_EQ(bar->y, 300);
    EXPECT_EQ(bar->width, 250);
    EXPECT_EQ(bar->height, 260);
    EXPECT_EQ(bar->help, "Get help clicking on the bottom left help icon.");
    EXPECT_TRUE(bar->visible);
}

TEST_F(GPUTestFrame, FreezyPointsHoldsEveryEntryAndAGroupPerPoint) {
    const auto rw = TwEntryKind::ReadWrite;
    std::vector<ExpectedEntry> expected = {
        {rw, "Pixels Blocking [b]", "", TW_TYPE_BOOLCPP, &test.blockingEnable, ""},
        {rw, "Use reg. saturation", "", TW_TYPE_BOOLCPP, &test.useRegSaturation, ""},
        {rw, "Num shader regs.", "", TW_TYPE_INT32, &test.numShaderRegs, " min=1 max=256 "},
        {TwEntryKind::ReadOnly, "Current Point", "", TW_TYPE_INT32, &test.curFreezePoint, ""},
        {rw, "Slowdown loop cycles [u/j] (Increment [U/J])", "", TW_TYPE_INT32, &test.loopsCount.x,
         "help='Number of cycles of the slowdown loop for freezing pixels'"},
        {rw, "Keyboard move ctrl.", "moveMode", 0, &test.moveMode, " "},
    };
    const char* separators[] = {"Point 0", "Point 1", "Point 2", "Point 3"};
    const char* enables[] = {"Enable P0", "Enable P1", "Enable P2", "Enable P3"};
    const char* parameters[] = {"Parameters P0", "Parameters P1", "Parameters P2", "Parameters P3"};
    const char* buttons[] = {"Unit Size P0", "Unit Size P1", "Unit Size P2", "Unit Size P3"};
    for (int i = 0; i < 4; ++i) {
        expected.push_back({TwEntryKind::Separator, separators[i], "", 0, nullptr, ""});
        expected.push_back({rw, enables[i], "", TW_TYPE_BOOLCPP, &test.freezePointEnabled[i], ""});
        expected.push_back({rw, parameters[i], "Point", 0, &test.freezePoints[i], ""});
        expected.push_back({TwEntryKind::Button, buttons[i], "", 0, nullptr, ""});
    }
    expectEntries("FreezyPoints", expected);

    auto bar = TwInspectBar("FreezyPoints");
    EXPECT_EQ(bar->x, 350);
    EXPECT_EQ(bar->y, 0);
    EXPECT_EQ(bar->width, 200);
    EXPECT_EQ(bar->height, 300);
    for (int i = 0; i < 4; ++i) {
        const TwEntryInfo& button = bar->entries[6 + 4 * i + 3];
        EXPECT_EQ(button.callback, &unitSizeButtonCallback);
        EXPECT_EQ(button.clientData, &test.freezePointIds[i]);
    }
}

TEST_F(GPUTestFrame, EnumerationsAndStructTypesHaveTheirDeclaredOrderAndLayout) {
    auto main = TwInspectBar("MainOptions");
    auto freeze = TwInspectBar("FreezyPoints");
    ASSERT_TRUE(main && freeze);
    std::vector<TwEnumVal> prims = TwInspectEnumValues(main->entries[2].type);
    ASSERT_EQ(prims.size(), 4u);
    const int primValues[] = {7, 4, 1, 0};
    const char* primLabels[] = {"Quads", "Triangles", "Lines", "Points"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(prims[i].Value, primValues[i]);
        EXPECT_STREQ(prims[i].Label, primLabels[i]);
    }
    std::vector<TwEnumVal> tests = TwInspectEnumValues(main->entries[1].type);
    ASSERT_EQ(tests.size(), 2u);
    EXPECT_STREQ(tests[0].Label, "Big prim.");
    EXPECT_STREQ(tests[1].Label, "Small primitives");
    std::vector<TwEnumVal> redraws = TwInspectEnumValues(main->entries[8].type);
    ASSERT_EQ(redraws.size(), 3u);
    EXPECT_STREQ(redraws[2].Label, "Frame");
    EXPECT_EQ(redraws[2].Value, 2);
    std::vector<TwEnumVal> moves = TwInspectEnumValues(freeze->entries[5].type);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_STREQ(moves[1].Label, "Freeze points");

    TwType pointType = freeze->entries[8].type;
    EXPECT_EQ(TwInspectStructSize(pointType), sizeof(Point));
    std::vector<TwStructMember> members = TwInspectStructMembers(pointType);
    ASSERT_EQ(members.size(), 4u);
    EXPECT_STREQ(members[2].Name, "SizeX");
    EXPECT_EQ(members[2].Offset, offsetof(Point, SizeX));
    EXPECT_STREQ(members[3].DefString, " Min=0 Max=2048 Step=1 ");
    TwType vec2iType = main->entries[4].type;
    EXPECT_EQ(TwInspectStructSize(vec2iType), 8u);
    EXPECT_EQ(TwInspectStructMembers(vec2iType)[1].Offset, 4u);
}

TEST_F(GPUTestFrame, GlobalHelpIsTheToolsHelpText) {
    std::string help = TwInspectGlobalHelp();
    EXPECT_EQ(
        help.rfind("This Tazzle Glintmoth has been made to allow deep looking into GPUs "
                   "rasterisation and fragments scheduling among computing ressources.\t\t\n\n",
                   0),
        0u);
    EXPECT_NE(help.find(" Use [b] or the interface button to disable freezing.\t\t\n"),
              std::string::npos);
    EXPECT_NE(help.find("pressing [END].\t\t\n"), std::string::npos);
    const std::string ending = "through the number of loop cycles entry.";
    ASSERT_GT(help.size(), ending.size());
    EXPECT_EQ(help.substr(help.size() - ending.size()), ending);
    EXPECT_EQ(std::count(help.begin(), help.end(), '\n'), 10);
    EXPECT_EQ(std::count(help.begin(), help.end(), '\t'), 16);
}

TEST_F(GPUTestFrame, UnitSizeButtonResetsItsOwnPointOnly) {
    test.freezePoints[2] = {5, 6, 40, -7};
    test.freezePoints[1] = {1, 1, 9, 9};
    unitSizeButtonCallback(&test.freezePointIds[2]);
    EXPECT_EQ(test.freezePoints[2].SizeX, 1);
    EXPECT_EQ(test.freezePoints[2].SizeY, 1);
    EXPECT_EQ(test.freezePoints[2].PosX, 5);
    EXPECT_FALSE(test.freezePointEnabled[2]);
    EXPECT_EQ(test.freezePoints[1].SizeX, 9);
}

// An application object that counts its redisplay requests instead of making
// them; its constructor runs, its init never does.
class CountingTest : public GLAppGPUTest {
public:
    CountingTest() : GLAppGPUTest(&testArgc, testArgv, "state", 512, 512, 58) {}
    void postRedisplay() override { ++redisplays; }
    int redisplays = 0;
};

TEST(GLAppGPUTestState, ConstructorMakesItTheCurrentAndTestApplication) {
    Vellumar::currentApp = nullptr;
    testAppInstance = nullptr;
    CountingTest app;
    EXPECT_EQ(Vellumar::currentApp, &app);
    EXPECT_EQ(testAppInstance, &app);
    EXPECT_FALSE(app.leftButtonDown);
    EXPECT_FALSE(app.middleButtonDown);
    EXPECT_FALSE(app.rightButtonDown);
    EXPECT_EQ(app.displayMode, 58u);
    EXPECT_EQ(app.windowWidth, 512);
    Vellumar::currentApp = nullptr;
    testAppInstance = nullptr;
}

TEST(GLAppGPUTestState, IdleAsksForTheNextFrame) {
    CountingTest app;
    app.idle();
    app.idle();
    EXPECT_EQ(app.redisplays, 2);
    Vellumar::currentApp = nullptr;
    testAppInstance = nullptr;
}

} // namespace
