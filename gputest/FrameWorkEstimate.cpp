// The frame's work estimate, in double precision so that no setting the keys
// can reach overflows it. It follows the loops of the two tests: tiles of
// primTilingSize over the window, primitives every primStep inside a tile,
// primRedrawCount times at the level repPrim names.
#include "FrameWorkEstimate.h"

#include <algorithm>
#include <cmath>

#include "GLAppGPUTest.h"

namespace {

// Cycles the shader runs for a count of the settings: negative counts run
// none, it cuts counts at 2e9, and the driver where a capture saw it cut them.
double cyclesFor(const GLAppGPUTest& test, int32_t count) {
    const double cut = test.loopsCutAt > 0 ? double(test.loopsCutAt) : 2.0e9;
    return std::min(std::max(0.0, double(count)), cut);
}

double pixelsOfOnePrimitive(const GLAppGPUTest& test) {
    const double width = std::fabs(double(test.primSize.x));
    const double height = std::fabs(double(test.primSize.y));
    switch (test.curPrim) {
    case PRIM_POINTS: return 1.0;
    case PRIM_LINES: return std::max(1.0, std::max(width, height));
    default: return width * height;
    }
}

double smallPrimitiveCount(const GLAppGPUTest& test) {
    if (!smallPrimitivesDrawable(test)) {
        return 0.0;
    }
    const Vec2i& tile = test.primTilingSize;
    const Vec2i& step = test.primStep;
    const double tiles = std::ceil(double(test.windowWidth) / tile.x) *
                         std::ceil(double(test.windowHeight) / tile.y);
    const double perTile = std::ceil(double(tile.x) / step.x) * std::ceil(double(tile.y) / step.y);
    return tiles * perTile * test.primRedrawCount;
}

// Pixels of the window inside the enabled freeze points.
double freezingPixels(const GLAppGPUTest& test) {
    double pixels = 0.0;
    for (int i = 0; i < 4; ++i) {
        if (!test.freezePointEnabled[i]) {
            continue;
        }
        const Point& p = test.freezePoints[i];
        const double x0 = std::max(0.0, std::min(double(p.PosX), double(p.PosX) + p.SizeX));
        const double x1 =
            std::min(double(test.windowWidth), std::max(double(p.PosX), double(p.PosX) + p.SizeX));
        const double y0 = std::max(0.0, std::min(double(p.PosY), double(p.PosY) + p.SizeY));
        const double y1 =
            std::min(double(test.windowHeight), std::max(double(p.PosY), double(p.PosY) + p.SizeY));
        pixels += std::max(0.0, x1 - x0) * std::max(0.0, y1 - y0);
    }
    return pixels;
}

} // namespace

bool smallPrimitivesDrawable(const GLAppGPUTest& test) {
    return test.primRedrawCount > 0 && test.primTilingSize.x >= 1 && test.primTilingSize.y >= 1 &&
           test.primStep.x >= 1 && test.primStep.y >= 1 && test.windowWidth > 0 &&
           test.windowHeight > 0;
}

FrameWorkEstimate estimateFrameWork(const GLAppGPUTest& test, bool slowdownLoops) {
    FrameWorkEstimate work;
    const double windowPixels =
        std::max(0.0, double(test.windowWidth)) * std::max(0.0, double(test.windowHeight));
    double covered = 0.0;
    if (test.curTest == TEST_BIG_PRIMITIVE) {
        work.primitives = 1.0;
        covered = windowPixels;
    } else if (test.curTest == TEST_SMALL_PRIMITIVES) {
        work.primitives = smallPrimitiveCount(test);
        covered = work.primitives * pixelsOfOnePrimitive(test);
    }
    work.fragments = covered;
    if (!slowdownLoops) {
        return work;
    }
    const double standard = cyclesFor(test, test.loopsCount.y);
    work.pixelCycles = covered * standard;
    if (test.blockingEnable && covered > 0.0) {
        // Freezing pixels run their own count instead; overdraw is left out.
        const double freezing = std::min(freezingPixels(test), windowPixels);
        work.pixelCycles += freezing * (cyclesFor(test, test.loopsCount.x) - standard);
        work.pixelCycles = std::max(0.0, work.pixelCycles);
    }
    return work;
}
