#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "BarPointer.h"
#include "GLTestWindow.h"
#include "TweakBar.h"
#include "TweakBarProbe.h"

using namespace testsupport;

namespace {

struct Point {
    int PosX, PosY, SizeX, SizeY;
};

// What the bar is bound to.
struct Values {
    bool blocking = true;
    bool saturation = false;
    int regs = 20;
    int current = 0;
    int flag = 0;
    int move = 1;
    Point point = {0, 0, 1, 1};
    int presses = 0;
    float gain = 0.0f;
    int whole = 1;
    double mean = 2.5;
    const char* estimate = "about 3 s";
};

void unitSize(void* clientData) {
    Values& v = *static_cast<Values*>(clientData);
    v.point.SizeX = v.point.SizeY = 1;
    ++v.presses;
}

// One bar of every kind of entry in a 512 x 512 window, drawn once.
class Interaction : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ensureGLWindow();
        ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1);
        TwWindowSize(512, 512);
        TwGLUTModifiersFunc(fakeModifiers);
        TwEnumVal moves[] = {{0, "Window"}, {1, "Freeze points"}};
        const char* limits = " Min=0 Max=2048 Step=1 ";
        TwStructMember members[] = {{"PosX", TW_TYPE_INT32, offsetof(Point, PosX), limits},
                                    {"PosY", TW_TYPE_INT32, offsetof(Point, PosY), limits},
                                    {"SizeX", TW_TYPE_INT32, offsetof(Point, SizeX), limits},
                                    {"SizeY", TW_TYPE_INT32, offsetof(Point, SizeY), limits}};
        pointType = TwDefineStruct("Point", members, 4, sizeof(Point), nullptr, nullptr);
        TwBar* bar = TwNewBar("Bar");
        TwAddVarRW(bar, "Blocking", TW_TYPE_BOOLCPP, &v.blocking, "");
        TwAddVarRW(bar, "Saturation", TW_TYPE_BOOLCPP, &v.saturation, "");
        TwAddVarRW(bar, "Regs", TW_TYPE_INT32, &v.regs, "");
        TwAddVarRO(bar, "Current", TW_TYPE_INT32, &v.current, "");
        TwAddVarRW(bar, "Flag", TW_TYPE_BOOLCPP, &v.flag, "");
        TwAddVarRW(bar, "Move", TwDefineEnum("Move", moves, 2), &v.move, " keyIncr=m ");
        TwAddVarRW(bar, "Point", pointType, &v.point, "");
        TwAddButton(bar, "Unit size", unitSize, &v, "");
        TwAddVarRW(bar, "Gain", TW_TYPE_FLOAT, &v.gain, " min=0 max=1 step=0.25 ");
        TwAddVarRW(bar, "Whole", TW_TYPE_INT32, &v.whole, " min=0.5 max=2.5 ");
        TwAddVarRO(bar, "Mean", TW_TYPE_DOUBLE, &v.mean, "");
        TwAddVarRO(bar, "Estimate", TW_TYPE_CDSTRING, &v.estimate, "");
        TwDefine(" Bar position='40 20' size='300 480' valuesWidth=120 ");
        TwDraw();
        handle = bar;
    }

    void openPoint() {
        click(drawnEntry("Bar", "Point"));
        TwDraw();
    }

    Values v;
    TwType pointType = TW_TYPE_UNDEF;
    TwBar* handle = nullptr;
};

} // namespace

TEST_F(Interaction, EventsOnABarAreTakenAndOthersAreNot) {
    TwRect bar = drawnBar("Bar");
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

    // A bar hidden since the last frame takes nothing, without a draw.
    TwDefine(" Bar visible=false ");
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutDown, x, y), 0);
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutUp, x, y), 0);
    EXPECT_EQ(TwEventMouseMotionGLUT(x, y), 0);
}

