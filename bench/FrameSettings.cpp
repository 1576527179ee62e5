// Starting the GPU test for the benchmarks, and putting one benchmark
// configuration into its members.
#include "FrameSettings.h"

#include <iostream>

#include "GLAppGPUTest.h"
#include "GLHeaders.h"
#include "OffscreenContext.h"

namespace testsupport {

GLAppGPUTest* startTool(int* argc, char** argv, bool headless) {
    auto* tool =
        new GLAppGPUTest(argc, argv, "The Tazzle Glintmoth (benchmark, February 08)", 512, 512, 58);
    {
        // Keep the tables clean of init's start-up lines.
        std::streambuf* console = std::cout.rdbuf(nullptr);
        if (headless) {
            // Kept, like the tool, until the process ends.
            tool->startOffscreen(*new Vellumar::OffscreenContext(
                Vellumar::OffscreenContext::defaultDevice(Vellumar::OffscreenContext::devices())));
        } else {
            tool->start();
        }
        std::cout.rdbuf(console);
        std::cout.clear();
    }
    tool->printStats = false;
    // Let the window reach its place and size before anything is timed.
    for (int i = 0; i < 20; ++i) {
        tool->processWindowEvents();
    }
    return tool;
}

GLenum frameBuffer(const GLAppGPUTest& tool) {
    return tool.offscreen ? GL_COLOR_ATTACHMENT0 : GL_FRONT;
}

int64_t FrameSettings::primitiveCount() const {
    if (test == 0) {
        return 1;
    }
    auto perAxis = [](int32_t window, int32_t tileSize, int32_t stepSize) {
        int64_t tiles = (window + tileSize - 1) / tileSize;
        int64_t positions = (tileSize + stepSize - 1) / stepSize;
        return tiles * positions;
    };
    return perAxis(512, tile.x, step.x) * perAxis(512, tile.y, step.y);
}

void applySettings(const FrameSettings& s, GLAppGPUTest& tool) {
    tool.configMode = false;
    tool.printStats = false;
    tool.fullScreen = true;
    tool.curTest = s.test;
    tool.fastMode = s.fastMode;
    tool.loopsCount = s.loopsCount;
    tool.blockingEnable = s.blocking;
    for (int i = 0; i < 4; ++i) {
        tool.freezePointEnabled[i] = i == 0 && s.freezePoint0;
    }
    tool.freezePoints[0] = s.freezePoint;
    tool.curPrim = s.primitive;
    tool.primTilingSize = s.tile;
    tool.primStep = s.step;
    tool.primSize = s.size;
    tool.primRedrawCount = 1;
    tool.repPrim = 0;
    tool.allOnOnePixel = 0;
    tool.drawCallPerPrimitive = s.perPrimitive;
    tool.bigTriangle = false;
    tool.useRegSaturation = false;
}

} // namespace testsupport
