// The test's settings table and the settings by name that it makes: which
// members they reach, the values they take, and the settings file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "GPUTestFixture.h"
#include "GPUTestSettings.h"
#include "SettingsFile.h"
#include "TweakBarProbe.h"

using Vellumar::measure::SettingRegistry;
using Vellumar::measure::SettingValue;

namespace {

class GPUTestSettings : public testsupport::GPUTestFrame {
protected:
    void SetUp() override {
        GPUTestFrame::SetUp();
        registerSettings(test, registry);
    }

    SettingRegistry registry;
};

TEST_F(GPUTestSettings, EverySettingIsItsOwnMemberOfThisApplication) {
    EXPECT_EQ(registry.all().size(), 55u);
    const auto* begin = reinterpret_cast<const unsigned char*>(&test);
    const auto* end = begin + sizeof(GLAppGPUTest);
    std::set<const void*> storage;
    for (const Vellumar::measure::Setting& setting : registry.all()) {
        const void* address = setting.integer ? static_cast<const void*>(setting.integer)
                                              : static_cast<const void*>(setting.boolean);
        const auto* byte = static_cast<const unsigned char*>(address);
        EXPECT_TRUE(byte >= begin && byte < end) << setting.name;
        EXPECT_TRUE(storage.insert(address).second) << setting.name << " shares its storage";
    }
    for (const char* name : {"curTest", "loopsIncrement.y", "primTilingIncrement", "numShaderRegs",
                             "freezePoints[3].SizeY", "freezePointEnabled[0]",
                             "bigPrimVertices[2].x", "winSize.y", "printStats"}) {
        EXPECT_NE(registry.find(name), nullptr) << name;
    }
}

size_t bytesOf(SettingShape shape) {
    switch (shape) {
    case SettingShape::boolean: return sizeof(bool);
    case SettingShape::pair: return sizeof(Vec2i);
    case SettingShape::point: return sizeof(Point);
    default: return sizeof(int32_t);
    }
}

// The settings by name that store into the row's member.
std::vector<const Vellumar::measure::Setting*> settingsIn(const SettingRegistry& registry,
                                                          const SettingRow& row) {
    const auto* begin = static_cast<const unsigned char*>(row.member);
    std::vector<const Vellumar::measure::Setting*> found;
    for (const Vellumar::measure::Setting& setting : registry.all()) {
        const auto* at = setting.integer ? reinterpret_cast<const unsigned char*>(setting.integer)
                                         : reinterpret_cast<const unsigned char*>(setting.boolean);
        if (at >= begin && at < begin + bytesOf(row.shape)) {
            found.push_back(&setting);
        }
    }
    return found;
}

// What the table says of a setting, the command line and the settings file
// (through the names) and the bars do alike: the same member, the same values.
TEST_F(GPUTestSettings, EveryTableRowReachesItsNamesAndItsBarEntryAlike) {
    for (const SettingRow& row : settingTable(test)) {
        SCOPED_TRACE(row.name);
        const auto named = settingsIn(registry, row);
        if (!row.named) {
            EXPECT_TRUE(named.empty());
        } else {
            // One name for each int32 or bool of the member.
            EXPECT_EQ(named.size(), std::max<size_t>(1, bytesOf(row.shape) / sizeof(int32_t)));
            for (const Vellumar::measure::Setting* setting : named) {
                EXPECT_EQ(setting->name.rfind(row.name, 0), 0u) << setting->name;
            }
        }
        if (row.named && row.shape == SettingShape::enumeration) {
            std::vector<int32_t> values;
            for (const TwEnumVal& value : row.values) {
                values.push_back(value.Value);
            }
            std::sort(values.begin(), values.end());
            ASSERT_EQ(named.size(), 1u);
            EXPECT_EQ(named[0]->allowed, values);
        }

        if (row.bar.bar == BarId::none) {
            continue;
        }
        auto bar = TwInspectBar(row.bar.bar == BarId::mainOptions ? "MainOptions" : "FreezyPoints");
        ASSERT_TRUE(bar);
        auto entry = std::find_if(bar->entries.begin(), bar->entries.end(),
                                  [&](const TwEntryInfo& e) { return e.label == row.bar.label; });
        ASSERT_NE(entry, bar->entries.end()) << row.bar.label;
        EXPECT_EQ(entry->address, row.member);
        EXPECT_EQ(entry->kind, row.bar.readOnly ? TwEntryKind::ReadOnly : TwEntryKind::ReadWrite);
        EXPECT_EQ(entry->definition, row.bar.definition);
        const std::vector<TwEnumVal> offered = TwInspectEnumValues(entry->type);
        ASSERT_EQ(offered.size(), row.values.size());
        for (size_t i = 0; i < offered.size(); ++i) {
            EXPECT_EQ(offered[i].Value, row.values[i].Value);
            EXPECT_STREQ(offered[i].Label, row.values[i].Label);
        }
    }
}

TEST_F(GPUTestSettings, NamesReachTheMembersTheyName) {
    EXPECT_EQ(registry.apply("loopsCount", "2000,20"), std::nullopt);
    EXPECT_EQ(test.loopsCount.x, 2000);
    EXPECT_EQ(test.loopsCount.y, 20);
    EXPECT_EQ(registry.apply("freezePoints[2]", "1,2,3,4"), std::nullopt);
    EXPECT_EQ(test.freezePoints[2].PosX, 1);
    EXPECT_EQ(test.freezePoints[2].PosY, 2);
    EXPECT_EQ(test.freezePoints[2].SizeX, 3);
    EXPECT_EQ(test.freezePoints[2].SizeY, 4);
    EXPECT_EQ(registry.apply("freezePointEnabled[3]", "true"), std::nullopt);
    EXPECT_TRUE(test.freezePointEnabled[3]);
    EXPECT_EQ(registry.apply("winSize", "640,480"), std::nullopt);
    EXPECT_EQ(test.winSize.x, 640);
    EXPECT_EQ(test.winSize.y, 480);
    EXPECT_EQ(registry.apply("bigPrimVertices[1].y", "-7"), std::nullopt);
    EXPECT_EQ(test.bigPrimVertices[1].y, -7);
    EXPECT_EQ(registry.apply("useRegSaturation", "1"), std::nullopt);
    EXPECT_TRUE(test.useRegSaturation);
}

TEST_F(GPUTestSettings, EnumerationsTakeTheValuesOfTheirEnums) {
    EXPECT_EQ(registry.apply("curPrim", "4"), std::nullopt);
    EXPECT_EQ(test.curPrim, PRIM_TRIANGLES);
    EXPECT_EQ(registry.apply("curPrim", "2"), "curPrim: 2 is not one of 0, 1, 4, 7");
    EXPECT_EQ(registry.apply("curTest", "1"), std::nullopt);
    EXPECT_EQ(test.curTest, TEST_SMALL_PRIMITIVES);
    EXPECT_TRUE(registry.apply("curTest", "2").has_value());
    EXPECT_EQ(registry.apply("repPrim", "2"), std::nullopt);
    EXPECT_EQ(test.repPrim, REDRAW_FRAME);
    EXPECT_TRUE(registry.apply("repPrim", "3").has_value());
    EXPECT_TRUE(registry.apply("allOnOnePixel", "2").has_value());
    EXPECT_EQ(test.allOnOnePixel, 0);
}

TEST_F(GPUTestSettings, SettingsFileRoundTripRestoresEveryMember) {
    const std::string saved = Vellumar::measure::settingsText(registry);
    const std::vector<SettingValue> before = registry.snapshot();
    test.loopsCount = {1, 2};
    test.fastMode = !test.fastMode;
    test.curPrim = PRIM_LINES;
    test.freezePoints[3] = {9, 9, 9, 9};
    const auto report = Vellumar::measure::loadSettingsText(registry, saved, "saved.json");
    EXPECT_TRUE(report.unknownKeys.empty() && report.refused.empty());
    const std::vector<SettingValue> after = registry.snapshot();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].value, before[i].value) << before[i].name;
    }
    EXPECT_EQ(test.loopsCount.x, 2000000); // the start values again
}

} // namespace
