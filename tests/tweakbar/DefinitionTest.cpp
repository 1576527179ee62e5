#include <gtest/gtest.h>

#include "Definition.h"

using namespace Vellumar::tweakbar;

namespace {

struct Split {
    bool ok;
    std::string target;
    std::vector<Attribute> attributes;
    std::string error;
};

Split split(const char* text) {
    Split s;
    s.ok = parseDefinition(text, s.target, s.attributes, s.error);
    return s;
}

} // namespace

TEST(Definition, SplitsTheTargetAndEveryAttribute) {
    Split d = split(" FreezyPoints position='350 0' size='200 300' fontSize='1'  valuesWidth=80 ");
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.target, "FreezyPoints");
    ASSERT_EQ(d.attributes.size(), 4u);
    EXPECT_EQ(d.attributes[0].name, "position");
    EXPECT_EQ(d.attributes[0].value, "350 0");
    EXPECT_EQ(d.attributes[1].value, "200 300");
    EXPECT_EQ(d.attributes[2].value, "1");
    EXPECT_EQ(d.attributes[3].name, "valuesWidth");
    EXPECT_EQ(d.attributes[3].value, "80");
    EXPECT_TRUE(d.attributes[3].hasValue);
}

TEST(Definition, QuotedValuesKeepBlanksTabsLineFeedsAndOtherQuotes) {
    Split d = split("GLOBAL help='say \"hi\"\tthere\n\n now `x`' ");
    ASSERT_TRUE(d.ok) << d.error;
    ASSERT_EQ(d.attributes.size(), 1u);
    EXPECT_EQ(d.attributes[0].value, "say \"hi\"\tthere\n\n now `x`");
}

TEST(Definition, FlagsAndBlanksAroundEquals) {
    Split d = split("MainOptions hide show help = 'x'");
    ASSERT_TRUE(d.ok) << d.error;
    ASSERT_EQ(d.attributes.size(), 3u);
    EXPECT_FALSE(d.attributes[0].hasValue);
    EXPECT_EQ(d.attributes[1].name, "show");
    EXPECT_EQ(d.attributes[2].name, "help");
    EXPECT_EQ(d.attributes[2].value, "x");

    std::vector<Attribute> list;
    std::string error;
    for (const char* blank : {"", " ", " \t\n "}) {
        ASSERT_TRUE(parseAttributes(blank, list, error)) << '"' << blank << '"';
        EXPECT_TRUE(list.empty());
    }
    ASSERT_TRUE(parseAttributes(" Min=0 Max=2048 Step=1 ", list, error));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[2].name, "Step");
    EXPECT_EQ(list[2].value, "1");
}

TEST(Definition, RefusesMalformedTextAndSaysWhy) {
    for (const char* text :
         {"", "   ", "Bar help='open", "Bar help=", "Bar help= ", "Bar size='1 2'x", "Bar 'name'=1",
          "size='1 2'", "Bar =1", "'Bar' help=x"}) {
        Split d = split(text);
        EXPECT_FALSE(d.ok) << text;
        EXPECT_FALSE(d.error.empty()) << text;
    }
    // One quote kind only: the others are refused, not read as bare text.
    for (const char* text : {"Bar size=\"30 40\"", "Bar help=`a b`"}) {
        Split d = split(text);
        EXPECT_FALSE(d.ok) << text;
        EXPECT_NE(d.error.find("single quotes"), std::string::npos) << d.error;
    }
}

TEST(Definition, ReadsNumbersPairsAndBools) {
    EXPECT_EQ(parseInteger(" 80 "), 80);
    EXPECT_EQ(parseInteger("+3"), 3);
    EXPECT_EQ(parseInteger("-3"), -3);
    EXPECT_FALSE(parseInteger("8O"));
    EXPECT_FALSE(parseInteger("99999999999"));
    EXPECT_EQ(parseIntegerPair("350 0"), std::make_pair(350, 0));
    EXPECT_EQ(parseIntegerPair(" -5\t7 "), std::make_pair(-5, 7));
    EXPECT_FALSE(parseIntegerPair("350"));
    EXPECT_FALSE(parseIntegerPair("1 2 3"));
    EXPECT_EQ(parseNumber("0.01"), 0.01);
    EXPECT_EQ(parseNumber("-1"), -1.0);
    for (const char* bad : {"inf", "nan", "1e999", "1,5", ""}) {
        EXPECT_FALSE(parseNumber(bad)) << bad;
    }
    EXPECT_EQ(parseBool("true"), true);
    EXPECT_EQ(parseBool("FALSE"), false);
    EXPECT_EQ(parseBool("0"), false);
    EXPECT_FALSE(parseBool("yes"));
    EXPECT_TRUE(equalsIgnoreCase("keyIncr", "KEYINCR"));
    EXPECT_FALSE(equalsIgnoreCase("key", "keyIncr"));
}
