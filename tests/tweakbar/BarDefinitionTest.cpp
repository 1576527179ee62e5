#include <gtest/gtest.h>

#include "BarPointer.h"
#include "TweakBar.h"
#include "TweakBarProbe.h"

using namespace testsupport;

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

void press(void*) {}

// A refused call answers 0, and says on standard error which call and why.
void expectRefused(int answer, const CerrCapture& err, const char* call, const char* why) {
    EXPECT_EQ(answer, 0) << call << ": " << why;
    EXPECT_NE(err.text().find(std::string("tweakbar: ") + call + ": "), std::string::npos)
        << err.text();
    EXPECT_NE(err.text().find(why), std::string::npos) << err.text();
}

} // namespace

TEST_F(BarDefinition, AttributesApplyWithAnyCaseAndSeveralPerString) {
    TwNewBar("Bar");
    EXPECT_EQ(TwDefine("Bar POSITION='10 20' Size='30 40' fontsize=3 VALUESWIDTH=50 Help='a b'"),
              1);
    TwBarInfo b = bar("Bar");
    EXPECT_EQ((std::vector<int>{b.x, b.y, b.width, b.height}), (std::vector<int>{10, 20, 30, 40}));
    EXPECT_EQ(b.help, "a b");
    EXPECT_EQ(TwDefine(" Bar hide "), 1);
    EXPECT_FALSE(bar("Bar").visible);
    EXPECT_EQ(TwDefine(" Bar show "), 1);
    EXPECT_TRUE(bar("Bar").visible);
    EXPECT_EQ(TwDefine(" Bar visible=false "), 1);
    EXPECT_FALSE(bar("Bar").visible);
    EXPECT_EQ(TwDefine(" Bar visible='true' "), 1);
    EXPECT_TRUE(bar("Bar").visible);
    EXPECT_FALSE(bar("Bar").iconified);
    EXPECT_EQ(TwDefine(" Bar iconified=true "), 1);
    EXPECT_TRUE(bar("Bar").iconified);
}

TEST_F(BarDefinition, GlobalHelpKeepsItsTabsAndLineFeeds) {
    EXPECT_EQ(TwDefine(" GLOBAL help='First line.\t\t\n\n Second.' "), 1);
    EXPECT_EQ(TwInspectGlobalHelp(), "First line.\t\t\n\n Second.");
}

TEST_F(BarDefinition, BadDefinitionsAreRefusedWithAMessageAndChangeNothing) {
    TwNewBar("Bar");
    TwDefine("Bar position='10 20' help='before'");
    const std::pair<const char*, const char*> refused[] = {
        {"Nobody position='1 1'", "no bar named 'Nobody'"},
        {"Bar position='1 1' colour=red", "unknown bar attribute 'colour'"},
        {"Bar help='after' fontSize=4", "bad 'fontSize' value '4'"},
        {"Bar size='0 10'", "bad 'size'"},
        {"Bar position='1'", "bad 'position'"},
        {"Bar hide=yes", "unknown bar attribute 'hide'"},
        {"Bar visible=maybe", "bad 'visible'"},
        {"Bar iconified", "bad 'iconified' value ''"},
        {"Bar help", "bad 'help' value ''"},
        {"Bar/Entry help='x'", "entries take their attributes when they are added"},
        {"GLOBAL help='x' position='1 1'", "GLOBAL takes only help"},
        {"Bar help='unterminated", "unterminated quote"},
        {"Bar size=\"30 40\"", "only single quotes"},
    };
    for (const auto& [definition, why] : refused) {
        CerrCapture err;
        expectRefused(TwDefine(definition), err, "TwDefine", why);
    }
    CerrCapture err;
    expectRefused(TwDefine(nullptr), err, "TwDefine", "no definition");
    TwBarInfo b = bar("Bar");
    EXPECT_EQ(b.x, 10);
    EXPECT_EQ(b.y, 20);
    EXPECT_TRUE(b.visible);
    EXPECT_EQ(b.help, "before");
    EXPECT_EQ(TwInspectGlobalHelp(), "");
}

TEST_F(BarDefinition, EntriesKeepTheirDefinitionsAndHelp) {
    TwBar* b = TwNewBar("Bar");
    int count = 0;
    double mean = 1.5;
    const char* estimate = "about 3 s";
    EXPECT_EQ(TwAddVarRW(b, "count", TW_TYPE_INT32, &count, " keyIncr='a' help='Counts.' "), 1);
    EXPECT_EQ(TwAddSeparator(b, nullptr, ""), 1);
    EXPECT_EQ(TwAddSeparator(b, nullptr, ""), 1); // unnamed separators may repeat
    EXPECT_EQ(TwAddVarRO(b, "mean", TW_TYPE_DOUBLE, &mean, ""), 1);
    EXPECT_EQ(TwAddVarRO(b, "estimate", TW_TYPE_CDSTRING, &estimate, "help='Time left.'"), 1);
    EXPECT_EQ(TwAddButton(b, "go", press, &count, " key=g "), 1);
    TwBarInfo info = bar("Bar");
    ASSERT_EQ(info.entries.size(), 6u);
    EXPECT_EQ(info.entries[0].definition, " keyIncr='a' help='Counts.' ");
    EXPECT_EQ(info.entries[0].help, "Counts.");
    EXPECT_EQ(info.entries[0].address, &count);
    EXPECT_EQ(info.entries[3].kind, TwEntryKind::ReadOnly);
    EXPECT_EQ(info.entries[3].type, TW_TYPE_DOUBLE);
    EXPECT_EQ(info.entries[4].address, &estimate);
    EXPECT_EQ(info.entries[4].help, "Time left.");
    EXPECT_EQ(info.entries[5].kind, TwEntryKind::Button);
    EXPECT_EQ(info.entries[5].clientData, &count);
}

