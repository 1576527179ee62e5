// The test's initialisation: start-up lines, swap interval, shaders, start
// values of every setting, window placement and disabled states. The tweak
// bars are built in GPUTestBars.cpp.
#include <iostream>

#include "GLAppGPUTest.h"
#include "GLError.h"
#include "GLHeaders.h"
#include "ShaderGLSL.h"
#include "ShaderPathRegistry.h"
#include "ShaderProgramGLSL.h"
#include "SwapInterval.h"
#include "TweakBar.h"

namespace {
const char* const shaderCategory = "Application:Shaders";
constexpr int vertexShaderType = 0;
constexpr int fragmentShaderType = 1;
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
    loopsIncrement = {1000000, 100000};
    configMode = true;
    loopsCount = loopsIncrement * 2;
    for (int i = 0; i < 4; ++i) {
        freezePoints[i] = {0, 0, 1, 1};
        freezePointEnabled[i] = false;
    }
    const int32_t w = windowWidth, h = windowHeight;
    bigPrimVertices[0] = {0, 0};
    bigPrimVertices[1] = {w, 0};
    bigPrimVertices[2] = {w, h};
    bigPrimVertices[3] = {0, h};

    winPos = {512, 512};
    winSize = {512, 512};
    freezePointEnabled[0] = true;
    curFreezePoint = 0;
    curBigPrimVertex = 0;
    controlBigPrimitive = false;
    useRegSaturation = false;
    numShaderRegs = 20;

    glutPositionWindow(winPos.x, winPos.y);
    glutReshapeWindow(winSize.x, winSize.y);

    primTilingSize = {32, 32};
    primTilingIncrement = 1;
    primRedrawCount = 1;
    moveMode = MOVE_FREEZE_POINTS;
    curTest = TEST_BIG_PRIMITIVE;
    frameCount = 0;
    curPrim = PRIM_QUADS;
    primSize = {8, 8};
    primStep = {8, 8};
    repPrim = REDRAW_PRIMITIVE;
    allOnOnePixel = 0;
    fastMode = true;
    fullScreen = true;
    bigTriangle = false;
    blockingEnable = true;
    drawCallPerPrimitive = false;
    // The help text promises the frame time on the console; d turns it off.
    printStats = true;
}
