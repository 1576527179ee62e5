// The application object: GLUT's callbacks forwarded to the current
// application, the end-of-frame services (frame-rate sample, timed message,
// swap), bitmap text, 2D and perspective projections, and the clock they read;
// the same services without a window, over an OffscreenContext.
#include "GLApp.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "GLHeaders.h"
#include "OffscreenContext.h"

namespace Vellumar {

GLApp* currentApp = nullptr;

int glutElapsedTime() { return glutGet(GLUT_ELAPSED_TIME); }

int steadyElapsedTime() {
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point start = Clock::now();
    // Wraps like GLUT's 32-bit clock after 24 days; its readers allow for that.
    return static_cast<int>(static_cast<unsigned int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count()));
}

ElapsedTimeSource elapsedTimeSource = glutElapsedTime;

namespace {

constexpr unsigned int defaultDisplayMode = 58; // RGBA | DOUBLE | ALPHA | DEPTH | STENCIL
// Pi as a 32-bit float holds it: the projection has always been built with it.
constexpr double singlePrecisionPi = 3.1415927410125732;

// Differences of GLUT clock readings, without signed overflow should the
// 32-bit millisecond clock ever wrap.
int clockDifference(int later, int earlier) {
    return static_cast<int>(static_cast<unsigned int>(later) - static_cast<unsigned int>(earlier));
}

// The GLUT callbacks: each fetches the current application and forwards.
void onDisplay() { GLApp::displayFrame(); }
void onReshape(int width, int height) {
    currentApp->windowWidth = width;
    currentApp->windowHeight = height;
    currentApp->reshape(width, height);
}
void onKeyboard(unsigned char key, int, int) { currentApp->keyboard(key); }
void onSpecial(int key, int, int) { currentApp->special(key); }
void onMouse(int button, int state, int x, int y) { currentApp->mouse(button, state, x, y); }
void onMotion(int x, int y) { currentApp->motion(x, y); }
void onPassiveMotion(int x, int y) { currentApp->passiveMotion(x, y); }
void onIdle() { currentApp->idle(); }

} // namespace

GLApp::GLApp(int* argc, char** argv, const char* newTitle, int width, int height, unsigned int mode)
    : argumentCount(argc), arguments(argv) {
    if (mode == 0) {
        mode = defaultDisplayMode;
    }
    windowWidth = width;
    windowHeight = height;
    displayMode = mode;
    title = newTitle ? newTitle : "";
    fpsValue = 0.0f;
    fpsVisible = false;
    fpsSampleTime = 0;
    fpsFrameCount = 0;
    swapAfterDisplay = (mode & GLUT_DOUBLE) != 0;
    textEnabled = true;
    messageTimeLeft = 0;
}

GLApp::~GLApp() = default;

void GLApp::init() {}
void GLApp::idle() {}
void GLApp::display() {}
void GLApp::reshape(int, int) {}
void GLApp::keyboard(unsigned char) {}
void GLApp::special(int) {}
void GLApp::mouse(int, int, int, int) {}
void GLApp::motion(int, int) {}
void GLApp::passiveMotion(int, int) {}
void GLApp::swapBuffers() {
    if (!offscreen) {
        glutSwapBuffers();
    }
}
void GLApp::postRedisplay() {
    // Without a window nothing waits for a redisplay: whoever drives the
    // frames draws them.
    if (!offscreen) {
        glutPostRedisplay();
    }
}

void GLApp::displayFrame() {
    currentApp->display();
    currentApp->postDisplay();
}

void GLApp::postDisplay() {
    glDisable(GL_DEPTH_TEST);

    int now = elapsedTimeSource();
    ++fpsFrameCount;
    int elapsed = clockDifference(now, fpsSampleTime);
    if (elapsed >= 250 && fpsFrameCount > 10) {
        fpsSampleTime = now;
        fpsValue = static_cast<float>(fpsFrameCount * 1000.0 / elapsed);
        fpsFrameCount = 0;
    }

    if (fpsVisible) {
        std::snprintf(fpsText, sizeof fpsText, "FPS: %4.2f", static_cast<double>(fpsValue));
        bool savedTextEnabled = textEnabled;
        textEnabled = true;
        drawText(fpsText, 0, 20, 1.0f, 0.0f, 0.0f, 1.0f);
        textEnabled = savedTextEnabled;
    }

    frameTime = clockDifference(elapsedTimeSource(), lastFrameTime);
    lastFrameTime = elapsedTimeSource();

    if (messageTimeLeft != 0) {
        bool savedTextEnabled = textEnabled;
        textEnabled = true;
        drawText(messageText.c_str(), messageX, messageY, messageColor[0], messageColor[1],
                 messageColor[2], messageColor[3]);
        textEnabled = savedTextEnabled;
        if (messageTimeLeft > 0) {
            long long left = static_cast<long long>(messageTimeLeft) - frameTime;
            messageTimeLeft = left < 0 ? 0 : static_cast<int>(left);
        }
    }

    if (swapAfterDisplay) {
        currentApp->swapBuffers();
    }
}

void GLApp::drawText(std::string text, int x, int y, float red, float green, float blue,
                     float alpha) {
    drawText(text.c_str(), x, y, red, green, blue, alpha);
}

void GLApp::formatValueText(char (&text)[textAreaSize], const char* label, float value) {
    // Both the label and the finished text are cut to the text area.
    char cutLabel[textAreaSize];
    if (std::snprintf(cutLabel, sizeof cutLabel, "%s", label ? label : "") < 0) {
        cutLabel[0] = '\0';
    }
    if (std::snprintf(text, sizeof text, "%s %f", cutLabel, static_cast<double>(value)) < 0) {
        text[0] = '\0';
    }
}

