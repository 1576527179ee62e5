// A fresh directory under the system's temporary directory for one test's
// shader files; removed with everything in it when the object goes.
#pragma once

#include <string>

namespace testsupport {

class TempShaderDir {
public:
    TempShaderDir();
    ~TempShaderDir();
    TempShaderDir(const TempShaderDir&) = delete;
    TempShaderDir& operator=(const TempShaderDir&) = delete;

    // The directory, ending in "/".
    const std::string& path() const { return root; }
    // Writes the bytes to the relative name (subdirectories are created);
    // returns the full path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string root;
};

} // namespace testsupport
