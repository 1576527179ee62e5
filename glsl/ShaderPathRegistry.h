// The one map from a category key to a shader directory. Keyed by the key's
// nameHash only, so two keys with equal hashes share an entry.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace Vellumar {

class ShaderPathRegistry {
public:
    // Created empty on first use, never destroyed.
    static ShaderPathRegistry& instance();

    // Sets the directory for the key, replacing any earlier one. Stored as
    // given, trailing separator included.
    void registerPath(const char* key, const char* directory);

    // The key's directory, "/", then the file name. An unregistered key gets
    // an empty directory entry, so the result is "/" and the name.
    std::string buildPath(const char* key, const char* fileName);

    ShaderPathRegistry(const ShaderPathRegistry&) = delete;
    ShaderPathRegistry& operator=(const ShaderPathRegistry&) = delete;

private:
    ShaderPathRegistry() = default;
    std::map<uint32_t, std::string> directories;
};

} // namespace Vellumar
