// The test binary's one GLUT window, and pumping its events.
#include "GLTestWindow.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <chrono>
#include <thread>

namespace testsupport {

namespace {
int window = 0;
}

void ensureGLWindow() {
    if (window != 0) {
        glutSetWindow(window);
        return;
    }
    // An application window the binary already opened serves as well.
    if (glutGet(GLUT_INIT_STATE) && glutGetWindow() != 0) {
        window = glutGetWindow();
        return;
    }
    if (!glutGet(GLUT_INIT_STATE)) {
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
    }
    glutInitDisplayMode(58);
    glutInitWindowSize(512, 512);
    window = glutCreateWindow("glintmoth tests");
    glutDisplayFunc([] {});
    glewInit();
    pumpGlutEvents();
}

void pumpGlutEvents(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace testsupport