TEST_F(BarDefinition, EntriesThatDoNotFitAreRefusedWithAMessage) {
    TwBar* b = TwNewBar("Bar");
    int value = 0;
    bool flag = false;
    double mean = 0.0;
    const char* text = "";
    const Vellumar::tweakbar::PlotData plot;
    ASSERT_EQ(TwAddVarRW(b, "v", TW_TYPE_INT32, &value, " min=0 max=9 "), 1);
    struct Case {
        const char* call;
        int answer;
        const char* why;
    };
    auto cases = [&] {
        return std::vector<Case>{
            {"TwAddVarRW", TwAddVarRW(b, "v", TW_TYPE_INT32, &value, ""), "already has an entry"},
            {"TwAddVarRW", TwAddVarRW(b, "w", 12345, &value, ""), "unknown type 12345"},
            {"TwAddVarRW", TwAddVarRW(b, "x", TW_TYPE_INT32, &value, "nope=1"),
             "unknown attribute 'nope'"},
            {"TwAddVarRW", TwAddVarRW(b, "y", TW_TYPE_BOOLCPP, &flag, "step=1"),
             "'step' fits only writable int32 and float"},
            {"TwAddVarRW", TwAddVarRW(b, "z", TW_TYPE_INT32, nullptr, ""), "no variable"},
            {"TwAddVarRW", TwAddVarRW(b, "s", TW_TYPE_INT32, &value, "step=0"), "bad 'step'"},
            {"TwAddVarRW", TwAddVarRW(b, "m", TW_TYPE_INT32, &value, "min=5 max=1"),
             "no value lies between min and max"},
            {"TwAddVarRW", TwAddVarRW(b, "k", TW_TYPE_INT32, &value, "keyIncr=ab"),
             "one character"},
            {"TwAddVarRW", TwAddVarRW(b, "d", TW_TYPE_DOUBLE, &mean, ""), "use TwAddVarRO"},
            {"TwAddVarRW", TwAddVarRW(b, "t", TW_TYPE_CDSTRING, &text, ""), "use TwAddVarRO"},
            {"TwAddVarRO", TwAddVarRO(b, "r", TW_TYPE_INT32, &value, "keyIncr=r"),
             "fits only read-write values"},
            {"TwAddVarRO", TwAddVarRO(b, "q", TW_TYPE_INT32, &value, "max=3"), "'max' fits only"},
            {"TwAddVarRW", TwAddVarRW(b, "key", TW_TYPE_INT32, &value, "key=k"),
             "'key' fits only buttons"},
            {"TwAddButton", TwAddButton(b, "", press, nullptr, ""), "needs a name"},
            {"TwAddButton", TwAddButton(b, "b", nullptr, nullptr, ""), "needs a callback"},
            {"TwAddButton", TwAddButton(b, "c", press, nullptr, "keyIncr=c"), "fits only"},
            {"TwAddVarRW",
             TwAddVarRW(reinterpret_cast<TwBar*>(&value), "q", TW_TYPE_INT32, &value, ""),
             "not a bar of this context"},
            {"addPlot", Vellumar::tweakbar::addPlot(b, "p", nullptr, ""), "no plot data"},
            {"addPlot", Vellumar::tweakbar::addPlot(b, "p", &plot, "min=0"), "'min' fits only"},
        };
    };
    CerrCapture err;
    for (const Case& c : cases()) {
        EXPECT_EQ(c.answer, 0) << c.why;
        EXPECT_NE(err.text().find(std::string("tweakbar: ") + c.call + ": "), std::string::npos);
        EXPECT_NE(err.text().find(c.why), std::string::npos) << c.why << "\n" << err.text();
    }
    EXPECT_EQ(bar("Bar").entries.size(), 1u);
}

TEST_F(BarDefinition, BarNamesAreUniqueAndPlain) {
    TwBar* first = TwNewBar("Bar");
    ASSERT_NE(first, nullptr);
    for (const char* name : {"Bar", "GLOBAL", "a/b", "", "Help##tweakbar.help", "Bar###x"}) {
        CerrCapture err;
        EXPECT_EQ(TwNewBar(name), nullptr) << name;
        EXPECT_NE(err.text().find("tweakbar: TwNewBar: "), std::string::npos) << name;
    }
    EXPECT_EQ(TwInspectBarNames(), std::vector<std::string>{"Bar"});
}

TEST_F(BarDefinition, InitStartsOverAndRefusesOtherGraphApis) {
    int value = 0;
    TwEnumVal values[] = {{0, "Zero"}, {1, "One"}};
    TwType type = TwDefineEnum("Choice", values, 2);
    TwAddVarRW(TwNewBar("Bar"), "v", type, &value, "");
    TwDefine(" GLOBAL help='x' ");
    ASSERT_EQ(TwInspectTypeName(type), "Choice");
    CerrCapture err;
    expectRefused(TwInit(static_cast<TwGraphAPI>(7), nullptr), err, "TwInit", "TW_OPENGL");
    EXPECT_EQ(TwInspectBarNames().size(), 1u); // a refused TwInit changes nothing

    ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1);
    EXPECT_TRUE(TwInspectBarNames().empty());
    EXPECT_EQ(TwInspectGlobalHelp(), "");
    EXPECT_EQ(TwInspectTypeName(type), "");
    EXPECT_TRUE(TwInspectEnumValues(type).empty());
}
