// The program's own bars, as its init builds them, seen through the tweak-bar
// probe and driven through the program's GLUT handlers: what they are bound
// to, how they fit the window, and that their definition strings took effect.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <string>
#include <vector>

#include "BarPointer.h"
#include "GPUTestFixture.h"
#include "TweakBarProbe.h"

using namespace testsupport;

namespace {

const char* const barNames[] = {"MainOptions", "FreezyPoints", "Statistics"};

class ProgramBars : public GPUTestFrame {
protected:
    void SetUp() override {
        GPUTestFrame::SetUp();
        TwDefine(" Statistics iconified=false "); // open, as a click on its title leaves it
        runFrame(); // the bars are drawn: the layer knows where everything is
    }

    // Pointer there, press, release, as GLUT hands them to the program.
    void clickAt(int x, int y) {
        test.passiveMotion(x, y);
        test.mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y);
        test.mouse(GLUT_LEFT_BUTTON, GLUT_UP, x, y);
    }
    void dragFrom(const TwRect& r, int dx) {
        int x = testsupport::centreX(r);
        int y = testsupport::centreY(r);
        test.passiveMotion(x, y);
        test.mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y);
        for (int step = 1; step <= 10; ++step) {
            test.motion(x + dx * step / 10, y);
        }
        test.mouse(GLUT_LEFT_BUTTON, GLUT_UP, x + dx, y);
    }
};

TEST_F(ProgramBars, EveryEntryIsBoundToTheTestsOwnMembers) {
    const auto* first = reinterpret_cast<const unsigned char*>(&test);
    for (const char* name : barNames) {
        auto bar = TwInspectBar(name);
        ASSERT_TRUE(bar) << name;
        EXPECT_TRUE(bar->visible);
        for (const TwEntryInfo& e : bar->entries) {
            SCOPED_TRACE(e.label);
            if (e.kind == TwEntryKind::Button) {
                EXPECT_NE(e.callback, nullptr);
            }
            if (e.kind != TwEntryKind::ReadWrite && e.kind != TwEntryKind::ReadOnly) {
                continue;
            }
            // Inside the test object: nothing bound to a temporary.
            const auto* at = static_cast<const unsigned char*>(e.address);
            EXPECT_TRUE(at >= first && at < first + sizeof(GLAppGPUTest));
            bool builtin = e.type == TW_TYPE_BOOLCPP || e.type == TW_TYPE_INT32 ||
                           e.type == TW_TYPE_DOUBLE || e.type == TW_TYPE_CDSTRING;
            EXPECT_TRUE(builtin || !TwInspectTypeName(e.type).empty());
        }
    }
}

TEST_F(ProgramBars, EveryLabelReadsWholeInTheDefaultWindow) {
    for (const char* name : barNames) {
        testsupport::expectLabelsReadWhole(name, 512, 512);
    }
    // Stacked as defined: FreezyPoints above, MainOptions below it;
    // Statistics, open, left of FreezyPoints and clear of the lower-left
    // corner where freeze point 0 starts.
    TwRect freezy = testsupport::drawnBar("FreezyPoints");
    TwRect main = testsupport::drawnBar("MainOptions");
    TwRect statistics = testsupport::drawnBar("Statistics");
    EXPECT_LE(freezy.y + freezy.height, main.y);
    EXPECT_LE(statistics.x + statistics.width, freezy.x);
    EXPECT_LE(statistics.y + statistics.height, 512 * 2 / 3);
}

TEST_F(ProgramBars, BarsStayInsideAResizedWindowAndComeBackAfter) {
    TwRect before[] = {testsupport::drawnBar(barNames[0]), testsupport::drawnBar(barNames[1]),
                       testsupport::drawnBar(barNames[2])};
    resizeWindow(320, 240);
    runFrame();
    for (const char* name : barNames) {
        TwRect r = testsupport::drawnBar(name);
        EXPECT_GE(r.x, 0) << name;
        EXPECT_GE(r.y, 0) << name;
        EXPECT_LE(r.x + r.width, 320) << name;
        EXPECT_LE(r.y + r.height, 240) << name;
    }
    // Back to the default size, they are laid out as at start.
    resizeWindow(512, 512);
    runFrame();
    for (int i = 0; i < 3; ++i) {
        TwRect after = testsupport::drawnBar(barNames[i]);
        EXPECT_EQ((std::vector<int>{after.x, after.y, after.width, after.height}),
                  (std::vector<int>{before[i].x, before[i].y, before[i].width, before[i].height}))
            << barNames[i];
        testsupport::expectLabelsReadWhole(barNames[i], 512, 512);
    }
}

