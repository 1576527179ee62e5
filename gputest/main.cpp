// Entry point: one test application on the heap, handed to the framework's
// main loop, which never returns.
#include "GLAppGPUTest.h"

int main(int argc, char** argv) {
    Vellumar::GLApp* app = new GLAppGPUTest(
        &argc, argv,
        "The Tazzle Glintmoth (rasterisation and fragment scheduling probe, February 08)", 512, 512,
        58);
    app->run();
    return 0;
}