TEST_F(Interaction, TheFirstPixelRightOfOrBelowABarIsTheProgramsAndLeavesTheBarAlone) {
    TwRect bar = drawnBar("Bar");
    ASSERT_EQ((std::vector<int>{bar.x, bar.y, bar.width, bar.height}),
              (std::vector<int>{40, 20, 300, 480}));
    int right = bar.x + bar.width;
    int bottom = bar.y + bar.height;
    int inside = bar.y + 60;
    EXPECT_EQ(TwEventMouseMotionGLUT(right - 1, inside), 1);
    EXPECT_EQ(TwEventMouseMotionGLUT(right, inside), 0);
    EXPECT_EQ(TwEventMouseMotionGLUT(bar.x + 60, bottom - 1), 1);
    EXPECT_EQ(TwEventMouseMotionGLUT(bar.x + 60, bottom), 0);
    EXPECT_EQ(TwEventMouseMotionGLUT(right, bottom), 0);
    // Pressed there and dragged away, the bar neither takes nor follows.
    for (auto [x, y] :
         {std::pair(right, inside), std::pair(bar.x + 60, bottom), std::pair(right, bottom)}) {
        EXPECT_EQ(TwEventMouseButtonGLUT(0, glutDown, x, y), 0) << x << "," << y;
        for (int d = 5; d <= 40; d += 5) {
            EXPECT_EQ(TwEventMouseMotionGLUT(x + d, y - d), 0);
        }
        EXPECT_EQ(TwEventMouseButtonGLUT(0, glutUp, x + 40, y - 40), 0);
        TwDraw();
        TwRect after = drawnBar("Bar");
        EXPECT_EQ((std::vector<int>{after.x, after.y, after.width, after.height}),
                  (std::vector<int>{40, 20, 300, 480}));
    }
}

TEST_F(Interaction, ClickingACheckboxWritesTheBoundBool) {
    click(drawnEntry("Bar", "Saturation"));
    EXPECT_TRUE(v.saturation);
    TwDraw();
    EXPECT_TRUE(v.saturation);
    click(drawnEntry("Bar", "Saturation"));
    EXPECT_FALSE(v.saturation);
    EXPECT_TRUE(v.blocking); // its neighbour untouched
}

TEST_F(Interaction, ABoolViewOfAnIntegerFlagWritesOnlyItsFirstByte) {
    v.flag = 0x100; // first byte 0: shown as off
    click(drawnEntry("Bar", "Flag"));
    EXPECT_EQ(v.flag, 0x101);
    v.flag = 1;
    click(drawnEntry("Bar", "Flag"));
    EXPECT_EQ(v.flag, 0);
}

TEST_F(Interaction, PressesAndReleasesBetweenTwoFramesAreAllApplied) {
    v.point = {3, 4, 50, 60};
    // Between two draws: a checkbox click, then a button click.
    click(drawnEntry("Bar", "Blocking"));
    click(drawnEntry("Bar", "Unit size"));
    EXPECT_FALSE(v.blocking);
    EXPECT_EQ(v.presses, 1);
    EXPECT_EQ(v.point.SizeX, 1);
    EXPECT_EQ(v.point.SizeY, 1);
    EXPECT_EQ(v.point.PosX, 3);
    TwDraw();
    EXPECT_EQ(v.presses, 1);
}

TEST_F(Interaction, AReleaseThatNeverCameNeitherClicksNorSwallowsTheNextClick) {
    TwRect first = drawnEntry("Bar", "Saturation");
    TwEventMouseMotionGLUT(centreX(first), centreY(first));
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutDown, centreX(first), centreY(first)), 1);
    click(drawnEntry("Bar", "Blocking"));
    EXPECT_FALSE(v.saturation);
    EXPECT_FALSE(v.blocking);

    // Pressed again where it was pressed: one click, not two.
    int x = centreX(first);
    int y = centreY(first);
    TwEventMouseMotionGLUT(x, y);
    TwEventMouseButtonGLUT(0, glutDown, x, y);
    TwEventMouseButtonGLUT(0, glutDown, x, y);
    TwEventMouseButtonGLUT(0, glutUp, x, y);
    EXPECT_TRUE(v.saturation);
}

