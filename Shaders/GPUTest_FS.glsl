// GPU test fragment shader. Freezing pixels (inside an enabled freeze point)
// are drawn red so the user sees where they are; with blocking on they run
// the freezing loop length, otherwise the standard one like every other
// pixel. Standard pixels keep their vertex colour exactly.
//
// A fragment capture builds this file with CAPTURE_FRAGMENTS set; the
// program's frames never set it, and without it the shader is the frame's
// own, unchanged. The capture file comes first: its #extension lines must
// precede all code.

#ifndef CAPTURE_FRAGMENTS
#define CAPTURE_FRAGMENTS 0
#endif
#if CAPTURE_FRAGMENTS
#include "GPUTest_Capture.glsl"
#endif
#include "GPUTest_Common.glsl"

void main()
{
#if CAPTURE_FRAGMENTS
    captureBegin();
#endif
    bool freezing = isFreezingPixel(gl_FragCoord.xy);
    float cycles = userParam.y;
#if ENABLE_BLOCKING
    if (freezing)
        cycles = userParam.x;
#endif
    float result = slowdownLoop(cycleCount(cycles), gl_FragCoord.x * 0.001);

    vec4 color = freezing ? vec4(1.0, 0.0, 0.0, 1.0) : gl_Color;
    // Never true in practice (the loop converges near 1), but the compiler
    // cannot know: this keeps the loop's result live without touching the
    // colour.
    if (result < -1.0e30)
        color = userColor;
#if COUNT_LOOP_CYCLES
    // The cycle count in base 256 over red, green and blue (exact in a float
    // up to 2^24 cycles).
    float ran = float(cyclesRun);
    color = vec4(mod(ran, 256.0), mod(floor(ran / 256.0), 256.0), floor(ran / 65536.0), 255.0) / 255.0;
#endif
    gl_FragColor = color;
#if CAPTURE_FRAGMENTS
    captureEnd(result);
#endif
}
