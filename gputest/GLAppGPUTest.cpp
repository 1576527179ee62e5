// The GPU test application's object: construction, the idle operation, the
// record of its context, and the two small services the bar definitions use
// (the unit-size button and the per-point names).
#include "GLAppGPUTest.h"

#include <cstdint>

#include "HeadlessRun.h"

GLAppGPUTest* testAppInstance = nullptr;

GLAppGPUTest::GLAppGPUTest(int* argc, char** argv, const char* title, int width, int height,
                           unsigned int displayMode)
    : GLApp(argc, argv, title, width, height, displayMode), measurements(*this),
      captureSession(*this) {
    Vellumar::currentApp = this;
    testAppInstance = this;
    leftButtonDown = false;
    middleButtonDown = false;
    rightButtonDown = false;
}

// The program, shaders and bars live until the process ends.
GLAppGPUTest::~GLAppGPUTest() = default;

void GLAppGPUTest::idle() {
    // Between frames, where writing a file costs no frame its time.
    measurements.finishFullFrameRecording();
    postRedisplay();
}

Vellumar::measure::ContextRecord GLAppGPUTest::contextRecord() const {
    return currentContextRecord(offscreen);
}

void unitSizeButtonCallback(void* clientData) {
    if (!clientData || !testAppInstance) {
        return;
    }
    int32_t index = *static_cast<const int32_t*>(clientData);
    if (index < 0 || index > 3) {
        return;
    }
    testAppInstance->freezePoints[index].SizeX = 1;
    testAppInstance->freezePoints[index].SizeY = 1;
}

std::string indexedName(const char* text, int index) {
    std::string name = text ? text : "";
    name += std::to_string(index);
    return name;
}