TEST_F(Interaction, ReadOnlyEntriesCannotBeEdited) {
    v.current = -1;
    for (const char* label : {"Current", "Mean"}) {
        TwRect field = drawnEntry("Bar", label);
        click(field, 2);
        EXPECT_EQ(TwEventKeyboardGLUT('7', 0, 0), 0) << label;
        EXPECT_EQ(TwEventMouseButtonGLUT(0, glutDown, centreX(field), centreY(field)), 1);
        for (int dx = 2; dx <= 40; dx += 2) {
            TwEventMouseMotionGLUT(centreX(field) + dx, centreY(field));
        }
        TwEventMouseButtonGLUT(0, glutUp, centreX(field) + 40, centreY(field));
    }
    TwDraw();
    EXPECT_EQ(v.current, -1);
    EXPECT_EQ(v.mean, 2.5);

    // A read-only group still opens to show its members, which stay fixed.
    Point watched{1, 2, 3, 4};
    TwAddVarRO(TwNewBar("Watch"), "Watched", pointType, &watched, "");
    TwDefine(" Watch position='350 0' size='160 200' ");
    TwDraw();
    click(drawnEntry("Watch", "Watched"));
    TwDraw();
    click(drawnEntry("Watch", "Watched", "SizeX"), 2);
    EXPECT_EQ(TwEventKeyboardGLUT('9', 0, 0), 0);
    EXPECT_EQ(watched.SizeX, 3);
}

TEST_F(Interaction, ReadOnlyDoublesAndStringsShowTheirCurrentValue) {
    TwRect mean = drawnEntry("Bar", "Mean");
    TwRect estimate = drawnEntry("Bar", "Estimate");
    EXPECT_GT(mean.width, 0);
    EXPECT_GT(estimate.width, 0);
    // A longer text is laid out again at the next frame.
    v.estimate = "about 3 s, give or take a minute or two, on a slow machine";
    TwDraw();
    EXPECT_GT(drawnEntry("Bar", "Estimate").height, estimate.height);
    v.estimate = nullptr; // shown as empty
    TwDraw();
    EXPECT_TRUE(TwInspectDrawnLabel("Bar", "Estimate"));
    v.estimate = "about 2 s";
    TwDraw();
    EXPECT_EQ(drawnEntry("Bar", "Estimate").height, estimate.height);
}

TEST_F(Interaction, LimitsApplyToEditsInTheBarOnly) {
    v.point = {10, 20, -5, 40}; // a negative size set by a key
    openPoint();
    TwDraw();
    EXPECT_EQ(v.point.SizeX, -5); // shown, not corrected

    typeInto(drawnEntry("Bar", "Point", "SizeX"), "5000");
    EXPECT_EQ(v.point.SizeX, 2048);
    typeInto(drawnEntry("Bar", "Point", "SizeX"), "-7");
    EXPECT_EQ(v.point.SizeX, 0);
}

TEST_F(Interaction, IntegersWithFractionalLimitsTakeOnlyTheWholeNumbersInside) {
    typeInto(drawnEntry("Bar", "Whole"), "7");
    EXPECT_EQ(v.whole, 2);
    typeInto(drawnEntry("Bar", "Whole"), "0");
    EXPECT_EQ(v.whole, 1);
    // Dragged far either way, it stops at those numbers.
    TwRect field = drawnEntry("Bar", "Whole");
    for (int direction : {1, -1}) {
        int x = centreX(field);
        int y = centreY(field);
        TwEventMouseMotionGLUT(x, y);
        TwEventMouseButtonGLUT(0, glutDown, x, y);
        for (int step = 1; step <= 20; ++step) {
            TwEventMouseMotionGLUT(x + direction * 5 * step, y);
        }
        TwEventMouseButtonGLUT(0, glutUp, x + direction * 100, y);
        EXPECT_EQ(v.whole, direction > 0 ? 2 : 1);
    }
}

TEST_F(Interaction, StructMembersAreWrittenAtTheirOffsets) {
    openPoint();
    const char* names[] = {"PosX", "PosY", "SizeX", "SizeY"};
    int row = -1;
    for (int i = 0; i < 4; ++i) {
        TwRect member = drawnEntry("Bar", "Point", names[i]);
        EXPECT_GT(member.y, row); // one row each, in order
        row = member.y;
        typeInto(member, std::to_string(101 + i));
    }
    EXPECT_EQ(v.point.PosX, 101);
    EXPECT_EQ(v.point.PosY, 102);
    EXPECT_EQ(v.point.SizeX, 103);
    EXPECT_EQ(v.point.SizeY, 104);
    EXPECT_EQ(v.regs, 20);
}

