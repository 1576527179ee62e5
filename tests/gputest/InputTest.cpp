// Tests of the keyboard, mouse and reshape handling in test mode (and of what
// the bars take first in configuration mode): the key table, wrapping
// arithmetic, the move modes, the window-size dialogue, picking and drags.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <sstream>

#include "GPUTestFixture.h"
#include "GLTestWindow.h"
#include "TweakBarProbe.h"

namespace {

using namespace testsupport;

// Input handling in test mode, where the bars see nothing.
class Input : public GPUTestModeFrame {
protected:
    void keys(const char* typed) {
        for (const char* c = typed; *c; ++c) {
            test.keyboard(static_cast<unsigned char>(*c));
        }
    }
    // The pointer at window pixel (x, y) counted from the lower-left corner,
    // in the top-left GLUT coordinates the handlers receive.
    void press(int button, int x, int y) {
        test.mouse(button, GLUT_DOWN, x, test.windowHeight - y);
    }
    void release(int button, int x, int y) {
        test.mouse(button, GLUT_UP, x, test.windowHeight - y);
    }
    void drag(int x, int y) { test.motion(x, test.windowHeight - y); }
};

// Replaces standard input while alive.
class StdinFrom {
public:
    explicit StdinFrom(const std::string& text)
        : input(text), previous(std::cin.rdbuf(input.rdbuf())) {
        std::cin.clear();
    }
    ~StdinFrom() {
        std::cin.rdbuf(previous);
        std::cin.clear();
    }

private:
    std::istringstream input;
    std::streambuf* previous;
};

TEST_F(Input, LoopKeysStepByTheirIncrementsAndIncrementsScaleByTen) {
    keys("uu");
    EXPECT_EQ(test.loopsCount.x, 4000000);
    keys("jjjjj");
    EXPECT_EQ(test.loopsCount.x, -1000000); // nothing clamps
    keys("ik");
    EXPECT_EQ(test.loopsCount.y, 200000);
    keys("UJJ");
    EXPECT_EQ(test.loopsIncrement.x, 100000);
    keys("KKKKKKI");
    EXPECT_EQ(test.loopsIncrement.y, 0); // 0 stays 0
    keys("i");
    EXPECT_EQ(test.loopsCount.y, 200000);
}

TEST_F(Input, ArithmeticPastTheInt32RangeWrapsAround) {
    for (int i = 0; i < 40; ++i) {
        keys("U");
    }
    uint32_t expected = 1000000u;
    for (int i = 0; i < 40; ++i) {
        expected *= 10u;
    }
    EXPECT_EQ(static_cast<uint32_t>(test.loopsIncrement.x), expected);

    test.loopsCount.x = INT32_MAX;
    test.loopsIncrement.x = 1;
    keys("u");
    EXPECT_EQ(test.loopsCount.x, INT32_MIN);
    test.primTilingIncrement = 1 << 30;
    keys("Y");
    EXPECT_EQ(test.primTilingIncrement, INT32_MIN);
    keys("y");
    EXPECT_EQ(test.primTilingSize.x, static_cast<int32_t>(32u + 0x80000000u));
}

TEST_F(Input, TilingStepAndSizeKeys) {
    keys("yyh");
    EXPECT_EQ(test.primTilingSize.x, 33);
    EXPECT_EQ(test.primTilingSize.y, 33);
    keys("HY");
    EXPECT_EQ(test.primTilingIncrement, 0); // halving 1 gives 0, doubling 0 stays 0
    keys("yh");
    EXPECT_EQ(test.primTilingSize.x, 33);

    keys("GGG");
    EXPECT_EQ(test.primStep.x, 1);
    keys("G");
    EXPECT_EQ(test.primStep.y, 0);
    keys("t");
    EXPECT_EQ(test.primStep.x, 1);
    keys("T");
    EXPECT_EQ(test.primStep.y, 2);

    keys("pP");
    EXPECT_EQ(test.primSize.x, 18);
    test.primSize = {-3, 5};
    keys("M");
    EXPECT_EQ(test.primSize.x, -1); // truncated toward zero
    EXPECT_EQ(test.primSize.y, 2);
    keys("mm");
    EXPECT_EQ(test.primSize.x, -3);
}

TEST_F(Input, TogglesAndTheTestKey) {
    keys("\tf");
    EXPECT_TRUE(test.fastMode);
    keys("f");
    EXPECT_FALSE(test.fastMode);
    keys("bcd!<");
    EXPECT_FALSE(test.blockingEnable);
    EXPECT_TRUE(test.bigTriangle);
    EXPECT_TRUE(test.printStats); // the fixture starts with the report off
    EXPECT_TRUE(test.drawCallPerPrimitive);
    EXPECT_TRUE(test.controlBigPrimitive);
    keys("vv");
    EXPECT_EQ(test.allOnOnePixel, 0);
    keys("v");
    EXPECT_EQ(test.allOnOnePixel, 1);
    keys("a");
    EXPECT_EQ(test.curTest, 1);
    keys("a");
    EXPECT_EQ(test.curTest, 0);
    keys("A\x1b"); // not in the table
    EXPECT_EQ(test.curTest, 0);
}

TEST_F(Input, MoveModeTogglesAsAnIntegerFlag) {
    keys("0");
    EXPECT_EQ(test.moveMode, 0);
    test.special(GLUT_KEY_END);
    EXPECT_EQ(test.moveMode, 1);
    test.moveMode = 5;
    keys("0");
    EXPECT_EQ(test.moveMode, 0);
}

TEST_F(Input, SpaceSwitchesModesAndForcesFastMode) {
    test.configMode = true;
    test.fastMode = true;
    test.keyboard(' ');
    EXPECT_FALSE(test.configMode);
    EXPECT_FALSE(test.fastMode);
    EXPECT_FALSE(TwInspectBar("MainOptions")->visible);
    EXPECT_TRUE(TwInspectBar("FreezyPoints")->visible);
    test.keyboard('\t');
    EXPECT_TRUE(test.fastMode);
    test.keyboard(' ');
    EXPECT_TRUE(test.configMode);
    EXPECT_TRUE(test.fastMode);
    EXPECT_TRUE(TwInspectBar("MainOptions")->visible);
    test.fastMode = false;
    test.keyboard(' ');
    test.keyboard(' ');
    EXPECT_TRUE(test.fastMode);
}

TEST_F(Input, BarShortcutsTakeTheirKeysInConfigurationModeOnly) {
    test.configMode = true;
    test.keyboard('a'); // the bar's keyIncr: the key table does not run as well
    EXPECT_EQ(test.curTest, 1);
    test.keyboard('A'); // keyDecr, which the key table does not know
    EXPECT_EQ(test.curTest, 0);
    test.configMode = false;
    test.keyboard('A');
    EXPECT_EQ(test.curTest, 0);
}

TEST_F(Input, DotResetsTheCurrentFreezePointInFreezePointMode) {
    test.freezePoints[2] = {5, 5, 30, -4};
    test.curFreezePoint = 2;
    keys(".");
    EXPECT_EQ(test.freezePoints[2].SizeX, 1);
    EXPECT_EQ(test.freezePoints[2].SizeY, 1);
    test.freezePoints[2].SizeX = 9;
    test.curFreezePoint = -1;
    keys(".");
    EXPECT_EQ(test.freezePoints[2].SizeX, 9);
    test.curFreezePoint = 2;
    test.moveMode = 0;
    keys(".");
    EXPECT_EQ(test.freezePoints[2].SizeX, 9);
}

TEST_F(Input, NumberKeysMoveTheWindowInWindowMode) {
    test.moveMode = 0;
    keys("2266");
    EXPECT_EQ(test.winPos.x, 514);
    EXPECT_EQ(test.winPos.y, 514);
    keys("48");
    EXPECT_EQ(test.winPos.x, 513);
    EXPECT_EQ(test.winPos.y, 513);
    keys("1");
    EXPECT_EQ(test.winPos.x, 0);
    EXPECT_EQ(test.winPos.y, 0);
    test.moveMode = 1;
    keys("6");
    EXPECT_EQ(test.winPos.x, 0);
}

TEST_F(Input, WindowSizeDialogueReadsTwoNumbersAndKeepsWhatItCannotRead) {
    test.moveMode = 0;
    {
        StdinFrom input("300 200\n");
        CoutCapture output;
        keys("*");
        EXPECT_EQ(output.text(), "WinSize X: WinSize Y: ");
    }
    EXPECT_EQ(test.winSize.x, 300);
    EXPECT_EQ(test.winSize.y, 200);
    resizeWindow(300, 200); // the window really gets the size

    {
        // A typo keeps the width, says so, and drops its line; the height is
        // read from the next line, and the console answers the next dialogue.
        StdinFrom input("wide 250\n240\n320 180\n");
        CoutCapture output;
        keys("*");
        EXPECT_EQ(output.text(),
                  "WinSize X: expected a whole number of pixels; keeping 300\nWinSize Y: ");
        EXPECT_EQ(test.winSize.x, 300);
        EXPECT_EQ(test.winSize.y, 240);
        keys("*");
        EXPECT_EQ(test.winSize.x, 320);
        EXPECT_EQ(test.winSize.y, 180);
    }
    {
        StdinFrom input(""); // a closed console keeps both, silently
        CoutCapture output;
        keys("*");
        EXPECT_EQ(output.text(), "WinSize X: WinSize Y: ");
        EXPECT_EQ(test.winSize.x, 320);
        EXPECT_EQ(test.winSize.y, 180);
    }
    {
        // A size the GL or X cannot give keeps the window, saying why.
        StdinFrom input("40000 40000\n");
        CoutCapture output;
        keys("*");
        EXPECT_THAT(output.text(),
                    testing::MatchesRegex("WinSize X: WinSize Y: a window of 40000 x 40000 is "
                                          "larger than this GL/X allows \\(at most [0-9]+ a "
                                          "side\\); keeping 320 x 180\n"));
        EXPECT_EQ(test.winSize.x, 320);
        EXPECT_EQ(test.winSize.y, 180);
    }
    {
        StdinFrom input("-5 0\n");
        keys("*");
    }
    EXPECT_EQ(test.winSize.x, -5); // stored as typed; the window gets at least 1 x 1
    EXPECT_EQ(test.winSize.y, 0);
    for (int round = 0; round < 200 && test.windowWidth != 1; ++round) {
        testsupport::pumpGlutEvents(1);
    }
    EXPECT_EQ(test.windowWidth, 1);
    EXPECT_EQ(test.windowHeight, 1);
}

TEST_F(Input, SpecialKeysMoveAndSizeTheCurrentFreezePoint) {
    test.curFreezePoint = 1;
    const int keysPressed[] = {GLUT_KEY_LEFT,    GLUT_KEY_UP,        GLUT_KEY_UP,
                               GLUT_KEY_PAGE_UP, GLUT_KEY_HOME,      GLUT_KEY_HOME,
                               GLUT_KEY_INSERT,  GLUT_KEY_RIGHT,     GLUT_KEY_RIGHT,
                               GLUT_KEY_DOWN,    GLUT_KEY_PAGE_DOWN, GLUT_KEY_PAGE_DOWN};
    for (int key : keysPressed) {
        test.special(key);
    }
    EXPECT_EQ(test.freezePoints[1].PosX, 1);
    EXPECT_EQ(test.freezePoints[1].PosY, 1);
    EXPECT_EQ(test.freezePoints[1].SizeX, 2);
    EXPECT_EQ(test.freezePoints[1].SizeY, 0);
    EXPECT_EQ(test.freezePoints[0].SizeX, 1);

    test.curFreezePoint = -1;
    test.special(GLUT_KEY_LEFT);
    EXPECT_EQ(test.freezePoints[1].PosX, 1);
}

TEST_F(Input, SpecialKeysMoveAndSizeTheWindowInWindowMode) {
    test.special(GLUT_KEY_END);
    ASSERT_EQ(test.moveMode, 0);
    for (int key : {GLUT_KEY_RIGHT, GLUT_KEY_RIGHT, GLUT_KEY_LEFT, GLUT_KEY_DOWN, GLUT_KEY_DOWN,
                    GLUT_KEY_UP, GLUT_KEY_PAGE_DOWN, GLUT_KEY_HOME, GLUT_KEY_HOME, GLUT_KEY_INSERT,
                    GLUT_KEY_PAGE_UP, GLUT_KEY_PAGE_UP}) {
        test.special(key);
    }
    EXPECT_EQ(test.winPos.x, 513);
    EXPECT_EQ(test.winPos.y, 513);
    EXPECT_EQ(test.winSize.x, 513);
    EXPECT_EQ(test.winSize.y, 511);
    // Any other special key re-applies the saved geometry: the window gets it.
    test.special(112);
    resizeWindow(513, 511);
    EXPECT_EQ(test.freezePoints[0].PosX, 0);
}

TEST_F(Input, ButtonsPickTheNearestFreezePointWithinReach) {
    test.freezePoints[1] = {100, 100, 1, 1};
    test.freezePoints[2] = {100, 100, 1, 1}; // same corner: the lower index wins
    press(GLUT_LEFT_BUTTON, 95, 101);
    EXPECT_TRUE(test.leftButtonDown);
    EXPECT_EQ(test.curFreezePoint, 1);
    release(GLUT_LEFT_BUTTON, 1, 1);
    EXPECT_FALSE(test.leftButtonDown);
    EXPECT_EQ(test.curFreezePoint, 0); // a release picks too: 3 and 0 tie at (0, 0)

    // Every corner 512 or more away: no point is current.
    for (Point& p : test.freezePoints) {
        p = {0, 0, 1, 1};
    }
    press(GLUT_RIGHT_BUTTON, 512, 0);
    EXPECT_EQ(test.curFreezePoint, -1);
    EXPECT_TRUE(test.rightButtonDown);
    press(GLUT_RIGHT_BUTTON, 511, 0);
    EXPECT_EQ(test.curFreezePoint, 0);
    test.mouse(3, GLUT_DOWN, 1000, 1000); // a wheel button: no state, still picks
    EXPECT_EQ(test.curFreezePoint, -1);
    EXPECT_TRUE(test.rightButtonDown);
}

TEST_F(Input, DragsMoveThePickedCornerAndSizeTheFreezePoint) {
    press(GLUT_LEFT_BUTTON, 3, 2);
    drag(200, 150);
    EXPECT_EQ(test.freezePoints[0].PosX, 200);
    EXPECT_EQ(test.freezePoints[0].PosY, 150);
    release(GLUT_LEFT_BUTTON, 200, 150);

    press(GLUT_RIGHT_BUTTON, 201, 151);
    drag(150, 190);
    EXPECT_EQ(test.freezePoints[0].SizeX, -50);
    EXPECT_EQ(test.freezePoints[0].SizeY, 40);
    press(GLUT_MIDDLE_BUTTON, 150, 190); // the middle button stops the sizing
    drag(300, 300);
    EXPECT_EQ(test.freezePoints[0].SizeX, -50);
    release(GLUT_MIDDLE_BUTTON, 300, 300);
    release(GLUT_RIGHT_BUTTON, 300, 300);

    test.freezePoints[0] = {0, 0, 1, 1};
    press(GLUT_LEFT_BUTTON, 511, 511); // every corner out of reach: nothing is dragged
    EXPECT_EQ(test.curFreezePoint, -1);
    drag(10, 10);
    EXPECT_EQ(test.freezePoints[0].PosX, 0);
    release(GLUT_LEFT_BUTTON, 10, 10);
}

TEST_F(Input, WithControlBigPrimitiveTheMouseMovesQuadCorners) {
    test.controlBigPrimitive = true;
    test.curFreezePoint = 2;
    press(GLUT_LEFT_BUTTON, 500, 10);
    EXPECT_EQ(test.curBigPrimVertex, 1);
    drag(400, 30);
    EXPECT_EQ(test.bigPrimVertices[1].x, 400);
    EXPECT_EQ(test.bigPrimVertices[1].y, 30);
    EXPECT_EQ(test.curFreezePoint, 2); // left as it was
    release(GLUT_LEFT_BUTTON, 400, 30);

    // Far from every corner: corner 0 is picked all the same.
    test.bigPrimVertices[0] = {-2000, -2000};
    test.bigPrimVertices[1] = {3000, -2000};
    test.bigPrimVertices[2] = {3000, 3000};
    test.bigPrimVertices[3] = {-2000, 3000};
    press(GLUT_LEFT_BUTTON, 256, 256);
    EXPECT_EQ(test.curBigPrimVertex, 0);
    drag(5, 6);
    EXPECT_EQ(test.bigPrimVertices[0].x, 5);
    release(GLUT_LEFT_BUTTON, 5, 6);
    press(GLUT_RIGHT_BUTTON, 5, 6); // no sizing in this mode
    drag(50, 60);
    EXPECT_EQ(test.freezePoints[2].SizeX, 1);
    release(GLUT_RIGHT_BUTTON, 50, 60);
}

TEST_F(Input, ButtonsOnABarInConfigurationModePickNothing) {
    test.configMode = true;
    runFrame(); // the bars are drawn, so the layer knows where they are
    auto bar = TwInspectBar("FreezyPoints");
    ASSERT_TRUE(bar.has_value());
    test.curFreezePoint = 3;
    const int x = 500, yFromTop = 100; // inside FreezyPoints, against the right edge
    test.mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, x, yFromTop);
    test.mouse(GLUT_LEFT_BUTTON, GLUT_UP, x, yFromTop);
    EXPECT_EQ(test.curFreezePoint, 3);
    EXPECT_FALSE(test.leftButtonDown);
    test.mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 500); // off the bars: picked
    EXPECT_EQ(test.curFreezePoint, 0);
    test.mouse(GLUT_LEFT_BUTTON, GLUT_UP, 10, 500);
}

TEST_F(Input, ReshapeSetsViewportAndPerspectiveAndCopesWithZeroHeight) {
    test.reshape(400, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 400);
    EXPECT_EQ(viewport[3], 0);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (float value : projection) {
        EXPECT_TRUE(std::isfinite(value));
    }
    // aspect 400 / 1: m[0] = zNear / right = 1 / (tan(30 deg) * 400)
    EXPECT_NEAR(projection[0], 1.0 / (std::tan(3.1415927410125732 / 6.0) * 400.0), 1e-6);
    EXPECT_NEAR(projection[5], 1.0 / std::tan(3.1415927410125732 / 6.0), 1e-5);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(test.winSize.x, 512); // reshape leaves the saved geometry alone
    test.reshape(512, 512);
}

} // namespace
