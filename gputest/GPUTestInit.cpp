// The test's initialisation: start-up lines, swap interval, shaders, start
// values of every setting (from the settings table, and those worked out from
// other values), window placement and disabled states. The tweak bars are
// built in GPUTestBars.cpp.
#include <array>
#include <cstdint>
#include <iostream>

#include "GLAppGPUTest.h"
#include "GLError.h"
#include "GLHeaders.h"
#include "GPUTestSettings.h"
#include "ShaderGLSL.h"
#include "ShaderPathRegistry.h"
#include "ShaderProgramGLSL.h"
#include "SwapInterval.h"
#include "TweakBar.h"

namespace {
const char* const shaderCategory = "Application:Shaders";
constexpr int vertexShaderType = 0;
constexpr int fragmentShaderType = 1;

void setStartValue(const SettingRow& row, const std::array<int32_t, 4>& value) {
    switch (row.shape) {
    case SettingShape::integer:
    case SettingShape::flag:
    case SettingShape::enumeration: *static_cast<int32_t*>(row.member) = value[0]; break;
    case SettingShape::boolean: *static_cast<bool*>(row.member) = value[0] != 0; break;
    case SettingShape::pair: *static_cast<Vec2i*>(row.member) = {value[0], value[1]}; break;
    case SettingShape::point:
        *static_cast<Point*>(row.member) = {value[0], value[1], value[2], value[3]};
        break;
    }
}

} // namespace

void GLAppGPUTest::init() {
    showFps(false);
    glewInit();
    printStartupLines();
    setSwapIntervalToOne();
    createShaders();
    setStartValues();

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);

    // display sets all three again at the start of every frame.
    drawBuffer = GL_FRONT;
    clearBuffer = GL_BACK;
    swapAfterDisplay = false;

    buildTweakBars();
    Vellumar::checkGLError("Init END: ");
}

void GLAppGPUTest::printStartupLines() {
    const GLubyte* version = glGetString(GL_VERSION);
    GLint max3DTextureSize = 0;
    glGetIntegerv(GL_MAX_3D_TEXTURE_SIZE, &max3DTextureSize);
    GLint maxTextureImageUnits = 0;
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS_ARB, &maxTextureImageUnits);
    std::cout << (version ? reinterpret_cast<const char*>(version) : "") << "\n"
              << "MAX 3D texture size: " << max3DTextureSize << "\n"
              << "GL_MAX_TEXTURE_IMAGE_UNITS_ARB: " << maxTextureImageUnits << "\n"
              << "size short vec: " << 6 << "\n"
              << std::flush;
}

void GLAppGPUTest::createShaders() {
    Vellumar::ShaderPathRegistry& registry = Vellumar::ShaderPathRegistry::instance();
    registry.registerPath(shaderCategory, "./Shaders/");
    shaderProgram = new Vellumar::ShaderProgramGLSL();
    fragmentShader = new Vellumar::ShaderGLSL(
        registry.buildPath(shaderCategory, "GPUTest_FS.glsl").c_str(), fragmentShaderType);
    vertexShader = new Vellumar::ShaderGLSL(
        registry.buildPath(shaderCategory, "GPUTest_VS.glsl").c_str(), vertexShaderType);
    shaderProgram->addShader(fragmentShader);
    shaderProgram->addShader(vertexShader);
    fragmentShader->setDefine("NUM_FREEZE_POINTS", 4);
}

void GLAppGPUTest::setStartValues() {
    for (const SettingRow& row : settingTable(*this)) {
        if (row.start) {
            setStartValue(row, *row.start);
        }
    }
    // Worked out from the values above and from the window as it is now:
    // the corners stay where they are when the window is resized later.
    loopsCount = loopsIncrement * 2;
    const int32_t w = windowWidth, h = windowHeight;
    bigPrimVertices[0] = {0, 0};
    bigPrimVertices[1] = {w, 0};
    bigPrimVertices[2] = {w, h};
    bigPrimVertices[3] = {0, h};
    configMode = true;
    curBigPrimVertex = 0;
    frameCount = 0;
    fullScreen = true;

    moveWindow(winPos.x, winPos.y);
    resizeWindow(winSize.x, winSize.y);
}
