// Keyboard, mouse and window events. In configuration mode, and while a
// capture is shown, the tweak bars get ordinary keys, buttons and motion
// first; while a capture is shown its picture gets the wheel, the middle
// button and the pointer's place next; what they do not take changes the
// settings directly, for the next frame to pick up.
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <optional>
#include <string>

#include "CaptureView.h"
#include "GLAppGPUTest.h"
#include "GLHeaders.h"
#include "ShaderGLSL.h"
#include "TweakBar.h"

namespace {

constexpr unsigned char keyTab = 9;
constexpr double fieldOfViewDegrees = 60.0;
constexpr double nearPlane = 0.01;
constexpr double farPlane = 4.0;
// X keeps window sides in 16 signed bits.
constexpr int32_t xMaxSide = 32767;
// Pointer distances from this on never pick anything.
constexpr int32_t pickRadius = 512;

void toggle(bool& flag) { flag = !flag; }
void toggle(int32_t& flag) { flag = flag == 0 ? 1 : 0; }

void addToBoth(Vec2i& pair, int32_t amount) { pair = pair + Vec2i{amount, amount}; }

// Halving and division by 10 truncate toward zero and cannot overflow.
void halveBoth(Vec2i& pair) { pair = {pair.x / 2, pair.y / 2}; }

// One step up: on the screen y grows downwards, in window pixels upwards.
constexpr int32_t screenUp = -1;
constexpr int32_t windowUp = 1;

// The arrows move a rectangle by one pixel; PAGE UP and PAGE DOWN move the
// edge across from its corner in y up and down, HOME and INSERT the one
// across in x right and left. `up` is one step up in its coordinates.
void moveByKey(int key, int32_t up, int32_t& x, int32_t& y, int32_t& width, int32_t& height) {
    switch (key) {
    case GLUT_KEY_LEFT: x = wrappingSub(x, 1); break;
    case GLUT_KEY_RIGHT: x = wrappingAdd(x, 1); break;
    case GLUT_KEY_UP: y = wrappingAdd(y, up); break;
    case GLUT_KEY_DOWN: y = wrappingSub(y, up); break;
    case GLUT_KEY_PAGE_UP: height = wrappingAdd(height, up); break;
    case GLUT_KEY_PAGE_DOWN: height = wrappingSub(height, up); break;
    case GLUT_KEY_HOME: width = wrappingAdd(width, 1); break;
    case GLUT_KEY_INSERT: width = wrappingSub(width, 1); break;
    default: break;
    }
}

// Reads one decimal integer from standard input into target. A typo keeps the
// previous value, says what was expected, and is dropped with the rest of its
// line, so that the console still answers the next question; a closed input
// keeps the value silently.
void readInteger(int32_t& target) {
    int32_t value = 0;
    if (std::cin >> value) {
        target = value;
        return;
    }
    if (std::cin.eof()) {
        return;
    }
    std::cin.clear();
    std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    std::cout << "expected a whole number of pixels; keeping " << target << "\n";
}

} // namespace

void GLAppGPUTest::keyboard(unsigned char key) {
    if ((configMode || captureSession.shown()) && TwEventKeyboardGLUT(key, 0, 0)) {
        return;
    }
    applyKey(key);
    applyMoveKey(key);
}

