#include <gtest/gtest.h>

#include "BarPointer.h"
#include "GLTestWindow.h"
#include "ProgramBars.h"
#include "TweakBar.h"
#include "TweakBarProbe.h"

using namespace tweakbartest;

namespace {

// The program's bars in a 512 x 512 window, drawn once. FreezyPoints is
// made tall enough to show its first point group whole.
class Interaction : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ensureGLWindow();
        ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1);
        TwWindowSize(512, 512);
        TwGLUTModifiersFunc(fakeModifiers);
        types = buildProgramBars(s);
        TwDefine(" FreezyPoints size='200 500' ");
        TwDraw();
    }

    // MainOptions out from under FreezyPoints.
    void mainOptionsAlone() {
        TwDefine(" MainOptions position='0 0' size='300 400' ");
        TwDraw();
    }

    void openGroup(const char* label) {
        click(drawnEntry("FreezyPoints", label));
        TwDraw();
    }

    ProgramSettings s;
    ProgramTypes types{};
};

} // namespace

TEST_F(Interaction, EventsOnABarAreTakenAndOthersAreNot) {
    TwRect bar = drawnBar("FreezyPoints");
    int x = bar.x + 20;
    int y = bar.y + 40;
    EXPECT_EQ(TwEventMouseMotionGLUT(x, y), 1);
    EXPECT_EQ(TwEventMouseMotionGLUT(bar.x - 10, y), 0);
    EXPECT_EQ(clickAt(x, y), std::make_pair(1, 1));
    EXPECT_EQ(clickAt(bar.x - 10, y), std::make_pair(0, 0));

    // A release belongs to whoever took its press, wherever it happens.
    EXPECT_EQ(TwEventMouseButtonGLUT(2, glutDown, x, y), 1);
    EXPECT_EQ(TwEventMouseMotionGLUT(5, 5), 1); // the bar's drag goes on outside it
    EXPECT_EQ(TwEventMouseButtonGLUT(2, glutUp, 5, 5), 1);
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutDown, 5, 5), 0);
    EXPECT_EQ(TwEventMouseMotionGLUT(x, y), 0); // the program's drag passes over the bar
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutUp, x, y), 0);

    TwDefine(" FreezyPoints hide ");
    TwDraw();
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutDown, x, y), 0);
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutUp, x, y), 0);
    EXPECT_EQ(TwEventMouseMotionGLUT(x, y), 0);
}

TEST_F(Interaction, ClickingACheckboxWritesTheBoundBool) {
    click(drawnEntry("FreezyPoints", "Use reg. saturation"));
    EXPECT_TRUE(s.useRegSaturation);
    TwDraw();
    EXPECT_TRUE(s.useRegSaturation);
    click(drawnEntry("FreezyPoints", "Use reg. saturation"));
    EXPECT_FALSE(s.useRegSaturation);
    EXPECT_TRUE(s.blockingEnable); // its neighbour untouched
}

TEST_F(Interaction, ABoolViewOfAnIntegerFlagWritesOnlyItsFirstByte) {
    mainOptionsAlone();
    s.allOnOnePixel = 0x100; // first byte 0: shown as off
    click(drawnEntry("MainOptions", "All on one pixel"));
    EXPECT_EQ(s.allOnOnePixel, 0x101);
    s.allOnOnePixel = 1;
    click(drawnEntry("MainOptions", "All on one pixel"));
    EXPECT_EQ(s.allOnOnePixel, 0);
}

TEST_F(Interaction, PressesAndReleasesBetweenTwoFramesAreAllApplied) {
    s.freezePoints[0] = {3, 4, 50, 60};
    // Between two draws: a checkbox click, then a button click.
    click(drawnEntry("FreezyPoints", "Pixels Blocking [b]"));
    click(drawnEntry("FreezyPoints", "Unit Size P0"));
    EXPECT_FALSE(s.blockingEnable);
    EXPECT_EQ(s.unitSizePresses[0], 1);
    EXPECT_EQ(s.freezePoints[0].SizeX, 1);
    EXPECT_EQ(s.freezePoints[0].SizeY, 1);
    EXPECT_EQ(s.freezePoints[0].PosX, 3);
    TwDraw();
    EXPECT_EQ(s.unitSizePresses[0], 1);
    EXPECT_EQ(s.unitSizePresses[1], 0);
}