TEST_F(ProgramBars, ActiveTestKeysWrapAroundBothWays) {
    test.keyboard('a');
    EXPECT_EQ(test.curTest, TEST_SMALL_PRIMITIVES);
    test.keyboard('a');
    EXPECT_EQ(test.curTest, TEST_BIG_PRIMITIVE);
    test.keyboard('A');
    EXPECT_EQ(test.curTest, TEST_SMALL_PRIMITIVES);
    test.configMode = false; // no bars: the program's own key table
    test.keyboard('A');
    EXPECT_EQ(test.curTest, TEST_SMALL_PRIMITIVES);
}

TEST_F(ProgramBars, StructMembersKeepToTheProgramsLimits) {
    const char* group = "Primitives tilling size [y/h]";
    const TwRect unscrolled = testsupport::drawnEntry("MainOptions", group);
    clickAt(testsupport::centreX(unscrolled), testsupport::centreY(unscrolled));
    runFrame();
    // The wheel over the bar scrolls its rows until the member shows below
    // the title and above the help button.
    const int wheelDown = 4;
    TwRect bar = testsupport::drawnBar("MainOptions");
    TwRect member = testsupport::drawnEntry("MainOptions", group, "x");
    int notches = 0;
    for (; notches < 10 && member.y + member.height >= bar.y + bar.height - 30; ++notches) {
        test.mouse(wheelDown, GLUT_DOWN, bar.x + 50, bar.y + 50);
        test.mouse(wheelDown, GLUT_UP, bar.x + 50, bar.y + 50);
        runFrame();
        member = testsupport::drawnEntry("MainOptions", group, "x");
    }
    ASSERT_GT(member.y, bar.y + 25);
    ASSERT_LT(member.y + member.height, TwInspectDrawnHelpButton("MainOptions")->y);
    test.primTilingSize = {3, 3};
    dragFrom(member, -150);
    EXPECT_EQ(test.primTilingSize.x, 0); // Min=0, where an unlimited drag would go below
    EXPECT_EQ(test.primTilingSize.y, 3);
    TwRect node = testsupport::drawnEntry("MainOptions", group);
    clickAt(testsupport::centreX(node), testsupport::centreY(node)); // closed again
    for (int notch = 0; notch < notches; ++notch) {                  // and scrolled back
        test.mouse(wheelDown - 1, GLUT_DOWN, bar.x + 50, bar.y + 50);
        test.mouse(wheelDown - 1, GLUT_UP, bar.x + 50, bar.y + 50);
    }
    runFrame();
    EXPECT_FALSE(TwInspectDrawnEntry("MainOptions", group, "x"));
    EXPECT_EQ(testsupport::drawnEntry("MainOptions", group).y, unscrolled.y) << "scrolled back";
}

// Below one register the shader's array would not compile.
TEST_F(ProgramBars, TheRegisterCountCannotBeDraggedBelowOne) {
    test.numShaderRegs = 3;
    runFrame();
    dragFrom(testsupport::drawnEntry("FreezyPoints", "Num shader regs."), -150);
    EXPECT_EQ(test.numShaderRegs, 1);
}

TEST_F(ProgramBars, TheCurrentPointIsShownButNeverEdited) {
    test.curFreezePoint = 2;
    runFrame();
    dragFrom(testsupport::drawnEntry("FreezyPoints", "Current Point"), 60);
    EXPECT_EQ(test.curFreezePoint, 2);
}

TEST_F(ProgramBars, HelpTextsComeFromTheDefinitionsAndShowInTheHelpWindow) {
    EXPECT_EQ(TwInspectGlobalHelp().rfind("This Tazzle Glintmoth", 0), 0u);
    int helped = 0;
    for (const char* name : barNames) {
        auto bar = TwInspectBar(name);
        ASSERT_TRUE(bar) << name;
        for (const TwEntryInfo& e : bar->entries) {
            // help='...' in the definition string, and nowhere else.
            size_t start = e.definition.find("help='");
            std::string given =
                start == std::string::npos
                    ? ""
                    : e.definition.substr(start + 6,
                                          e.definition.find('\'', start + 6) - start - 6);
            EXPECT_EQ(e.help, given) << e.label;
            helped += given.empty() ? 0 : 1;
        }
    }
    EXPECT_EQ(helped, 15);

    auto button = TwInspectDrawnHelpButton("MainOptions");
    ASSERT_TRUE(button);
    clickAt(testsupport::centreX(*button), testsupport::centreY(*button));
    runFrame();
    auto help = TwInspectDrawnHelpWindow();
    ASSERT_TRUE(help);
    EXPECT_GE(help->x, 0);
    EXPECT_GE(help->y, 0);
    EXPECT_LE(help->x + help->width, 512);
    EXPECT_LE(help->y + help->height, 512);
    clickAt(testsupport::centreX(*button), testsupport::centreY(*button));
    runFrame();
    EXPECT_FALSE(TwInspectDrawnHelpWindow());
}

} // namespace
