#include <gtest/gtest.h>

#include <cstddef>

#include "BarPointer.h"
#include "TweakBar.h"
#include "TweakBarProbe.h"

using namespace testsupport;

namespace {

class TypeDefinition : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1); }
};

struct Point {
    int PosX, PosY, SizeX, SizeY;
};

void summary(char*, size_t, const void*, void*) {}

} // namespace

TEST_F(TypeDefinition, EnumerationsKeepTheirValuesInDeclaredOrder) {
    TwEnumVal prims[] = {{7, "Quads"}, {4, "Triangles"}, {1, "Lines"}, {0, "Points"}};
    TwType first = TwDefineEnum("curPrim", prims, 4);
    TwType second = TwDefineEnum("curPrim2", prims, 2);
    auto values = TwInspectEnumValues(first);
    ASSERT_EQ(values.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_STREQ(values[i].Label, prims[i].Label);
        EXPECT_EQ(values[i].Value, prims[i].Value);
    }
    EXPECT_EQ(TwInspectTypeName(first), "curPrim");
    EXPECT_EQ(TwInspectEnumValues(second).size(), 2u);
    EXPECT_NE(first, second);
    EXPECT_NE(first, TW_TYPE_UNDEF);
    EXPECT_EQ(TwInspectTypeName(TW_TYPE_INT32), "");
}

TEST_F(TypeDefinition, StructsKeepTheirLayoutsAndMemberDefinitions) {
    const char* limits = " Min=0 Max=2048 Step=1 ";
    TwStructMember members[] = {{"PosX", TW_TYPE_INT32, offsetof(Point, PosX), limits},
                                {"PosY", TW_TYPE_INT32, offsetof(Point, PosY), limits},
                                {"SizeX", TW_TYPE_INT32, offsetof(Point, SizeX), limits},
                                {"SizeY", TW_TYPE_INT32, offsetof(Point, SizeY), limits}};
    TwType point = TwDefineStruct("Point", members, 4, sizeof(Point), nullptr, nullptr);
    EXPECT_EQ(TwInspectStructSize(point), 16u);
    auto got = TwInspectStructMembers(point);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_STREQ(got[2].Name, "SizeX");
    EXPECT_EQ(got[2].Offset, 8u);
    EXPECT_EQ(got[3].Type, TW_TYPE_INT32);
    EXPECT_STREQ(got[3].DefString, limits);
    EXPECT_EQ(TwInspectTypeName(point), "Point");

    TwStructMember mixed[] = {{"x", TW_TYPE_FLOAT, 0, " Min=-1 Max=1 Step=0.01 "},
                              {"on", TW_TYPE_BOOLCPP, 4, nullptr}};
    TwType type = TwDefineStruct("Mixed", mixed, 2, 8, nullptr, nullptr);
    ASSERT_NE(type, TW_TYPE_UNDEF);
    EXPECT_STREQ(TwInspectStructMembers(type)[1].DefString, "");
}

TEST_F(TypeDefinition, WhatStructsDoNotTakeIsRefusedWithAMessage) {
    TwEnumVal values[] = {{0, "Zero"}};
    TwType choice = TwDefineEnum("Choice", values, 1);
    TwStructMember plain[] = {{"a", TW_TYPE_INT32, 0, ""}};
    TwType inner = TwDefineStruct("Inner", plain, 1, 4, nullptr, nullptr);
    ASSERT_NE(inner, TW_TYPE_UNDEF);

    TwStructMember outside[] = {{"a", TW_TYPE_INT32, 0, ""}, {"b", TW_TYPE_INT32, 6, ""}};
    TwStructMember unknown[] = {{"a", 9999, 0, ""}};
    TwStructMember nested[] = {{"in", inner, 0, ""}};
    TwStructMember enumerated[] = {{"c", choice, 0, ""}};
    TwStructMember text[] = {{"t", TW_TYPE_CDSTRING, 0, ""}};
    TwStructMember badDefinition[] = {{"a", TW_TYPE_INT32, 0, " Min=0 Maxx=3 "}};
    TwStructMember shortcut[] = {{"a", TW_TYPE_INT32, 0, " keyIncr=x "}};
    TwStructMember unnamed[] = {{nullptr, TW_TYPE_INT32, 0, ""}};
    auto refused = [](auto define, const char* why) {
        CerrCapture err;
        EXPECT_EQ(define(), TW_TYPE_UNDEF) << why;
        EXPECT_NE(err.text().find("tweakbar: TwDefine"), std::string::npos) << why;
        EXPECT_NE(err.text().find(why), std::string::npos) << err.text();
    };
    refused([&] { return TwDefineStruct("Out", outside, 2, 8, nullptr, nullptr); }, "inside");
    refused([&] { return TwDefineStruct("Tight", plain, 1, 3, nullptr, nullptr); }, "inside");
    refused([&] { return TwDefineStruct("Unknown", unknown, 1, 8, nullptr, nullptr); },
            "Unknown.a: members are bool, int32 or float");
    refused([&] { return TwDefineStruct("Nested", nested, 1, 8, nullptr, nullptr); },
            "Nested.in: members are bool, int32 or float");
    refused([&] { return TwDefineStruct("Enum", enumerated, 1, 8, nullptr, nullptr); },
            "members are bool, int32 or float");
    refused([&] { return TwDefineStruct("Text", text, 1, 8, nullptr, nullptr); },
            "members are bool, int32 or float");
    refused([&] { return TwDefineStruct("Bad", badDefinition, 1, 4, nullptr, nullptr); },
            "unknown attribute 'Maxx'");
    refused([&] { return TwDefineStruct("Keys", shortcut, 1, 4, nullptr, nullptr); },
            "'keyIncr' fits only");
    refused([&] { return TwDefineStruct("Unnamed", unnamed, 1, 4, nullptr, nullptr); },
            "needs a name");
    refused([&] { return TwDefineStruct("Summary", plain, 1, 4, summary, nullptr); },
            "summary callbacks are not supported");
    refused([&] { return TwDefineStruct("Empty", plain, 0, 4, nullptr, nullptr); },
            "needs a name, a size and members");
    refused([&] { return TwDefineEnum("Empty", nullptr, 0); }, "needs a name and values");
    refused([&] { return TwDefineEnum(nullptr, values, 1); }, "needs a name and values");
}
