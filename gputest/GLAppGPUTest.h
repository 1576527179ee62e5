// The GPU test application: every setting of the test as a plain member (the
// tweak bars and the settings by name are bound to their addresses; the
// settings table in GPUTestSettings.h describes each one), what it
// keeps of every frame's times, and the framework operations that make up the
// test: initialisation, the measured frame, input, the two primitive tests.
// With them the few free functions that the frame and the bars call.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <memory>
#include <string>

#include "FrameLog.h"
#include "FrameWorkEstimate.h"
#include "GLApp.h"
#include "Point.h"
#include "SettingRegistry.h"
#include "StatisticsPanel.h"
#include "TestEnums.h"
#include "Vec2f.h"
#include "Vec2i.h"

namespace Vellumar {
class ShaderGLSL;
class ShaderProgramGLSL;
} // namespace Vellumar
namespace Vellumar::capture {
class FragmentRecorder;
struct FragmentCapture;
} // namespace Vellumar::capture

struct TwBar;
class FrameTimer;
class CaptureView;

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

    // The two tests a frame runs with the program bound.
    void bigPrimitiveTest();
    void smallPrimitivesTest();

    // Every setting back to its start value: a step of init, which tests take
    // again between cases.
    void setStartValues();

    // The first step of display: works out frameWork and, the first time the
    // settings make it enormous, says so on the console. Tests call it alone,
    // since the frames it warns of would take hours.
    void estimateFrameWorkAndWarn();

    // Fragment capture (GPUTestCapture.cpp). One frame as test mode draws it
    // with the current settings (fast mode off), into the recorder's
    // off-screen framebuffer with the capture build of the shaders; the
    // window, the live program and every setting stay as they were. Throws
    // Vellumar::capture::CaptureError with one line saying why not.
    Vellumar::capture::FragmentCapture recordCapture();
    // `o`: records a capture and shows it instead of the live frames, with
    // its findings on standard output; or says in one INFO line why not.
    void takeCapture();
    // --capture DIR: records a capture and writes its files into DIR.
    // Returns the exit status: 0, or 1 after one line on standard error.
    int writeCapture(const std::string& directory);
    // Whether the window shows a capture instead of the live frames.
    bool captureShown() const;

    // Configuration mode (bars, fast mode on) or test mode (front buffer, fast
    // mode off), as the space bar switches them.
    void setConfigMode(bool on);
    // Moves and sizes the window to winPos and winSize, which the settings by
    // name only write.
    void placeWindow();
    // A value that changes whenever something a frame measures changes: every
    // registered setting, the window's size, the mode and the shader reloads.
    uint64_t settingsFingerprint() const;
    // The frame's times into frameLog, and the timer-coverage warning the
    // first time it is due. The last step of the frame's measurement.
    void recordFrameTimes(double gpuSeconds, double wallSeconds);
    // `w`: starts a recording into a new glintmoth-frames-DATE-TIME.csv, or
    // stops the running one and writes its file. Both say so on standard output.
    void toggleRecording();
    // Writes the running recording, if any (also at `q` and when it is full).
    void finishRecording();
    // `s`: every setting into glintmoth-settings.json in the working directory.
    void saveSettingsFile();

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
    GLenum drawBuffer = GL_FRONT;
    GLenum clearBuffer = GL_BACK;
    Vellumar::ShaderProgramGLSL* shaderProgram = nullptr;
    Vellumar::ShaderGLSL* vertexShader = nullptr;
    Vellumar::ShaderGLSL* fragmentShader = nullptr;
    bool configMode = true;
    TwBar* mainBar = nullptr;
    TwBar* freezeBar = nullptr;
    TwBar* statisticsBar = nullptr;
    // What the coming frame asks of the GPU, worked out before it starts.
    FrameWorkEstimate frameWork;
    bool enormousFrameWarned = false;
    // Made at the first capture; the view and its bar with the other bars.
    std::unique_ptr<Vellumar::capture::FragmentRecorder> recorder;
    std::unique_ptr<CaptureView> captureView;
    // The settings by name for the command line, settings files and sweeps,
    // bound to the members above by the constructor.
    Vellumar::measure::SettingRegistry settings;
    // Every frame's GPU and wall time, the statistics' stretches and the
    // recording of `w`.
    Vellumar::measure::FrameLog frameLog;
    // Counts `r` presses: reloaded shaders start a new stretch of frames.
    int32_t shaderReloads = 0;
    // What the Statistics bar shows, refreshed after each configuration-mode
    // frame's measurement.
    StatisticsPanel statisticsPanel;

private:
    // Steps of init, in the order they run.
    void printStartupLines();
    void createShaders();
    void buildTweakBars();
    void buildMainOptionsBar();
    void buildFreezyPointsBar();
    void buildStatisticsBar();

    // Steps of display besides the macro hand-off, in the order they run.
    void chooseFrameBuffer();
    // The frame's GL work inside the timer: state, macros, the program and
    // the active test. A capture draws the same with its own program.
    void drawFrame();
    void setFrameUniforms();
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
    // Asks GLUT for the size, never below 1 by 1 (X refuses empty windows).
    void reshapeWindow(const Vec2i& size);

    // Both tests clear the colour buffer of clearBuffer, then draw into drawBuffer.
    void clearColorBuffer();
};

// The frame's macro hand-off to the shaders, which display makes before it
// binds the program: the seven macros of the settings (a changed one rebuilds
// the program at the bind). A free function so that benchmarks time the
// frame's own code.
void setFrameMacros(const GLAppGPUTest& test);

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
