#include <gtest/gtest.h>

#include "ProgramBars.h"
#include "TweakBar.h"
#include "TweakBarProbe.h"

using namespace tweakbartest;

namespace {

class BarDefinition : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1); }

    TwBarInfo bar(const char* name) {
        auto info = TwInspectBar(name);
        EXPECT_TRUE(info) << name;
        return info.value_or(TwBarInfo{});
    }
};

} // namespace

TEST_F(BarDefinition, TheProgramsInterfaceIsBuiltAsWritten) {
    ProgramSettings s;
    ProgramTypes t = buildProgramBars(s);

    EXPECT_EQ(TwInspectBarNames(), (std::vector<std::string>{"MainOptions", "FreezyPoints"}));
    EXPECT_EQ(TwInspectGlobalHelp().substr(0, 26), "This Tazzle Glintmoth has ");
    EXPECT_NE(TwInspectGlobalHelp().find("\t\t\n Drawn primitives"), std::string::npos);

    TwBarInfo main = bar("MainOptions");
    EXPECT_TRUE(main.visible);
    EXPECT_EQ((std::vector<int>{main.x, main.y, main.width, main.height}),
              (std::vector<int>{350, 300, 250, 260}));
    EXPECT_EQ(main.help, "Get help clicking on the bottom left help icon.");
    ASSERT_EQ(main.entries.size(), 13u);
    const TwEntryInfo& active = main.entries[1];
    EXPECT_EQ(active.label, "Active Test [a]");
    EXPECT_EQ(active.type, t.curTest);
    EXPECT_EQ(active.address, &s.curTest);
    EXPECT_EQ(active.definition, " keyIncr='a' keyDecr='A' help='Change object shape.' ");
    EXPECT_EQ(active.help, "Change object shape.");
    EXPECT_EQ(main.entries[3].address, &s.loopsCount.y);
    EXPECT_EQ(main.entries[4].type, t.vec2i);
    EXPECT_EQ(main.entries[9].label, "All on one pixel");
    EXPECT_EQ(main.entries[9].type, TW_TYPE_BOOLCPP);
    EXPECT_EQ(main.entries[9].address, &s.allOnOnePixel);

    TwBarInfo freezy = bar("FreezyPoints");
    EXPECT_EQ((std::vector<int>{freezy.x, freezy.y, freezy.width, freezy.height}),
              (std::vector<int>{350, 0, 200, 300}));
    ASSERT_EQ(freezy.entries.size(), 6u + 4u * 4u);
    EXPECT_EQ(freezy.entries[3].kind, TwEntryKind::ReadOnly);
    EXPECT_EQ(freezy.entries[3].address, &s.curFreezePoint);
    for (int i = 0; i < 4; ++i) {
        const TwEntryInfo* group = &freezy.entries[6 + 4 * i];
        std::string n = std::to_string(i);
        EXPECT_EQ(group[0].kind, TwEntryKind::Separator);
        EXPECT_EQ(group[0].label, "Point " + n);
        EXPECT_EQ(group[0].type, TW_TYPE_UNDEF);
        EXPECT_EQ(group[1].label, "Enable P" + n);
        EXPECT_EQ(group[1].address, &s.freezePointEnabled[i]);
        EXPECT_EQ(group[2].label, "Parameters P" + n);
        EXPECT_EQ(group[2].type, t.point);
        EXPECT_EQ(group[2].address, &s.freezePoints[i]);
        EXPECT_EQ(group[3].kind, TwEntryKind::Button);
        EXPECT_EQ(group[3].label, "Unit Size P" + n);
        EXPECT_EQ(group[3].clientData, &s.freezePointIds[i]);
        ASSERT_NE(group[3].callback, nullptr);
    }
    // The stored callback and client data are the ones the program gave.
    s.freezePoints[2] = {5, 5, 40, 40};
    freezy.entries[6 + 4 * 2 + 3].callback(freezy.entries[6 + 4 * 2 + 3].clientData);
    EXPECT_EQ(s.freezePoints[2].SizeX, 1);
    EXPECT_EQ(s.freezePoints[2].SizeY, 1);
    EXPECT_EQ(s.freezePoints[2].PosX, 5);
}

TEST_F(BarDefinition, AttributesApplyWithAnyCaseAndSeveralPerString) {
    TwNewBar("Bar");
    EXPECT_EQ(TwDefine("Bar POSITION='10 20' Size=\"30 40\" fontsize=3 VALUESWIDTH=50 Help=`a b`"), 1);
    TwBarInfo b = bar("Bar");
    EXPECT_EQ((std::vector<int>{b.x, b.y, b.width, b.height}), (std::vector<int>{10, 20, 30, 40}));
    EXPECT_EQ(b.help, "a b");
    EXPECT_EQ(TwDefine(" Bar hide "), 1);
    EXPECT_FALSE(bar("Bar").visible);
    EXPECT_EQ(TwDefine(" Bar show "), 1);
    EXPECT_TRUE(bar("Bar").visible);
}

