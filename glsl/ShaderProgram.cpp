#include "ShaderProgram.h"

namespace Vellumar {

ShaderProgram::~ShaderProgram() = default;

// Programs without vertex attribute arrays ignore them.
void ShaderProgram::setAttrib(const char*, const AttribVec4*) {}
void ShaderProgram::setAttrib(const char*, const AttribVec3*) {}

} // namespace Vellumar
