#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "MeasureTestSupport.h"
#include "SettingRegistry.h"

using Vellumar::measure::SettingKind;
using Vellumar::measure::SettingRegistry;
using Vellumar::measure::SettingValue;

namespace {

class SettingRegistryTest : public ::testing::Test {
protected:
    testsupport::SampleSettings sample;
    SettingRegistry& registry = sample.registry;
};

TEST_F(SettingRegistryTest, IntegersTakeTheWhole32BitRangeAndNothingBeyond) {
    EXPECT_EQ(registry.apply("loopsCount.x", "2000000"), std::nullopt);
    EXPECT_EQ(sample.loopsCount.x, 2000000);
    EXPECT_EQ(registry.apply("loopsCount.y", " -2147483648 "), std::nullopt);
    EXPECT_EQ(sample.loopsCount.y, INT32_MIN);
    EXPECT_EQ(registry.apply("loopsCount.y", "+2147483647"), std::nullopt);
    EXPECT_EQ(sample.loopsCount.y, INT32_MAX);

    EXPECT_EQ(registry.apply("loopsCount.x", "2147483648"),
              "loopsCount.x: 2147483648 is outside the 32-bit range");
    EXPECT_EQ(registry.apply("loopsCount.x", "-2147483649"),
              "loopsCount.x: -2147483649 is outside the 32-bit range");
    EXPECT_EQ(registry.apply("loopsCount.x", "99999999999999999999999"),
              "loopsCount.x: 99999999999999999999999 is outside the 32-bit range");
    for (const char* bad : {"", "12a", "1.5", "0x10", "--3", "+-3", "1 2", "- 1"}) {
        EXPECT_EQ(registry.apply("loopsCount.x", bad),
                  "loopsCount.x: '" + std::string(bad) + "' is not a whole number")
            << bad;
    }
    EXPECT_EQ(sample.loopsCount.x, 2000000); // every refusal left it alone
}

TEST_F(SettingRegistryTest, BooleansTakeZeroOneTrueFalse) {
    EXPECT_EQ(registry.apply("fastMode", "0"), std::nullopt);
    EXPECT_FALSE(sample.fastMode);
    EXPECT_EQ(registry.apply("fastMode", "true"), std::nullopt);
    EXPECT_TRUE(sample.fastMode);
    EXPECT_EQ(registry.apply("fastMode", "false"), std::nullopt);
    EXPECT_FALSE(sample.fastMode);
    EXPECT_EQ(registry.apply("fastMode", "1"), std::nullopt);
    EXPECT_TRUE(sample.fastMode);
    for (const char* bad : {"2", "yes", "TRUE", "-1", ""}) {
        EXPECT_TRUE(registry.apply("freezePointEnabled[1]", bad).has_value()) << bad;
    }
    EXPECT_EQ(registry.apply("fastMode", "yes"), "fastMode: 'yes' is not 0, 1, true or false");
    EXPECT_EQ(registry.apply("fastMode", "2"), "fastMode: 2 is not 0, 1, true or false");
    EXPECT_FALSE(sample.freezePointEnabled[1]);
}

TEST_F(SettingRegistryTest, EnumerationsTakeOnlyTheirValues) {
    EXPECT_EQ(registry.apply("curPrim", "4"), std::nullopt);
    EXPECT_EQ(sample.curPrim, 4);
    EXPECT_EQ(registry.apply("curPrim", "2"), "curPrim: 2 is not one of 0, 1, 4, 7");
    EXPECT_EQ(registry.apply("curTest", "true"), "curTest: 'true' is not a whole number");
    EXPECT_EQ(registry.apply("curTest", "99999999999999999999"),
              "curTest: 99999999999999999999 is not one of 0, 1");
    EXPECT_EQ(sample.curPrim, 4);
}

TEST_F(SettingRegistryTest, GroupsSetEveryMemberInOrderOrNone) {
    EXPECT_EQ(registry.apply("loopsCount", "2000,20"), std::nullopt);
    EXPECT_EQ(sample.loopsCount.x, 2000);
    EXPECT_EQ(sample.loopsCount.y, 20);
    EXPECT_EQ(registry.apply("freezePoints[1]", "1, 2 ,3,-4"), std::nullopt);
    EXPECT_EQ(sample.freezePoints[1].PosX, 1);
    EXPECT_EQ(sample.freezePoints[1].PosY, 2);
    EXPECT_EQ(sample.freezePoints[1].SizeX, 3);
    EXPECT_EQ(sample.freezePoints[1].SizeY, -4);
    EXPECT_EQ(sample.freezePoints[0].PosX, 0);

    EXPECT_EQ(registry.apply("loopsCount", "5"), "loopsCount takes 2 values (x,y), got 1");
    EXPECT_EQ(registry.apply("freezePoints[0]", "1,2,3"),
              "freezePoints[0] takes 4 values (PosX,PosY,SizeX,SizeY), got 3");
    // The second value is bad: the first must not have been stored.
    EXPECT_EQ(registry.apply("loopsCount", "7,x"), "loopsCount.y: 'x' is not a whole number");
    EXPECT_EQ(sample.loopsCount.x, 2000);
    EXPECT_EQ(registry.check("loopsCount", "1,2"), std::nullopt);
    EXPECT_EQ(sample.loopsCount.x, 2000); // check stores nothing
}

TEST_F(SettingRegistryTest, UnknownNamesAndGroupsAsSingleValues) {
    EXPECT_EQ(registry.apply("loopCount.x", "1"), "unknown setting 'loopCount.x'");
    EXPECT_EQ(registry.apply("freezePoints", "1"), "unknown setting 'freezePoints'");
    EXPECT_EQ(registry.apply("", "1"), "unknown setting ''");
    EXPECT_EQ(registry.setValue("loopsCount", 3),
              "'loopsCount' is a group; name one of its members");
    EXPECT_EQ(registry.setValue("nothing", 3), "unknown setting 'nothing'");
}

TEST_F(SettingRegistryTest, SetValueChecksLikeText) {
    EXPECT_EQ(registry.setValue("numShaderRegs", -7), std::nullopt);
    EXPECT_EQ(sample.numShaderRegs, -7);
    EXPECT_EQ(registry.setValue("numShaderRegs", 1LL << 31),
              "numShaderRegs: 2147483648 is outside the 32-bit range");
    EXPECT_EQ(registry.setValue("fastMode", 0), std::nullopt);
    EXPECT_FALSE(sample.fastMode);
    EXPECT_TRUE(registry.setValue("fastMode", 5).has_value());
    EXPECT_TRUE(registry.checkValue("curPrim", 3).has_value());
    EXPECT_EQ(registry.checkValue("curPrim", 7), std::nullopt);
}

TEST_F(SettingRegistryTest, SnapshotFollowsRegistrationOrder) {
    sample.fastMode = true;
    sample.freezePoints[1].SizeY = 42;
    const std::vector<SettingValue> snapshot = registry.snapshot();
    ASSERT_EQ(snapshot.size(), 16u);
    EXPECT_EQ(snapshot[0].name, "curTest");
    EXPECT_EQ(snapshot[2].name, "loopsCount.x");
    EXPECT_EQ(snapshot[15].name, "freezePoints[1].SizeY");
    EXPECT_EQ(snapshot[5].name, "fastMode");
    EXPECT_EQ(snapshot[5].kind, SettingKind::boolean);
    EXPECT_EQ(snapshot[5].value, 1);
    EXPECT_EQ(snapshot[15].value, 42);
}

// The frame compares fingerprints to find a settings change: every member
// counts, in its place, and nothing else does.
TEST_F(SettingRegistryTest, FingerprintChangesWithAnyValueAndOnlyWithValues) {
    const uint64_t start = registry.fingerprint();
    EXPECT_EQ(registry.fingerprint(), start);
    for (const Vellumar::measure::Setting& setting : registry.all()) {
        if (setting.boolean) {
            *setting.boolean = !*setting.boolean;
            EXPECT_NE(registry.fingerprint(), start) << setting.name;
            *setting.boolean = !*setting.boolean;
        } else {
            *setting.integer ^= 0x01000000; // a change in a high byte only
            EXPECT_NE(registry.fingerprint(), start) << setting.name;
            *setting.integer ^= 0x01000000;
        }
        EXPECT_EQ(registry.fingerprint(), start) << setting.name;
    }
    // The same values in other places make another fingerprint.
    sample.loopsCount = {1, 2};
    const uint64_t ordered = registry.fingerprint();
    sample.loopsCount = {2, 1};
    EXPECT_NE(registry.fingerprint(), ordered);
}

TEST(SettingRegistryRegistration, RefusesNamesThatCannotBeAddressed) {
    int32_t a = 0;
    bool b = false;
    SettingRegistry registry;
    registry.addInteger("pair.x", &a);
    EXPECT_THROW(registry.addInteger("pair.x", &a), std::invalid_argument);
    EXPECT_THROW(registry.addInteger("pair", &a), std::invalid_argument); // already a group
    EXPECT_THROW(registry.addBoolean("", &b), std::invalid_argument);
    EXPECT_THROW(registry.addBoolean("a=b", &b), std::invalid_argument);
    EXPECT_THROW(registry.addBoolean("a,b", &b), std::invalid_argument);
    EXPECT_THROW(registry.addBoolean("a b", &b), std::invalid_argument);
    EXPECT_THROW(registry.addBoolean("flag", nullptr), std::invalid_argument);
    EXPECT_THROW(registry.addInteger("count", nullptr), std::invalid_argument);
    EXPECT_THROW(registry.addEnumeration("mode", nullptr, {1}), std::invalid_argument);
    EXPECT_THROW(registry.addEnumeration("mode", &a, {}), std::invalid_argument);
    registry.addInteger("solo", &a);
    EXPECT_THROW(registry.addInteger("solo.x", &a), std::invalid_argument); // solo is a setting
    ASSERT_EQ(registry.all().size(), 2u);
    EXPECT_EQ(registry.all()[1].name, "solo");
}

} // namespace