TEST_F(BarDefinition, AnythingUnknownOrMalformedReturnsZeroAndChangesNothing) {
    TwNewBar("Bar");
    TwDefine("Bar position='10 20' help='before'");
    const char* rejected[] = {
        "Nobody position='1 1'",            // unknown bar
        "Bar position='1 1' colour=red",    // unknown attribute after a good one
        "Bar help='after' fontSize=4",      // value out of range
        "Bar size='0 10'",                  // empty size
        "Bar position='1'",                 // half a pair
        "Bar hide=yes",                     // flag with a value
        "Bar/Nothing help='x'",             // unknown entry
        "GLOBAL help='x' position='1 1'",   // GLOBAL knows only help
        "Bar help='unterminated",
    };
    for (const char* definition : rejected) {
        EXPECT_EQ(TwDefine(definition), 0) << definition;
    }
    EXPECT_EQ(TwDefine(nullptr), 0);
    TwBarInfo b = bar("Bar");
    EXPECT_EQ(b.x, 10);
    EXPECT_EQ(b.y, 20);
    EXPECT_TRUE(b.visible);
    EXPECT_EQ(b.help, "before");
    EXPECT_EQ(TwInspectGlobalHelp(), "");
}

TEST_F(BarDefinition, EntriesAreAddressedThroughTheirBar) {
    ProgramSettings s;
    buildProgramBars(s);
    EXPECT_EQ(TwDefine("'MainOptions/Slowdown loop cycles std [i/k] (Increment [I/K])' help='new' "
                       "keyIncr=i max=10"),
              1);
    EXPECT_EQ(bar("MainOptions").entries[3].help, "new");
    // Limits fit numbers only; shortcuts fit no struct.
    EXPECT_EQ(TwDefine("'MainOptions/Fast Mode [TAB]' min=0"), 0);
    EXPECT_EQ(TwDefine("'FreezyPoints/Parameters P0' key=p"), 0);
    EXPECT_EQ(TwDefine("'MainOptions/Primitives redraw' min=5 max=1"), 0);
}

TEST_F(BarDefinition, BadEntriesAreNotAdded) {
    TwBar* b = TwNewBar("Bar");
    int value = 0;
    bool flag = false;
    EXPECT_EQ(TwAddVarRW(b, "v", TW_TYPE_INT32, &value, " min=0 max=9 "), 1);
    EXPECT_EQ(TwAddVarRW(b, "v", TW_TYPE_INT32, &value, ""), 0);           // name taken
    EXPECT_EQ(TwAddVarRW(b, "w", 12345, &value, ""), 0);                   // unknown type
    EXPECT_EQ(TwAddVarRW(b, "x", TW_TYPE_INT32, &value, "nope=1"), 0);     // unknown attribute
    EXPECT_EQ(TwAddVarRW(b, "y", TW_TYPE_BOOLCPP, &flag, "step=1"), 0);    // limit on a bool
    EXPECT_EQ(TwAddVarRW(b, "z", TW_TYPE_INT32, nullptr, ""), 0);          // nothing bound
    EXPECT_EQ(TwAddButton(b, "", nullptr, nullptr, ""), 0);
    EXPECT_EQ(TwAddSeparator(b, nullptr, ""), 1);
    EXPECT_EQ(TwAddSeparator(b, nullptr, ""), 1); // unnamed separators may repeat
    EXPECT_EQ(TwAddVarRW(reinterpret_cast<TwBar*>(&value), "q", TW_TYPE_INT32, &value, ""), 0);
    EXPECT_EQ(bar("Bar").entries.size(), 3u);
}

TEST_F(BarDefinition, ANewBarWithATakenNameIsThatBarEmptied) {
    TwBar* first = TwNewBar("Bar");
    int value = 0;
    TwAddVarRW(first, "v", TW_TYPE_INT32, &value, "");
    TwDefine("Bar position='5 5' hide");
    EXPECT_EQ(TwNewBar("Bar"), first);
    TwBarInfo b = bar("Bar");
    EXPECT_TRUE(b.entries.empty());
    EXPECT_TRUE(b.visible);
    EXPECT_EQ(TwNewBar("GLOBAL"), nullptr);
    EXPECT_EQ(TwNewBar("a/b"), nullptr);
    EXPECT_EQ(TwNewBar(""), nullptr);
}

TEST_F(BarDefinition, InitStartsOver) {
    ProgramSettings s;
    ProgramTypes t = buildProgramBars(s);
    ASSERT_EQ(TwInspectTypeName(t.curTest), "curTest");
    ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1);
    EXPECT_TRUE(TwInspectBarNames().empty());
    EXPECT_EQ(TwInspectGlobalHelp(), "");
    EXPECT_EQ(TwInspectTypeName(t.curTest), "");
    EXPECT_TRUE(TwInspectEnumValues(t.curTest).empty());
}
