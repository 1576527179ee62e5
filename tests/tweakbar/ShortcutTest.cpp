#include <gtest/gtest.h>

#include <string>

#include "ProgramBars.h"
#include "TweakBar.h"

using namespace tweakbartest;

namespace {

class Shortcut : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1);
        TwWindowSize(512, 512);
        buildProgramBars(s);
    }
    ProgramSettings s;
};

void press(void* counter) { ++*static_cast<int*>(counter); }

} // namespace

TEST_F(Shortcut, AKeyOfAVisibleBarIsTakenAndAppliedAtOnce) {
    EXPECT_EQ(TwEventKeyboardGLUT('a', 0, 0), 1);
    EXPECT_EQ(s.curTest, 1);
    EXPECT_EQ(TwEventKeyboardGLUT('a', 0, 0), 1);
    EXPECT_EQ(s.curTest, 0); // two values: wraps back
    EXPECT_EQ(TwEventKeyboardGLUT('A', 0, 0), 1);
    EXPECT_EQ(s.curTest, 1);
}

TEST_F(Shortcut, OtherKeysAreTheProgramsAndChangeNothing) {
    ProgramSettings before = s;
    for (char key : std::string("bq \tix\x1b")) {
        EXPECT_EQ(TwEventKeyboardGLUT(static_cast<unsigned char>(key), 0, 0), 0) << int(key);
    }
    EXPECT_EQ(s.curTest, before.curTest);
    EXPECT_EQ(s.fastMode, before.fastMode);
    EXPECT_EQ(s.loopsCount.y, before.loopsCount.y);
}

TEST_F(Shortcut, AHiddenBarTakesNoKeys) {
    TwDefine(" MainOptions hide ");
    EXPECT_EQ(TwEventKeyboardGLUT('a', 0, 0), 0);
    EXPECT_EQ(s.curTest, 0);
    TwDefine(" MainOptions show ");
    EXPECT_EQ(TwEventKeyboardGLUT('a', 0, 0), 1);
    EXPECT_EQ(s.curTest, 1);
}

TEST_F(Shortcut, NumbersMoveByTheirStepInsideTheirLimits) {
    TwBar* bar = TwNewBar("Keys");
    int count = 5;
    TwAddVarRW(bar, "count", TW_TYPE_INT32, &count, " keyIncr=+ keyDecr=- step=4 min=0 max=10 ");
    EXPECT_EQ(TwEventKeyboardGLUT('+', 0, 0), 1);
    EXPECT_EQ(count, 9);
    EXPECT_EQ(TwEventKeyboardGLUT('+', 0, 0), 1);
    EXPECT_EQ(count, 10);
    count = 30; // set elsewhere, outside the limits
    EXPECT_EQ(TwEventKeyboardGLUT('-', 0, 0), 1);
    EXPECT_EQ(count, 10);

    float f = 0.0f;
    TwAddVarRW(bar, "f", TW_TYPE_FLOAT, &f, " key=F ");
    EXPECT_EQ(TwEventKeyboardGLUT('F', 0, 0), 1);
    EXPECT_FLOAT_EQ(f, 1.0f); // step 1 by default
}

TEST_F(Shortcut, ReadOnlyEntriesIgnoreTheirKeysAndButtonsArePressed) {
    TwBar* bar = TwNewBar("Keys");
    int shown = 3;
    TwAddVarRO(bar, "shown", TW_TYPE_INT32, &shown, " keyIncr=z ");
    EXPECT_EQ(TwEventKeyboardGLUT('z', 0, 0), 0);
    EXPECT_EQ(shown, 3);

    int presses = 0;
    TwAddButton(bar, "button", press, &presses, " key=SPACE ");
    EXPECT_EQ(TwEventKeyboardGLUT(' ', 0, 0), 1);
    EXPECT_EQ(presses, 1);
}

TEST_F(Shortcut, MembersOfAGroupHaveTheirOwnShortcuts) {
    TwStructMember members[] = {{"x", TW_TYPE_INT32, 0, " keyIncr=x min=0 max=3 "},
                                {"y", TW_TYPE_INT32, 4, " keyDecr=y "}};
    TwType pair = TwDefineStruct("Pair", members, 2, 8, nullptr, nullptr);
    Vec2i value{2, 0};
    TwAddVarRW(TwNewBar("Keys"), "pair", pair, &value, "");
    EXPECT_EQ(TwEventKeyboardGLUT('x', 0, 0), 1);
    EXPECT_EQ(TwEventKeyboardGLUT('x', 0, 0), 1); // held at its max
    EXPECT_EQ(TwEventKeyboardGLUT('y', 0, 0), 1);
    EXPECT_EQ(value.x, 3);
    EXPECT_EQ(value.y, -1);
}
