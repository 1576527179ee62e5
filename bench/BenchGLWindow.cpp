#include "BenchGLWindow.h"

#include "GLHeaders.h"

namespace testsupport {

bool openGLWindow(int* argc, char** argv) {
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_ALPHA | GLUT_DEPTH | GLUT_STENCIL);
    glutInitWindowSize(512, 512);
    if (glutCreateWindow("shader_bench") <= 0) {
        return false;
    }
    glutDisplayFunc([] {});
    return glewInit() == GLEW_OK;
}

} // namespace testsupport
