// Fragment capture: what each fragment of a captured frame records about
// itself. Included by GPUTest_FS.glsl only when CAPTURE_FRAGMENTS is set,
// which only the capture program does; it builds this text behind a
// "#version 4x0 compatibility" line and sets one macro per part the driver
// offers (CAPTURE_CLOCK, CAPTURE_BALLOT, CAPTURE_THREAD_GROUP), so that no
// part is ever used, or faked, without its extension. The live frame's
// shader never sees any of it.
//
// Per pixel, captureStride unsigned values in CapturePixels (all zero before
// the frame): the first fragment to reach the pixel writes its own values,
// every fragment counts itself in the overdraw. Word order as in
// capture/gl/FragmentRecorder.cpp, which reads them back.

#if CAPTURE_CLOCK
#extension GL_ARB_shader_clock : require
#endif
#if CAPTURE_BALLOT
#extension GL_ARB_gpu_shader_int64 : require
#extension GL_ARB_shader_ballot : require
#endif
#if CAPTURE_THREAD_GROUP
#extension GL_NV_shader_thread_group : require
#endif

const uint captureStride = 11u;
const uint captureOrderWord = 0u;
const uint captureOverdrawWord = 1u;
const uint captureClockStartWord = 2u; // low word, then high word
const uint captureClockEndWord = 4u;
const uint captureSubgroupWord = 6u;
const uint captureLaneWord = 7u;
const uint capturePrimitiveWord = 8u;
const uint captureSmWord = 9u;
const uint captureWarpWord = 10u;

// The counters: fragments in the order they took their number, and
// subgroups likewise.
layout(binding = 0, offset = 0) uniform atomic_uint captureFragmentCounter;
layout(binding = 0, offset = 4) uniform atomic_uint captureSubgroupCounter;

layout(std430, binding = 0) buffer CapturePixels
{
    uint capturePixels[];
};

uint captureBase;
bool captureFirst = false;
uint captureOrder;
uvec2 captureClockStart = uvec2(0u);
uint captureSubgroup = 0u;

#if CAPTURE_BALLOT
// One number per subgroup, taken by one of its lanes and handed to all. The
// lane must be one that really shades a pixel: a helper invocation's atomic
// has no effect and returns an undefined value. GLSL 4.50 names helpers;
// before that every active lane counts.
uint captureSubgroupNumber()
{
#if __VERSION__ >= 450
    bool shading = !gl_HelperInvocation;
#else
    bool shading = true;
#endif
    uvec2 lanes = unpackUint2x32(ballotARB(shading));
    uint leader = lanes.x != 0u ? uint(findLSB(lanes.x)) : 32u + uint(findLSB(lanes.y));
    uint number = 0u;
    if (gl_SubGroupInvocationARB == leader)
        number = atomicCounterIncrement(captureSubgroupCounter);
    return readInvocationARB(number, leader);
}
#endif

// First thing in main, while every lane of the subgroup is still together.
void captureBegin()
{
#if CAPTURE_BALLOT
    captureSubgroup = captureSubgroupNumber();
#endif
    captureOrder = atomicCounterIncrement(captureFragmentCounter);
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    if (all(greaterThanEqual(pixel, ivec2(0))) &&
        all(lessThan(pixel, ivec2(CAPTURE_WIDTH, CAPTURE_HEIGHT)))) {
        captureBase = (uint(pixel.y) * uint(CAPTURE_WIDTH) + uint(pixel.x)) * captureStride;
        captureFirst = atomicAdd(capturePixels[captureBase + captureOverdrawWord], 1u) == 0u;
    }
#if CAPTURE_CLOCK
    captureClockStart = clock2x32ARB();
#endif
}

// Last thing in main. The branch on the loop's result makes the end clock
// wait for the loop: a compiler may move plain arithmetic past a clock read,
// but not a read it has to branch to.
void captureEnd(float loopResult)
{
    uvec2 clockEnd = uvec2(0u);
#if CAPTURE_CLOCK
    if (loopResult != -1.0e38)
        clockEnd = clock2x32ARB();
#endif
    if (!captureFirst)
        return;
    capturePixels[captureBase + captureOrderWord] = captureOrder;
    capturePixels[captureBase + captureClockStartWord] = captureClockStart.x;
    capturePixels[captureBase + captureClockStartWord + 1u] = captureClockStart.y;
    capturePixels[captureBase + captureClockEndWord] = clockEnd.x;
    capturePixels[captureBase + captureClockEndWord + 1u] = clockEnd.y;
#if CAPTURE_BALLOT
    capturePixels[captureBase + captureSubgroupWord] = captureSubgroup;
    capturePixels[captureBase + captureLaneWord] = gl_SubGroupInvocationARB;
#endif
    capturePixels[captureBase + capturePrimitiveWord] = uint(gl_PrimitiveID);
#if CAPTURE_THREAD_GROUP
    capturePixels[captureBase + captureSmWord] = gl_SMIDNV;
    capturePixels[captureBase + captureWarpWord] = gl_WarpIDNV;
#endif
}