void GLAppGPUTest::applyKey(unsigned char key) {
    switch (key) {
    case keyTab:
    case 'f': toggle(fastMode); break;
    case ' ': toggleConfigMode(); break;
    case 'q': measurements.finishFrameRecording(); std::exit(0);
    case 'r':
        fragmentShader->reload();
        vertexShader->reload();
        measurements.countShaderReload();
        captureSession.reloadShaders();
        break;
    case 'o': captureSession.recordAndShow(); break;
    case 's': measurements.saveSettingsFile(); break;
    case 'w': measurements.toggleFrameRecording(); break;
    case 'a': curTest = wrappingAdd(curTest, 1) % 2; break;
    case 'b': toggle(blockingEnable); break;
    case 'c': toggle(bigTriangle); break;
    case 'd': toggle(printStats); break;
    case 'v': toggle(allOnOnePixel); break;
    case '!': toggle(drawCallPerPrimitive); break;
    case '<': toggle(controlBigPrimitive); break;
    case '0': toggle(moveMode); break;
    case 'x': toggleFullScreen(); break;
    case 'u': loopsCount.x = wrappingAdd(loopsCount.x, loopsIncrement.x); break;
    case 'j': loopsCount.x = wrappingSub(loopsCount.x, loopsIncrement.x); break;
    case 'i': loopsCount.y = wrappingAdd(loopsCount.y, loopsIncrement.y); break;
    case 'k': loopsCount.y = wrappingSub(loopsCount.y, loopsIncrement.y); break;
    case 'U': loopsIncrement.x = wrappingMul(loopsIncrement.x, 10); break;
    case 'J': loopsIncrement.x /= 10; break;
    case 'I': loopsIncrement.y = wrappingMul(loopsIncrement.y, 10); break;
    case 'K': loopsIncrement.y /= 10; break;
    case 'y': addToBoth(primTilingSize, primTilingIncrement); break;
    case 'h':
        primTilingSize = primTilingSize - Vec2i{primTilingIncrement, primTilingIncrement};
        break;
    case 'Y': primTilingIncrement = wrappingMul(primTilingIncrement, 2); break;
    case 'H': primTilingIncrement /= 2; break;
    case 't': addToBoth(primStep, 1); break;
    case 'g': addToBoth(primStep, -1); break;
    case 'T': primStep = primStep * 2; break;
    case 'G': halveBoth(primStep); break;
    case 'p': addToBoth(primSize, 1); break;
    case 'm': addToBoth(primSize, -1); break;
    case 'P': primSize = primSize * 2; break;
    case 'M': halveBoth(primSize); break;
    default: break;
    }
}

void GLAppGPUTest::applyMoveKey(unsigned char key) {
    if (moveMode == MOVE_WINDOW) {
        switch (key) {
        case '1': winPos = {0, 0}; break;
        case '2': winPos.y = wrappingAdd(winPos.y, 1); break;
        case '4': winPos.x = wrappingSub(winPos.x, 1); break;
        case '6': winPos.x = wrappingAdd(winPos.x, 1); break;
        case '8': winPos.y = wrappingSub(winPos.y, 1); break;
        case '*': askWindowSize(); return;
        default: return;
        }
        moveWindow(winPos.x, winPos.y);
    } else if (moveMode == MOVE_FREEZE_POINTS) {
        if (key == '.' && curFreezePoint >= 0 && curFreezePoint < 4) {
            freezePoints[curFreezePoint].SizeX = 1;
            freezePoints[curFreezePoint].SizeY = 1;
        }
    }
}

void GLAppGPUTest::toggleConfigMode() {
    toggle(configMode);
    if (configMode) {
        TwDefine(" MainOptions show ");
        fastMode = true;
        // The statistics panel shows the test-mode frames until a setting
        // changes.
        measurements.holdTestModeFrames();
    } else {
        fastMode = false;
        TwDefine(" MainOptions hide ");
    }
}

void GLAppGPUTest::setConfigMode(bool on) {
    if (configMode != on) {
        toggleConfigMode();
    }
}

void GLAppGPUTest::placeWindow() {
    moveWindow(winPos.x, winPos.y);
    reshapeWindow(winSize);
}

void GLAppGPUTest::toggleFullScreen() {
    toggle(fullScreen);
    if (fullScreen) {
        glutFullScreen();
    } else {
        reshapeWindow(winSize);
        moveWindow(winPos.x, winPos.y);
    }
}

void GLAppGPUTest::askWindowSize() {
    // Blocks rendering and events until both numbers are read.
    const Vec2i previous = winSize;
    std::cout << "WinSize X: " << std::flush;
    readInteger(winSize.x);
    std::cout << "WinSize Y: " << std::flush;
    readInteger(winSize.y);
    // Such a window would fail in the driver or in X and end the program.
    if (const std::optional<std::string> problem = windowSizeProblem(winSize)) {
        std::cout << *problem << "; keeping " << previous.x << " x " << previous.y << "\n"
                  << std::flush;
        winSize = previous;
    }
    reshapeWindow(winSize);
}

std::optional<std::string> GLAppGPUTest::windowSizeProblem(const Vec2i& size) const {
    GLint viewport[2] = {};
    GLint renderbuffer = 0;
    GLint texture = 0;
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    int32_t largest = xMaxSide;
    // A limit the context does not give (0) limits nothing.
    for (const GLint limit : {viewport[0], viewport[1], renderbuffer, texture}) {
        largest = limit > 0 ? std::min(largest, limit) : largest;
    }
    if (size.x <= largest && size.y <= largest) {
        return std::nullopt;
    }
    return "a window of " + std::to_string(size.x) + " x " + std::to_string(size.y) +
           " is larger than this GL/X allows (at most " + std::to_string(largest) + " a side)";
}

