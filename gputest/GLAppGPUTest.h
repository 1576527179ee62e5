// The GPU test application: every setting of the test as a plain member (the
// tweak bars and the settings by name are bound to their addresses; the
// settings table in GPUTestSettings.h describes each one), and the framework
// operations that make up the test: initialisation, the measured frame,
// input, the two primitive tests. What it measures of its frames and its
// fragment captures are two objects it owns. With them the few free functions
// that the frame and the bars call.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <optional>
#include <string>

#include "CaptureSession.h"
#include "ContextRecord.h"
#include "FrameMeasurements.h"
#include "FrameTarget.h"
#include "FrameWorkEstimate.h"
#include "GLApp.h"
#include "Point.h"
#include "TestEnums.h"
#include "Vec2f.h"
#include "Vec2i.h"

namespace Vellumar {
class ShaderGLSL;
class ShaderProgramGLSL;
} // namespace Vellumar

struct TwBar;
class FrameTimer;

class GLAppGPUTest : public Vellumar::GLApp {
public:
    GLAppGPUTest(int* argc, char** argv, const char* title, int width, int height,
                 unsigned int displayMode);
    ~GLAppGPUTest() override;

    void init() override;
    void idle() override;
    void display() override;
    void reshape(int width, int height) override;
    void keyboard(unsigned char key) override;
    void special(int key) override;
    void mouse(int button, int state, int x, int y) override;
    void motion(int x, int y) override;
    void passiveMotion(int x, int y) override;
    void setPerspective(double fovy, double aspect, double zNear, double zFar) override;

    // Every setting back to its start value: a step of init, public because
    // tests take it again between cases.
    void setStartValues();

    // The first step of display: works out frameWork for a frame with or
    // without its slowdown loops and, the first time the settings make it
    // enormous, says so on the console. Public for the capture session, and
    // for tests, which call it alone since the frames it warns of would take
    // hours.
    void estimateFrameWorkAndWarn(bool slowdownLoops);
    // The frame's GL work inside the timer: state, macros, the program and
    // the active test, into and with what the target says. The capture
    // session draws the same into its own target.
    void drawFrame(const FrameTarget& target);

    // Configuration mode (bars, fast mode on) or test mode (front buffer, fast
    // mode off), as the space bar switches them.
    void setConfigMode(bool on);
    // Moves and sizes the window to winPos and winSize, which the settings by
    // name only write.
    void placeWindow();
    // Why the window cannot take this size, or nullopt: no side may pass the
    // largest this GL and X allow (the smallest of the viewport, renderbuffer
    // and texture limits and X's 32767). Asks the current context.
    std::optional<std::string> windowSizeProblem(const Vec2i& size) const;
    // The current context, as the results record it.
    Vellumar::measure::ContextRecord contextRecord() const;

    bool leftButtonDown;
    bool middleButtonDown;
    bool rightButtonDown;
    // The settings of the table get their start values in init
    // (setStartValues); until then they hold zeros.
    Point freezePoints[4] = {};
    bool freezePointEnabled[4] = {};
    int32_t freezePointIds[4] = {};
    int32_t curFreezePoint = 0;
    Vec2i bigPrimVertices[4] = {};
    int32_t curBigPrimVertex = 0;
    bool controlBigPrimitive = false;
    bool useRegSaturation = false;
    int32_t numShaderRegs = 0;
    bool fastMode = false;
    bool printStats = false;
    bool fullScreen = true;
    bool blockingEnable = false;
    int32_t curTest = 0;
    Vec2i winPos = {};
    Vec2i winSize = {};
    Vec2i loopsCount = {};
    Vec2i loopsIncrement = {};
    int32_t curPrim = 0;
    Vec2i primTilingSize = {};
    int32_t primTilingIncrement = 0;
    Vec2i primStep = {};
    Vec2i primSize = {};
    int32_t primRedrawCount = 0;
    int32_t repPrim = 0;
    int32_t allOnOnePixel = 0;
    bool drawCallPerPrimitive = false;
    int32_t frameCount = 0;
    int32_t moveMode = 0;
    bool bigTriangle = false;
    // The buffer display chose for the live frame, kept as it always was; the
    // frame itself draws into the FrameTarget it is handed.
    GLenum drawBuffer = GL_FRONT;
    GLenum clearBuffer = GL_BACK;
    Vellumar::ShaderProgramGLSL* shaderProgram = nullptr;
    Vellumar::ShaderGLSL* vertexShader = nullptr;
    Vellumar::ShaderGLSL* fragmentShader = nullptr;
    bool configMode = true;
    TwBar* mainBar = nullptr;
    TwBar* freezeBar = nullptr;
    // What the coming frame asks of the GPU, worked out before it starts
    // (MainOptions shows it).
    FrameWorkEstimate frameWork;
    // Where a capture found the driver stopping every shader loop (0: not
    // seen): the estimate counts no loop past it.
    uint32_t loopsCutAt = 0;
    // What the test keeps of its frames, and its settings by name (bound to
    // the members above when the test is made). Inside the object, as every
    // address the bars are bound to.
    FrameMeasurements measurements;
    // The fragment capture of `o` and --capture; its bar is made with the others.
    CaptureSession captureSession;

private:
    // Steps of init, in the order they run.
    void printStartupLines();
    void createShaders();
    void buildTweakBars();
    void buildMainOptionsBar();
    void buildFreezyPointsBar();

    // The two tests drawFrame runs with the target's program bound.
    void bigPrimitiveTest(const FrameTarget& target);
    void smallPrimitivesTest(const FrameTarget& target);

    // Steps of display besides the macro hand-off, in the order they run.
    FrameTarget chooseFrameBuffer();
    void setFrameUniforms(const FrameTarget& target);
    void writeFrameReport(FrameTimer& timer);
    void drawTweakBars();
    // display while a capture is shown: the capture and the bars, swapped.
    void drawCapture();

    // Input: the key table, the keys of the current move mode, the mouse
    // picking and the window-size dialogue.
    void applyKey(unsigned char key);
    void applyMoveKey(unsigned char key);
    void pickNearest(const Vec2i& pointer);
    void askWindowSize();
    void toggleConfigMode();
    void toggleFullScreen();
    // Asks for the size, never below 1 by 1 (X refuses empty windows).
    void reshapeWindow(const Vec2i& size);

    // Both tests clear the target's colour buffer, then draw into it.
    void clearColorBuffer(const FrameTarget& target);

    bool enormousFrameWarned = false;
};

// The frame's macro hand-off to the fragment shader, which display makes
// before it binds the program: the seven macros of the settings (a changed
// one rebuilds the program at the bind). A free function so that benchmarks
// time the frame's own code.
void setFrameMacros(const GLAppGPUTest& test, Vellumar::ShaderGLSL& fragment);

// The test application, for the tweak-bar button callback that gets only its
// client data.
extern GLAppGPUTest* testAppInstance;

// The callback of the "Unit Size P" buttons: the tweak-bar library hands it
// only its client data, the address of one freezePointIds element. Sets that
// freeze point of testAppInstance to 1 by 1.
void unitSizeButtonCallback(void* clientData);

// A text followed by the decimal form of an integer, as "%s%d" writes them:
// the per-point bar names, macro names and uniform names.
std::string indexedName(const char* text, int index);
