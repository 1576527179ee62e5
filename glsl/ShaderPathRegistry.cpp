// The shader directory registry: directories keyed by the name hash of their
// category, and paths built from them.
#include "ShaderPathRegistry.h"

#include "ShaderText.h"

namespace Vellumar {

ShaderPathRegistry& ShaderPathRegistry::instance() {
    // Never destroyed: paths may still be built while other statics go away.
    static ShaderPathRegistry* registry = new ShaderPathRegistry();
    return *registry;
}

void ShaderPathRegistry::registerPath(const char* key, const char* directory) {
    directories[nameHash(key)] = directory ? directory : "";
}

std::string ShaderPathRegistry::buildPath(const char* key, const char* fileName) {
    // operator[] on purpose: an unknown key gets its empty entry.
    std::string path = directories[nameHash(key)];
    path += '/';
    path += fileName ? fileName : "";
    return path;
}

} // namespace Vellumar