void GLAppGPUTest::reshapeWindow(const Vec2i& size) {
    resizeWindow(size.x < 1 ? 1 : size.x, size.y < 1 ? 1 : size.y);
}

void GLAppGPUTest::special(int key) {
    if (key == GLUT_KEY_END) {
        toggle(moveMode);
        return;
    }
    if (moveMode == MOVE_WINDOW) {
        moveByKey(key, screenUp, winPos.x, winPos.y, winSize.x, winSize.y);
        // Every other special key re-applies the saved geometry.
        moveWindow(winPos.x, winPos.y);
        reshapeWindow(winSize);
    } else if (moveMode == MOVE_FREEZE_POINTS && curFreezePoint >= 0 && curFreezePoint < 4) {
        Point& point = freezePoints[curFreezePoint];
        moveByKey(key, windowUp, point.PosX, point.PosY, point.SizeX, point.SizeY);
    }
}

void GLAppGPUTest::mouse(int button, int state, int x, int y) {
    if ((configMode || captureSession.shown()) && TwEventMouseButtonGLUT(button, state, x, y)) {
        return;
    }
    if (captureSession.shown() &&
        captureSession.view->mouse(button, state, x, y, windowWidth, windowHeight)) {
        return;
    }
    const bool down = state == GLUT_DOWN;
    if (button == GLUT_LEFT_BUTTON) {
        leftButtonDown = down;
    } else if (button == GLUT_MIDDLE_BUTTON) {
        middleButtonDown = down;
    } else if (button == GLUT_RIGHT_BUTTON) {
        rightButtonDown = down;
    }
    // Presses and releases of every button pick alike.
    pickNearest({x, wrappingSub(windowHeight, y)});
}

void GLAppGPUTest::pickNearest(const Vec2i& pointer) {
    int32_t best = pickRadius;
    if (controlBigPrimitive) {
        curBigPrimVertex = 0;
        for (int32_t i = 0; i < 4; ++i) {
            int32_t d = bigPrimVertices[i].distance(pointer);
            if (d < best) {
                curBigPrimVertex = i;
                best = d;
            }
        }
        return;
    }
    curFreezePoint = -1;
    for (int32_t i = 0; i < 4; ++i) {
        int32_t d = Vec2i{freezePoints[i].PosX, freezePoints[i].PosY}.distance(pointer);
        if (d < best) {
            curFreezePoint = i;
            best = d;
        }
    }
}

void GLAppGPUTest::motion(int x, int y) {
    if ((configMode || captureSession.shown()) && TwEventMouseMotionGLUT(x, y)) {
        return;
    }
    if (captureSession.shown() && captureSession.view->motion(x, y, windowWidth, windowHeight)) {
        return;
    }
    const Vec2i pointer = {x, wrappingSub(windowHeight, y)};
    if (leftButtonDown) {
        // The corner jumps to the pointer.
        if (controlBigPrimitive) {
            if (curBigPrimVertex >= 0 && curBigPrimVertex < 4) {
                bigPrimVertices[curBigPrimVertex] = pointer;
            }
        } else if (curFreezePoint >= 0 && curFreezePoint < 4) {
            freezePoints[curFreezePoint].PosX = pointer.x;
            freezePoints[curFreezePoint].PosY = pointer.y;
        }
    } else if (rightButtonDown && !middleButtonDown && !controlBigPrimitive &&
               curFreezePoint >= 0 && curFreezePoint < 4) {
        // The opposite corner follows the pointer.
        Point& point = freezePoints[curFreezePoint];
        point.SizeX = wrappingSub(pointer.x, point.PosX);
        point.SizeY = wrappingSub(pointer.y, point.PosY);
    }
}

void GLAppGPUTest::passiveMotion(int x, int y) {
    if (captureSession.shown()) {
        // Over a bar the pixel last pointed at stays in view.
        if (!TwEventMouseMotionGLUT(x, y)) {
            captureSession.view->hover(x, y, windowWidth, windowHeight);
        }
    } else if (configMode) {
        TwEventMouseMotionGLUT(x, y);
    }
}

void GLAppGPUTest::reshape(int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A zero height (a minimised window) counts as 1 for the aspect.
    setPerspective(fieldOfViewDegrees,
                   static_cast<double>(width) / static_cast<double>(height == 0 ? 1 : height),
                   nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, width, height);
    TwWindowSize(width, height);
}

// The test keeps no near-plane corners: the frustum alone.
void GLAppGPUTest::setPerspective(double fovy, double aspect, double zNear, double zFar) {
    Vellumar::multiplyPerspective(fovy, aspect, zNear, zFar);
}
