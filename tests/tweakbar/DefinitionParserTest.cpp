#include <gtest/gtest.h>

#include "AttributeValues.h"
#include "DefinitionParser.h"
#include "ProgramHelpText.h"

using tweakbar::parseAttributes;
using tweakbar::parseDefinition;

TEST(DefinitionParser, ReadsTargetAndSeveralAttributesWithEveryQuote) {
    auto d = parseDefinition(" Bar position='350 0' size=`200 300` label=\"a b\" fontSize=1 ");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->target, "Bar");
    ASSERT_EQ(d->attributes.size(), 4u);
    EXPECT_EQ(d->attributes[0].name, "position");
    EXPECT_EQ(d->attributes[0].value, "350 0");
    EXPECT_EQ(d->attributes[1].value, "200 300");
    EXPECT_EQ(d->attributes[2].value, "a b");
    EXPECT_EQ(d->attributes[3].value, "1");
    EXPECT_TRUE(d->attributes[3].hasValue);
}

TEST(DefinitionParser, KeepsBlanksAndOtherQuotesInsideQuotedValues) {
    auto d = parseDefinition("B help='say \"hi\"\tthere\n\n now' x=\"it's\"");
    ASSERT_TRUE(d);
    ASSERT_EQ(d->attributes.size(), 2u);
    EXPECT_EQ(d->attributes[0].value, "say \"hi\"\tthere\n\n now");
    EXPECT_EQ(d->attributes[1].value, "it's");
}

TEST(DefinitionParser, ReadsTheProgramsStringsUnchanged) {
    auto freezy =
        parseDefinition(" FreezyPoints position='350 0' size='200 300' fontSize='1'  valuesWidth='80' ");
    ASSERT_TRUE(freezy);
    EXPECT_EQ(freezy->target, "FreezyPoints");
    ASSERT_EQ(freezy->attributes.size(), 4u);
    EXPECT_EQ(freezy->attributes[3].name, "valuesWidth");
    EXPECT_EQ(freezy->attributes[3].value, "80");

    auto help = parseDefinition(tweakbartest::globalHelpDefinition);
    ASSERT_TRUE(help);
    EXPECT_EQ(help->target, "GLOBAL");
    ASSERT_EQ(help->attributes.size(), 1u);
    EXPECT_EQ(help->attributes[0].value.substr(0, 18), "This Tazzle Glintm");
    EXPECT_NE(help->attributes[0].value.find("ressources.\t\t\n\n Use"), std::string::npos);
    EXPECT_EQ(help->attributes[0].value.back(), '.');

    auto members = parseAttributes(" Min=0 Max=2048 Step=1 ");
    ASSERT_TRUE(members);
    ASSERT_EQ(members->size(), 3u);
    EXPECT_EQ((*members)[2].name, "Step");
    EXPECT_EQ((*members)[2].value, "1");
}

TEST(DefinitionParser, FlagsAndBlanksAroundEquals) {
    auto d = parseDefinition("MainOptions hide show help = 'x'");
    ASSERT_TRUE(d);
    ASSERT_EQ(d->attributes.size(), 3u);
    EXPECT_FALSE(d->attributes[0].hasValue);
    EXPECT_EQ(d->attributes[1].name, "show");
    EXPECT_FALSE(d->attributes[1].hasValue);
    EXPECT_EQ(d->attributes[2].name, "help");
    EXPECT_EQ(d->attributes[2].value, "x");
}

TEST(DefinitionParser, QuotedTargetsHoldBlanksAndSlashes) {
    auto d = parseDefinition("'MainOptions/Slowdown loop cycles std [i/k] (Increment [I/K])' help=x");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->target, "MainOptions/Slowdown loop cycles std [i/k] (Increment [I/K])");
    EXPECT_EQ(d->attributes.size(), 1u);
}

TEST(DefinitionParser, EmptyAndBlankAttributeListsAreEmpty) {
    for (const char* text : {"", " ", " \t\n "}) {
        auto list = parseAttributes(text);
        ASSERT_TRUE(list) << '"' << text << '"';
        EXPECT_TRUE(list->empty());
    }
}

TEST(DefinitionParser, RejectsMalformedText) {
    for (const char* text : {"", "   ", "Bar help='open", "Bar help=", "Bar help= ", "Bar size='1 2'x",
                             "Bar 'name'=1", "size='1 2'", "Bar =1", "'unterminated"}) {
        EXPECT_FALSE(parseDefinition(text)) << text;
    }
    EXPECT_FALSE(parseAttributes("help=\"x"));
    EXPECT_FALSE(parseAttributes("min=1 =2"));
}

TEST(AttributeValues, NumbersPairsAndKeys) {
    using namespace tweakbar;
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
    EXPECT_FALSE(parseNumber("inf"));
    EXPECT_FALSE(parseNumber("nan"));
    EXPECT_FALSE(parseNumber("1e999"));
    EXPECT_FALSE(parseNumber("1,5"));
    EXPECT_EQ(parseKey("a"), 'a');
    EXPECT_EQ(parseKey("A"), 'A');
    EXPECT_EQ(parseKey("space"), ' ');
    EXPECT_EQ(parseKey("Tab"), 9);
    EXPECT_FALSE(parseKey("ab"));
    EXPECT_FALSE(parseKey(""));
    EXPECT_TRUE(equalsIgnoreCase("keyIncr", "KEYINCR"));
    EXPECT_FALSE(equalsIgnoreCase("key", "keyIncr"));
}