TEST_F(Interaction, AReleaseThatNeverCameNeitherClicksNorSwallowsTheNextClick) {
    TwRect first = drawnEntry("FreezyPoints", "Use reg. saturation");
    TwEventMouseMotionGLUT(centreX(first), centreY(first));
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutDown, centreX(first), centreY(first)), 1);
    click(drawnEntry("FreezyPoints", "Pixels Blocking [b]"));
    EXPECT_FALSE(s.useRegSaturation);
    EXPECT_FALSE(s.blockingEnable);

    // Pressed again where it was pressed: one click, not two.
    int x = centreX(first);
    int y = centreY(first);
    TwEventMouseMotionGLUT(x, y);
    TwEventMouseButtonGLUT(0, glutDown, x, y);
    TwEventMouseButtonGLUT(0, glutDown, x, y);
    TwEventMouseButtonGLUT(0, glutUp, x, y);
    EXPECT_TRUE(s.useRegSaturation);
}

TEST_F(Interaction, ReadOnlyEntriesCannotBeEdited) {
    s.curFreezePoint = -1;
    TwRect field = drawnEntry("FreezyPoints", "Current Point");
    click(field, 2);
    EXPECT_EQ(TwEventKeyboardGLUT('7', 0, 0), 0);
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutDown, centreX(field), centreY(field)), 1);
    for (int dx = 2; dx <= 40; dx += 2) {
        TwEventMouseMotionGLUT(centreX(field) + dx, centreY(field));
    }
    TwEventMouseButtonGLUT(0, glutUp, centreX(field) + 40, centreY(field));
    TwDraw();
    EXPECT_EQ(s.curFreezePoint, -1);

    // A read-only group still opens to show its members, which stay fixed.
    Point watched{1, 2, 3, 4};
    TwBar* watch = TwNewBar("Watch");
    TwAddVarRO(watch, "Watched", types.point, &watched, "");
    TwDefine(" Watch position='0 0' size='250 200' ");
    TwDraw();
    click(drawnEntry("Watch", "Watched"));
    TwDraw();
    click(drawnEntry("Watch", "Watched", "SizeX"), 2);
    EXPECT_EQ(TwEventKeyboardGLUT('9', 0, 0), 0);
    EXPECT_EQ(watched.SizeX, 3);
}

TEST_F(Interaction, LimitsApplyToEditsInTheBarOnly) {
    s.freezePoints[0] = {10, 20, -5, 40}; // a negative size set by a key
    openGroup("Parameters P0");
    TwDraw();
    EXPECT_EQ(s.freezePoints[0].SizeX, -5); // shown, not corrected

    typeInto(drawnEntry("FreezyPoints", "Parameters P0", "SizeX"), "5000");
    EXPECT_EQ(s.freezePoints[0].SizeX, 2048);
    typeInto(drawnEntry("FreezyPoints", "Parameters P0", "SizeX"), "-7");
    EXPECT_EQ(s.freezePoints[0].SizeX, 0);
}

TEST_F(Interaction, StructMembersAreWrittenAtTheirOffsets) {
    openGroup("Parameters P0");
    const char* names[] = {"PosX", "PosY", "SizeX", "SizeY"};
    int row = -1;
    for (int i = 0; i < 4; ++i) {
        TwRect member = drawnEntry("FreezyPoints", "Parameters P0", names[i]);
        EXPECT_GT(member.y, row); // one row each, in order
        row = member.y;
        typeInto(member, std::to_string(101 + i));
    }
    EXPECT_EQ(s.freezePoints[0].PosX, 101);
    EXPECT_EQ(s.freezePoints[0].PosY, 102);
    EXPECT_EQ(s.freezePoints[0].SizeX, 103);
    EXPECT_EQ(s.freezePoints[0].SizeY, 104);
    EXPECT_EQ(s.freezePoints[1].PosX, 0);
    EXPECT_EQ(s.freezePoints[1].SizeX, 1);
}

