// The application object: owns the one GLUT window, turns GLUT's plain
// callbacks into virtual operations of the current application, runs the main
// loop and supplies the end-of-frame services (frame-rate sample, timed
// message, buffer swap) plus bitmap text and projection helpers; the clock the
// services read. Started without a window, it draws into an OffscreenContext's
// framebuffer instead and makes no GLUT call at all.
#pragma once

#include <string>

namespace Vellumar {

class OffscreenContext;

class GLApp {
public:
    // Keeps the arguments for glutInit, which start() calls (and which may take
    // GLUT's own options out of them): so that main can read its own options,
    // and answer --help, before GLUT connects to a display. A display mode of
    // 0 means 58: RGBA, double buffer, alpha, depth, stencil.
    GLApp(int* argc, char** argv, const char* title, int width, int height,
          unsigned int displayMode);

    // Virtual operations, in their fixed slot order.
    virtual void init();
    virtual void idle();
    virtual void display();
    virtual void postDisplay();
    virtual void reshape(int width, int height);
    virtual void keyboard(unsigned char key);
    virtual void special(int key);
    virtual void mouse(int button, int state, int x, int y);
    virtual void motion(int x, int y);
    virtual void passiveMotion(int x, int y);
    virtual void swapBuffers();
    virtual void postRedisplay();
    virtual void drawText(std::string text, int x, int y, float red, float green, float blue,
                          float alpha);
    virtual void drawText(const char* label, float value, int x, int y, float red, float green,
                          float blue, float alpha);
    virtual void drawText(const char* text, int x, int y, float red, float green, float blue,
                          float alpha);
    virtual void showMessage(int durationMs, std::string text, int x, int y, float red, float green,
                             float blue, float alpha);
    virtual void begin2D();
    virtual void end2D();
    virtual ~GLApp();
    virtual int setupWindow(int width, int height, unsigned int mode);
    virtual void setTitle(const char* newTitle);
    virtual void run();
    virtual void showFps(bool show);
    virtual void setPerspective(double fovy, double aspect, double zNear, double zFar);

    // First half of run: glutInit, window, currentApp, callbacks, GLEW, init,
    // clocks.
    // Tests and benchmarks call it and then drive frames themselves.
    void start();

    // start() without a window: the context is current, its framebuffer
    // stands in for the window (front and back buffer alike, swaps do
    // nothing) and the clock is the process's own.
    void startOffscreen(OffscreenContext& context);

    // The GLUT display callback's work: display, then postDisplay.
    static void displayFrame();

    // The window's place and size, through GLUT or, without a window, the
    // off-screen framebuffer, which takes a new size at once (throwing
    // OffscreenError where it cannot); the reshape that a window system
    // sends follows at the next processWindowEvents, as it does with GLUT.
    void moveWindow(int x, int y);
    void resizeWindow(int width, int height);
    int windowX() const;
    int windowY() const;
    // glutMainLoopEvent, or the pending reshape of the off-screen framebuffer.
    void processWindowEvents();

    // Null while the window is GLUT's.
    OffscreenContext* offscreen = nullptr;

    std::string title;
    unsigned int displayMode;
    // The command line start() hands to glutInit.
    int* argumentCount = nullptr;
    char** arguments = nullptr;
    int windowId = 0;
    bool fpsVisible;
    int fpsSampleTime;
    int fpsFrameCount;
    std::string messageText;
    int messageX = 0;
    int messageY = 0;
    float messageColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int messageTimeLeft;
    int lastFrameTime = 0;
    int frameTime = 0;
    bool textEnabled;
    float fpsValue;
    int windowWidth;
    int windowHeight;
    char fpsText[500] = {};
    bool swapAfterDisplay;
    float nearPlaneCorners[2][3] = {};
    // Without a window: where it would be, and a reshape not yet delivered.
    int offscreenX = 0;
    int offscreenY = 0;
    bool offscreenReshapePending = false;

    // Room for the value form of drawText: label and finished text are cut
    // to fit, never overflowing.
    static constexpr int textAreaSize = 1024;

    // The value form's text: the label taken literally, a blank, the value as
    // "%f"; cut to the text area.
    static void formatValueText(char (&text)[textAreaSize], const char* label, float value);
};

// The application that receives every GLUT event; null until one is set.
extern GLApp* currentApp;

// The framework's clock, GLUT's elapsed time in milliseconds, read through a
// replaceable function so that tests can drive the frame-rate and message
// timing without sleeping.
using ElapsedTimeSource = int (*)();

// Returns glutGet(GLUT_ELAPSED_TIME).
int glutElapsedTime();
// Milliseconds since the process's first call: the clock with no window.
int steadyElapsedTime();

// The clock that GLApp reads; glutElapsedTime unless a test replaced it.
extern ElapsedTimeSource elapsedTimeSource;

// The half extents of a symmetric frustum's near plane.
struct FrustumExtent {
    double right;
    double top;
};

// Multiplies the current matrix by the perspective frustum of a vertical field
// of view in degrees, as gluPerspective builds it (glFrustum), and returns its
// near plane's half extents.
FrustumExtent multiplyPerspective(double fovy, double aspect, double zNear, double zFar);

} // namespace Vellumar
