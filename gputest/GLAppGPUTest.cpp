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

void GLAppGPUTest::idle() { postRedisplay(); }

void GLAppGPUTest::init() {}
void GLAppGPUTest::display() {}
void GLAppGPUTest::reshape(int, int) {}
void GLAppGPUTest::keyboard(unsigned char) {}
void GLAppGPUTest::special(int) {}
void GLAppGPUTest::mouse(int, int, int, int) {}
void GLAppGPUTest::motion(int, int) {}
void GLAppGPUTest::passiveMotion(int, int) {}
void GLAppGPUTest::setPerspective(double, double, double, double) {}
void GLAppGPUTest::bigPrimitiveTest() {}
void GLAppGPUTest::smallPrimitivesTest() {}