TEST_F(Interaction, AnEnumerationListStoresTheNumberOfTheChosenLabel) {
    click(drawnEntry("FreezyPoints", "Keyboard move ctrl."));
    TwDraw(); // the list shows from the next frame on
    click(drawnEntry("FreezyPoints", "Keyboard move ctrl.", "Window"));
    EXPECT_EQ(s.moveMode, 0);

    mainOptionsAlone();
    click(drawnEntry("MainOptions", "Primitive type"));
    TwDraw();
    TwRect quads = drawnEntry("MainOptions", "Primitive type", "Quads");
    TwRect lines = drawnEntry("MainOptions", "Primitive type", "Lines");
    EXPECT_GT(lines.y, quads.y);
    click(lines);
    EXPECT_EQ(s.curPrim, 1);
}

TEST_F(Interaction, DraggingANumberChangesIt) {
    TwRect field = drawnEntry("FreezyPoints", "Num shader regs.");
    int x = centreX(field);
    int y = centreY(field);
    TwEventMouseMotionGLUT(x, y);
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutDown, x, y), 1);
    for (int dx = 2; dx <= 30; dx += 2) {
        EXPECT_EQ(TwEventMouseMotionGLUT(x + dx, y), 1);
    }
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutUp, x + 30, y), 1);
    EXPECT_GT(s.numShaderRegs, 30);
    EXPECT_LE(s.numShaderRegs, 50);
}

TEST_F(Interaction, KeysGoToAFieldOnlyWhileItIsEdited) {
    TwRect field = drawnEntry("FreezyPoints", "Num shader regs.");
    EXPECT_EQ(TwEventKeyboardGLUT('5', 0, 0), 0);
    click(field, 2);
    EXPECT_EQ(TwEventKeyboardGLUT('a', 0, 0), 1); // typed, not the shortcut
    EXPECT_EQ(s.curTest, 0);
    EXPECT_EQ(TwEventKeyboardGLUT('6', 0, 0), 1);
    EXPECT_EQ(TwEventKeyboardGLUT(8, 0, 0), 1); // backspace
    EXPECT_EQ(TwEventKeyboardGLUT('4', 0, 0), 1);
    EXPECT_EQ(TwEventKeyboardGLUT(13, 0, 0), 1);
    EXPECT_EQ(s.numShaderRegs, 4);
    EXPECT_EQ(TwEventKeyboardGLUT('a', 0, 0), 1); // the shortcut again
    EXPECT_EQ(s.curTest, 1);
    EXPECT_EQ(TwEventKeyboardGLUT('5', 0, 0), 0);
}

TEST_F(Interaction, BarsMoveWithTheMouseAndStayInsideTheWindow) {
    TwDefine(" FreezyPoints size='200 300' ");
    TwDraw();
    TwRect before = drawnBar("FreezyPoints");
    int x = before.x + 60;
    int y = before.y + 6; // the title
    TwEventMouseMotionGLUT(x, y);
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutDown, x, y), 1);
    for (int dx = 10; dx <= 100; dx += 10) {
        TwEventMouseMotionGLUT(x - dx, y + dx / 2);
    }
    TwEventMouseButtonGLUT(0, glutUp, x - 100, y + 50);
    TwDraw();
    TwRect moved = drawnBar("FreezyPoints");
    EXPECT_EQ(moved.x, before.x - 100);
    EXPECT_EQ(moved.y, before.y + 50);

    TwWindowSize(300, 200);
    TwDraw();
    for (const char* name : {"FreezyPoints", "MainOptions"}) {
        TwRect r = drawnBar(name);
        EXPECT_GE(r.x, 0) << name;
        EXPECT_GE(r.y, 0) << name;
        EXPECT_LE(r.x + r.width, 300) << name;
        EXPECT_LE(r.y + r.height, 200) << name;
    }
}

TEST_F(Interaction, TheHelpButtonOpensTheHelpWindow) {
    EXPECT_FALSE(TwInspectDrawnHelpWindow());
    auto button = TwInspectDrawnHelpButton("FreezyPoints");
    ASSERT_TRUE(button);
    click(*button);
    TwDraw();
    auto help = TwInspectDrawnHelpWindow();
    ASSERT_TRUE(help);
    EXPECT_EQ(TwEventMouseMotionGLUT(centreX(*help), centreY(*help)), 1);
    click(*TwInspectDrawnHelpButton("FreezyPoints"));
    TwDraw();
    EXPECT_FALSE(TwInspectDrawnHelpWindow());
}