TEST_F(Interaction, AnEnumerationListStoresTheNumberOfTheChosenLabel) {
    click(drawnEntry("Bar", "Move"));
    TwDraw(); // the list shows from the next frame on
    TwRect window = drawnEntry("Bar", "Move", "Window");
    TwRect freeze = drawnEntry("Bar", "Move", "Freeze points");
    EXPECT_GT(freeze.y, window.y);
    click(window);
    EXPECT_EQ(v.move, 0);
    TwDraw();
    click(drawnEntry("Bar", "Move"));
    TwDraw();
    click(drawnEntry("Bar", "Move", "Freeze points"));
    EXPECT_EQ(v.move, 1);
}

TEST_F(Interaction, TheRightButtonClosesAnOpenListAndTheMiddleButtonDoesNot) {
    // Of the three buttons only ImGui's right one closes a list clicked
    // beside it: this pins which GLUT button reaches it as which.
    constexpr int glutMiddle = 1;
    constexpr int glutRight = 2;
    auto clickOnTitle = [](int glutButton) {
        const TwRect bar = drawnBar("Bar");
        const int x = bar.x + 60;
        const int y = bar.y + 6;
        TwEventMouseMotionGLUT(x, y);
        EXPECT_EQ(TwEventMouseButtonGLUT(glutButton, glutDown, x, y), 1);
        EXPECT_EQ(TwEventMouseButtonGLUT(glutButton, glutUp, x, y), 1);
        TwDraw();
    };
    click(drawnEntry("Bar", "Move"));
    TwDraw();
    ASSERT_TRUE(TwInspectDrawnEntry("Bar", "Move", "Window"));
    clickOnTitle(glutMiddle);
    EXPECT_TRUE(TwInspectDrawnEntry("Bar", "Move", "Window"));
    clickOnTitle(glutRight);
    EXPECT_FALSE(TwInspectDrawnEntry("Bar", "Move", "Window"));
    EXPECT_EQ(v.move, 1);
}

TEST_F(Interaction, DraggingANumberChangesIt) {
    TwRect field = drawnEntry("Bar", "Regs");
    int x = centreX(field);
    int y = centreY(field);
    TwEventMouseMotionGLUT(x, y);
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutDown, x, y), 1);
    for (int dx = 2; dx <= 30; dx += 2) {
        EXPECT_EQ(TwEventMouseMotionGLUT(x + dx, y), 1);
    }
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutUp, x + 30, y), 1);
    EXPECT_GT(v.regs, 30);
    EXPECT_LE(v.regs, 50);
}

TEST_F(Interaction, AFloatWithBothLimitsIsASliderThatKeepsToItsSteps) {
    TwRect slider = drawnEntry("Bar", "Gain");
    for (auto [share, expected] : {std::pair(0.7, 0.75f), std::pair(0.4, 0.5f),
                                   std::pair(0.05, 0.0f), std::pair(0.99, 1.0f)}) {
        clickAt(slider.x + static_cast<int>(share * slider.width), centreY(slider));
        EXPECT_FLOAT_EQ(v.gain, expected) << share;
    }
}

TEST_F(Interaction, KeysGoToAFieldOnlyWhileItIsEdited) {
    TwRect field = drawnEntry("Bar", "Regs");
    EXPECT_EQ(TwEventKeyboardGLUT('5', 0, 0), 0);
    click(field, 2);
    EXPECT_EQ(TwEventKeyboardGLUT('m', 0, 0), 1); // typed, not the shortcut
    EXPECT_EQ(v.move, 1);
    EXPECT_EQ(TwEventKeyboardGLUT(8, 0, 0), 1); // backspace
    EXPECT_EQ(TwEventKeyboardGLUT('4', 0, 0), 1);
    EXPECT_EQ(TwEventKeyboardGLUT(13, 0, 0), 1);
    EXPECT_EQ(v.regs, 4);
    EXPECT_EQ(TwEventKeyboardGLUT('m', 0, 0), 1); // the shortcut again
    EXPECT_EQ(v.move, 0);
    EXPECT_EQ(TwEventKeyboardGLUT('5', 0, 0), 0);
}

