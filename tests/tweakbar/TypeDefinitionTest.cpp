#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "ProgramBars.h"
#include "TweakBar.h"
#include "TweakBarProbe.h"

using namespace tweakbartest;

namespace {

class TypeDefinition : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1); }
};

struct Member {
    std::string name;
    TwType type;
    size_t offset;
    std::string definition;
};

std::vector<Member> members(TwType type) {
    std::vector<Member> out;
    for (const TwStructMember& m : TwInspectStructMembers(type)) {
        out.push_back({m.Name, m.Type, m.Offset, m.DefString});
    }
    return out;
}

bool operator==(const Member& a, const Member& b) {
    return a.name == b.name && a.type == b.type && a.offset == b.offset && a.definition == b.definition;
}

} // namespace

TEST_F(TypeDefinition, EnumerationsKeepTheirValuesInDeclaredOrder) {
    ProgramSettings s;
    ProgramTypes t = buildProgramBars(s);
    auto values = TwInspectEnumValues(t.curPrim);
    ASSERT_EQ(values.size(), 4u);
    const char* labels[] = {"Quads", "Triangles", "Lines", "Points"};
    int numbers[] = {7, 4, 1, 0};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_STREQ(values[i].Label, labels[i]);
        EXPECT_EQ(values[i].Value, numbers[i]);
    }
    EXPECT_EQ(TwInspectTypeName(t.repPrim), "repPrim");
    EXPECT_EQ(TwInspectTypeName(TW_TYPE_INT32), "");
    // Distinct types for every definition.
    EXPECT_NE(t.curTest, t.curPrim);
    EXPECT_NE(t.curTest, TW_TYPE_UNDEF);
}

TEST_F(TypeDefinition, StructsKeepTheProgramsLayouts) {
    ProgramSettings s;
    ProgramTypes t = buildProgramBars(s);
    const char* limits = " Min=0 Max=2048 Step=1 ";
    EXPECT_EQ(TwInspectStructSize(t.point), 16u);
    EXPECT_EQ(members(t.point), (std::vector<Member>{{"PosX", TW_TYPE_INT32, 0, limits},
                                                     {"PosY", TW_TYPE_INT32, 4, limits},
                                                     {"SizeX", TW_TYPE_INT32, 8, limits},
                                                     {"SizeY", TW_TYPE_INT32, 12, limits}}));
    EXPECT_EQ(TwInspectStructSize(t.vec2i), 8u);
    EXPECT_EQ(members(t.vec2i)[1], (Member{"y", TW_TYPE_INT32, 4, limits}));
    EXPECT_EQ(TwInspectStructSize(t.vec4i), 16u);
    EXPECT_EQ(members(t.vec4i)[3], (Member{"w", TW_TYPE_INT32, 12, limits}));
    EXPECT_EQ(TwInspectStructSize(t.vec2f), 8u);
    EXPECT_EQ(members(t.vec2f)[1], (Member{"y", TW_TYPE_FLOAT, 4, " Min=-1 Max=1 Step=0.01 "}));
    EXPECT_EQ(TwInspectTypeName(t.point), "Point");
}

TEST_F(TypeDefinition, MembersMustFitAndTheirDefinitionsMustApply) {
    TwStructMember outside[] = {{"a", TW_TYPE_INT32, 0, ""}, {"b", TW_TYPE_INT32, 6, ""}};
    EXPECT_EQ(TwDefineStruct("Outside", outside, 2, 8, nullptr, nullptr), TW_TYPE_UNDEF);
    TwStructMember unknown[] = {{"a", 9999, 0, ""}};
    EXPECT_EQ(TwDefineStruct("Unknown", unknown, 1, 8, nullptr, nullptr), TW_TYPE_UNDEF);
    TwStructMember badDefinition[] = {{"a", TW_TYPE_INT32, 0, " Min=0 Maxx=3 "}};
    EXPECT_EQ(TwDefineStruct("Bad", badDefinition, 1, 4, nullptr, nullptr), TW_TYPE_UNDEF);
    TwStructMember nullDefinition[] = {{"a", TW_TYPE_BOOLCPP, 3, nullptr}};
    TwType fine = TwDefineStruct("Fine", nullDefinition, 1, 4, nullptr, nullptr);
    EXPECT_NE(fine, TW_TYPE_UNDEF);
    EXPECT_EQ(members(fine)[0].definition, "");
    EXPECT_EQ(TwDefineEnum("Empty", nullptr, 0), TW_TYPE_UNDEF);

    // A struct may hold a struct defined before it.
    TwStructMember inner[] = {{"in", fine, 4, ""}};
    EXPECT_NE(TwDefineStruct("Outer", inner, 1, 8, nullptr, nullptr), TW_TYPE_UNDEF);
    EXPECT_EQ(TwDefineStruct("Tight", inner, 1, 7, nullptr, nullptr), TW_TYPE_UNDEF);
}
