// What one frame of the current settings asks of the GPU, worked out before
// the frame from the settings alone: how many primitives it sends and how many
// slowdown-loop cycles its pixels run in all. Huge tile sizes or redraw counts
// are reachable with a few key presses and make one frame take hours, during
// which the window cannot answer; the estimate lets the tool say so first.
#pragma once

class GLAppGPUTest;

struct FrameWorkEstimate {
    double primitives = 0.0;
    // Fragments the frame shades: covered pixels, overdraw counted.
    double fragments = 0.0;
    // Covered pixels times the loop cycles each runs (overdraw counted).
    double pixelCycles = 0.0;

    // Past these a frame takes minutes on a fast GPU and hours on a CPU
    // renderer.
    static constexpr double enormousPrimitives = 1.0e8;
    static constexpr double enormousPixelCycles = 1.0e12;
    bool enormous() const {
        return primitives > enormousPrimitives || pixelCycles > enormousPixelCycles;
    }
};

// Without the slowdown loops (fast mode) the pixels run no cycles.
FrameWorkEstimate estimateFrameWork(const GLAppGPUTest& test, bool slowdownLoops);

// Whether the small-primitives test draws anything at all: tile sizes and
// steps below 1 would never advance its loops, a redraw count below 1 draws
// nothing, and an empty window has no pixels.
bool smallPrimitivesDrawable(const GLAppGPUTest& test);
