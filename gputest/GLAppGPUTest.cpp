#include "GLAppGPUTest.h"

GLAppGPUTest* testAppInstance = nullptr;

GLAppGPUTest::GLAppGPUTest(int* argc, char** argv, const char* title, int width, int height,
                           unsigned int displayMode)
    : GLApp(argc, argv, title, width, height, displayMode) {
    Vellumar::currentApp = this;
    testAppInstance = this;
    leftButtonDown = false;
    middleButtonDown = false;
    rightButtonDown = false;
}

// The program, shaders and bars live until the process ends.
GLAppGPUTest::~GLAppGPUTest() = default;

void GLAppGPUTest::idle() {
    postRedisplay();
}
