// Tests of the name hash and of the shader directory registry built on it.
#include <gtest/gtest.h>

#include "ShaderText.h"
#include "ShaderPathRegistry.h"

namespace {

using Vellumar::nameHash;
using Vellumar::ShaderPathRegistry;

TEST(NameHash, IsSdbmWithSignedCharactersModulo2To32) {
    EXPECT_EQ(nameHash(""), 0u);
    // Values worked out by hand: the sum wraps, and bytes above 0x7F count
    // as negative.
    EXPECT_EQ(nameHash("Application:Shaders"), 1010254148u);
    EXPECT_EQ(nameHash("\xff"), 0xFFFFFFFFu);
    EXPECT_EQ(nameHash("a\xe9"), 97u * 65599u - 23u);
}

TEST(ShaderPathRegistry, BuildsDirectorySlashFileAndKeepsTheDoubleSlash) {
    ShaderPathRegistry& registry = ShaderPathRegistry::instance();
    EXPECT_EQ(&registry, &ShaderPathRegistry::instance());
    registry.registerPath("Application:Shaders", "./Shaders/");
    EXPECT_EQ(registry.buildPath("Application:Shaders", "GPUTest_FS.glsl"),
              "./Shaders//GPUTest_FS.glsl");
    EXPECT_EQ(registry.buildPath("Never registered", "GPUTest_VS.glsl"), "/GPUTest_VS.glsl");
}

TEST(ShaderPathRegistry, TheLastRegistrationWinsAndEqualHashesShareAnEntry) {
    ShaderPathRegistry& registry = ShaderPathRegistry::instance();
    registry.registerPath("Test:Twice", "first");
    registry.registerPath("Test:Twice", "second/");
    EXPECT_EQ(registry.buildPath("Test:Twice", "x.glsl"), "second//x.glsl");

    // Two different keys with one sdbm hash (found by a search outside).
    ASSERT_EQ(nameHash("yPxCueJ"), nameHash("SBs:cju"));
    registry.registerPath("yPxCueJ", "dirA");
    registry.registerPath("SBs:cju", "dirB");
    EXPECT_EQ(registry.buildPath("yPxCueJ", "f"), "dirB/f");
}

} // namespace
