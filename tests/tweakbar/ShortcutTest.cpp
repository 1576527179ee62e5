#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "TweakBar.h"

namespace {

class Shortcut : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1);
        TwWindowSize(512, 512);
        bar = TwNewBar("Keys");
    }

    int key(char c) { return TwEventKeyboardGLUT(static_cast<unsigned char>(c), 0, 0); }

    TwBar* bar = nullptr;
};

void press(void* counter) { ++*static_cast<int*>(counter); }

} // namespace

TEST_F(Shortcut, AnEnumerationStepsInDeclaredOrderAndWrapsBothWays) {
    TwEnumVal prims[] = {{7, "Quads"}, {4, "Triangles"}, {1, "Lines"}, {0, "Points"}};
    int prim = 7;
    TwAddVarRW(bar, "prim", TwDefineEnum("curPrim", prims, 4), &prim, " keyIncr=p keyDecr=P ");
    std::string seen;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(key('p'), 1);
        seen += std::to_string(prim);
    }
    EXPECT_EQ(seen, "41074");
    EXPECT_EQ(key('P'), 1);
    EXPECT_EQ(prim, 7);
    EXPECT_EQ(key('P'), 1);
    EXPECT_EQ(prim, 0); // wrapped backwards

    // A value set elsewhere with no label enters the list at an end.
    prim = 99;
    key('p');
    EXPECT_EQ(prim, 7);
    prim = 99;
    key('P');
    EXPECT_EQ(prim, 0);
}

TEST_F(Shortcut, NumbersMoveByTheirStepInsideTheirLimits) {
    int count = 5;
    TwAddVarRW(bar, "count", TW_TYPE_INT32, &count, " keyIncr=+ keyDecr=- step=4 min=0 max=10 ");
    EXPECT_EQ(key('+'), 1);
    EXPECT_EQ(count, 9);
    EXPECT_EQ(key('+'), 1);
    EXPECT_EQ(count, 10);
    count = 30; // set elsewhere, outside the limits
    EXPECT_EQ(key('-'), 1);
    EXPECT_EQ(count, 10);

    int unbounded = INT32_MAX;
    TwAddVarRW(bar, "unbounded", TW_TYPE_INT32, &unbounded, " keyIncr=u ");
    key('u');
    EXPECT_EQ(unbounded, INT32_MAX); // held at the end of the range, never wrapped

    float f = 0.5f;
    TwAddVarRW(bar, "f", TW_TYPE_FLOAT, &f, " keyIncr=F step=0.25 min=-1 max=1 ");
    key('F');
    EXPECT_FLOAT_EQ(f, 0.75f);
    key('F');
    key('F');
    EXPECT_FLOAT_EQ(f, 1.0f);
}

TEST_F(Shortcut, FractionalLimitsOfIntegersRoundInward) {
    int n = 0;
    TwAddVarRW(bar, "n", TW_TYPE_INT32, &n, " keyIncr=+ keyDecr=- min=0.5 max=2.5 ");
    key('-');
    EXPECT_EQ(n, 1); // 0 is below 0.5: the lowest whole number inside is 1
    key('+');
    EXPECT_EQ(n, 2);
    key('+');
    EXPECT_EQ(n, 2); // 3 is above 2.5
    n = -7;
    key('+');
    EXPECT_EQ(n, 1);

    // Limits with no whole number between them leave nothing to choose.
    int m = 0;
    EXPECT_EQ(TwAddVarRW(bar, "m", TW_TYPE_INT32, &m, " min=0.2 max=0.8 "), 0);
    EXPECT_EQ(TwAddVarRW(bar, "m", TW_TYPE_INT32, &m, " min=-1.5 max=-1.2 "), 0);
    EXPECT_EQ(TwAddVarRW(bar, "m", TW_TYPE_INT32, &m, " min=-1.5 max=-0.5 keyDecr=_ "), 1);
    key('_');
    EXPECT_EQ(m, -1);
}

TEST_F(Shortcut, BoolsToggleOnlyTheirFirstByte) {
    // A 32-bit flag shown as a bool: the bar writes 1 or 0 into its first
    // byte and leaves the others alone.
    std::uint32_t flag = 0xABCD0000u;
    TwAddVarRW(bar, "flag", TW_TYPE_BOOLCPP, &flag, " keyIncr=f ");
    EXPECT_EQ(key('f'), 1);
    EXPECT_EQ(flag, 0xABCD0001u);
    EXPECT_EQ(key('f'), 1);
    EXPECT_EQ(flag, 0xABCD0000u);
}

TEST_F(Shortcut, OnlyVisibleBarsTakeKeysAndOtherKeysAreThePrograms) {
    TwEnumVal tests[] = {{0, "Big prim."}, {1, "Small primitives"}};
    int test = 0;
    TwAddVarRW(bar, "test", TwDefineEnum("curTest", tests, 2), &test, " keyIncr='a' keyDecr='A' ");
    for (char c : std::string("bq \tix\x1b")) {
        EXPECT_EQ(key(c), 0) << int(c);
    }
    EXPECT_EQ(test, 0);
    TwDefine(" Keys hide ");
    EXPECT_EQ(key('a'), 0);
    TwDefine(" Keys visible=true ");
    EXPECT_EQ(key('a'), 1);
    EXPECT_EQ(test, 1);
    TwDefine(" Keys visible=false ");
    EXPECT_EQ(key('A'), 0);
    EXPECT_EQ(test, 1);
}

TEST_F(Shortcut, AButtonIsPressedByItsKeyInsideTheEvent) {
    int presses = 0;
    TwAddButton(bar, "button", press, &presses, " key=g ");
    EXPECT_EQ(key('g'), 1);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(key('G'), 0); // case matters
    EXPECT_EQ(presses, 1);
}