void GLApp::drawText(const char* label, float value, int x, int y, float red, float green,
                     float blue, float alpha) {
    char text[textAreaSize];
    formatValueText(text, label, value);
    drawText(static_cast<const char*>(text), x, y, red, green, blue, alpha);
}

void GLApp::drawText(const char* text, int x, int y, float red, float green, float blue,
                     float alpha) {
    if (!textEnabled) {
        return;
    }
    glViewport(0, 0, windowWidth, windowHeight);
    begin2D();
    glPushAttrib(0xFFFFF);
    // Eight units whatever the implementation offers: enabled texturing on any
    // of them would tint the bitmap text.
    for (int unit = 0; unit < 8; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_RECTANGLE_ARB);
        glDisable(GL_TEXTURE_3D);
        glDisable(GL_TEXTURE_CUBE_MAP);
    }
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(red, green, blue, alpha);
    glRasterPos2f(static_cast<float>(x), static_cast<float>(y));
    if (text) {
        for (const char* c = text; *c; ++c) {
            glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, static_cast<unsigned char>(*c));
        }
    }
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    end2D();
}

void GLApp::showMessage(int durationMs, std::string text, int x, int y, float red, float green,
                        float blue, float alpha) {
    messageTimeLeft = durationMs;
    messageText = std::move(text);
    messageX = x;
    messageY = y;
    messageColor[0] = red;
    messageColor[1] = green;
    messageColor[2] = blue;
    messageColor[3] = alpha;
}

void GLApp::begin2D() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, windowWidth, 0, windowHeight);
    glScalef(1.0f, -1.0f, 1.0f);
    glTranslatef(0.0f, static_cast<float>(-windowHeight), 0.0f);
    glMatrixMode(GL_MODELVIEW);
}

void GLApp::end2D() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

int GLApp::setupWindow(int width, int height, unsigned int mode) {
    windowWidth = width;
    windowHeight = height;
    displayMode = mode;
    return 0;
}

void GLApp::setTitle(const char* newTitle) { title = newTitle ? newTitle : ""; }

void GLApp::showFps(bool show) { fpsVisible = show; }

FrustumExtent multiplyPerspective(double fovy, double aspect, double zNear, double zFar) {
    const double top = std::tan(fovy / 360.0 * singlePrecisionPi) * zNear;
    const double right = top * aspect;
    glFrustum(-right, right, -top, top, zNear, zFar);
    return {right, top};
}

void GLApp::setPerspective(double fovy, double aspect, double zNear, double zFar) {
    const FrustumExtent extent = multiplyPerspective(fovy, aspect, zNear, zFar);
    nearPlaneCorners[0][0] = static_cast<float>(-extent.right);
    nearPlaneCorners[0][1] = static_cast<float>(-extent.top);
    nearPlaneCorners[0][2] = static_cast<float>(zNear);
    nearPlaneCorners[1][0] = static_cast<float>(extent.right);
    nearPlaneCorners[1][1] = static_cast<float>(extent.top);
    nearPlaneCorners[1][2] = static_cast<float>(zNear);
}

void GLApp::start() {
    // GLUT ends the process on a second glutInit; a second application object
    // (tests make several) shares the first one's initialisation.
    if (!glutGet(GLUT_INIT_STATE)) {
        glutInit(argumentCount, arguments);
    }
    glutInitDisplayMode(displayMode);
    glutInitWindowSize(windowWidth, windowHeight);
    windowId = glutCreateWindow(title.c_str());
    currentApp = this;
    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutKeyboardFunc(onKeyboard);
    glutSpecialFunc(onSpecial);
    glutMouseFunc(onMouse);
    glutMotionFunc(onMotion);
    glutPassiveMotionFunc(onPassiveMotion);
    glutIdleFunc(onIdle);
    glewInit();
    init();
    // init's own duration is not a frame.
    int now = elapsedTimeSource();
    fpsSampleTime = now;
    lastFrameTime = now;
}

void GLApp::startOffscreen(OffscreenContext& context) {
    offscreen = &context;
    currentApp = this;
    if (elapsedTimeSource == glutElapsedTime) {
        elapsedTimeSource = steadyElapsedTime;
    }
    resizeWindow(windowWidth, windowHeight);
    init();
    int now = elapsedTimeSource();
    fpsSampleTime = now;
    lastFrameTime = now;
}

void GLApp::moveWindow(int x, int y) {
    if (offscreen) {
        offscreenX = x;
        offscreenY = y;
        return;
    }
    glutPositionWindow(x, y);
}

void GLApp::resizeWindow(int width, int height) {
    if (!offscreen) {
        glutReshapeWindow(width, height);
        return;
    }
    offscreen->resizeFramebuffer(width, height);
    windowWidth = width;
    windowHeight = height;
    offscreenReshapePending = true;
}

int GLApp::windowX() const { return offscreen ? offscreenX : glutGet(GLUT_WINDOW_X); }

int GLApp::windowY() const { return offscreen ? offscreenY : glutGet(GLUT_WINDOW_Y); }

void GLApp::processWindowEvents() {
    if (!offscreen) {
        glutMainLoopEvent();
        return;
    }
    if (offscreenReshapePending) {
        offscreenReshapePending = false;
        reshape(windowWidth, windowHeight);
    }
}

void GLApp::run() {
    start();
    glutMainLoop();
    // freeglut's loop only returns when told to; the process ends here then.
    std::exit(0);
}

} // namespace Vellumar