TEST_F(Interaction, APressOffTheBarsEndsAnEdit) {
    click(drawnEntry("Bar", "Regs"), 2);
    EXPECT_EQ(TwEventKeyboardGLUT('9', 0, 0), 1);
    EXPECT_EQ(clickAt(450, 450), std::make_pair(0, 0));
    EXPECT_EQ(TwEventKeyboardGLUT('5', 0, 0), 0); // the program's key again
    EXPECT_EQ(TwEventKeyboardGLUT('m', 0, 0), 1);
    EXPECT_EQ(v.move, 0);
}

TEST_F(Interaction, BarsMoveWithTheMouseAndStayInsideTheWindow) {
    TwDefine(" Bar size='200 300' ");
    TwDraw();
    TwRect before = drawnBar("Bar");
    int x = before.x + 60;
    int y = before.y + 6; // the title
    TwEventMouseMotionGLUT(x, y);
    EXPECT_EQ(TwEventMouseButtonGLUT(0, glutDown, x, y), 1);
    for (int dx = 10; dx <= 100; dx += 10) {
        TwEventMouseMotionGLUT(x + dx, y + dx / 2);
    }
    TwEventMouseButtonGLUT(0, glutUp, x + 100, y + 50);
    TwDraw();
    TwRect moved = drawnBar("Bar");
    EXPECT_EQ(moved.x, before.x + 100);
    EXPECT_EQ(moved.y, before.y + 50);

    TwWindowSize(300, 200);
    TwDraw();
    TwRect r = drawnBar("Bar");
    EXPECT_GE(r.x, 0);
    EXPECT_GE(r.y, 0);
    EXPECT_LE(r.x + r.width, 300);
    EXPECT_LE(r.y + r.height, 200);
}

TEST_F(Interaction, TheHelpButtonOpensTheHelpWindow) {
    TwDefine(" GLOBAL help='What the tool does.' ");
    EXPECT_FALSE(TwInspectDrawnHelpWindow());
    auto button = TwInspectDrawnHelpButton("Bar");
    ASSERT_TRUE(button);
    click(*button);
    TwDraw();
    auto help = TwInspectDrawnHelpWindow();
    ASSERT_TRUE(help);
    EXPECT_EQ(TwEventMouseMotionGLUT(centreX(*help), centreY(*help)), 1);
    click(*TwInspectDrawnHelpButton("Bar"));
    TwDraw();
    EXPECT_FALSE(TwInspectDrawnHelpWindow());
}

// Folded, the bar is its title line: a press there opens it (and a quick
// second click does not fold it again), the arrow folds it, and hidden and
// shown again it is as the user left it.
TEST_F(Interaction, AFoldedBarIsItsTitleLineUntilAClickThereOpensIt) {
    TwDefine(" Bar iconified=true ");
    TwDraw();
    const TwRect title = drawnBar("Bar");
    EXPECT_LT(title.height, 30);
    EXPECT_FALSE(Vellumar::tweakbar::barOpen(handle));
    EXPECT_FALSE(TwInspectDrawnEntry("Bar", "Regs"));
    EXPECT_EQ(clickAt(title.x + 100, title.y + title.height + 5), std::make_pair(0, 0));

    const int onName = title.x + 100;
    EXPECT_EQ(clickAt(onName, centreY(title)), std::make_pair(1, 1));
    EXPECT_EQ(clickAt(onName, centreY(title)), std::make_pair(1, 1));
    TwDraw();
    EXPECT_TRUE(Vellumar::tweakbar::barOpen(handle));
    EXPECT_FALSE(TwInspectBar("Bar")->iconified);
    EXPECT_EQ(drawnBar("Bar").height, 480);

    const int onArrow = title.x + 10;
    clickAt(onArrow, centreY(title));
    TwDraw();
    EXPECT_TRUE(TwInspectBar("Bar")->iconified);
    TwDefine(" Bar hide ");
    TwDraw();
    TwDefine(" Bar show ");
    TwDraw();
    EXPECT_EQ(drawnBar("Bar").height, title.height);
    EXPECT_FALSE(Vellumar::tweakbar::barOpen(handle));
}
