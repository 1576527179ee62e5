// Fragment capture: what each fragment of a captured frame records about
// itself. Included by GPUTest_FS.glsl only when CAPTURE_FRAGMENTS is set,
// which only the capture program does; it builds this text behind a
// "#version 4x0 compatibility" line and sets one macro per part the driver
// offers (CAPTURE_CLOCK, CAPTURE_BALLOT, CAPTURE_THREAD_GROUP), so that no
// part is ever used, or faked, without its extension. The live frame's
// shader never sees any of it.
//
// Every fragment appends one record to a log: the atomic counter's value is
// both its order and its slot. Slots at or past CAPTURE_CAPACITY are counted
// by the counter but not written, so that the recorder can say how many it
// dropped. The log spans CAPTURE_LOG_BLOCKS storage blocks of
// CAPTURE_RECORDS_PER_BLOCK records each, because a driver limits the size of
// one block (llvmpipe: 128 MiB). Word order as in
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

const uint capturePixelWord = 0u;
const uint capturePrimitiveWord = 1u;
const uint captureClockStartWord = 2u; // low word, then high word
const uint captureClockEndWord = 4u;
const uint captureSubgroupWord = 6u;
const uint captureLaneWord = 7u;
const uint captureLoopsWord = 8u;
#if CAPTURE_THREAD_GROUP
const uint captureSmWord = 9u;
const uint captureWarpWord = 10u;
const uint captureRecordWords = 11u;
#else
const uint captureRecordWords = 9u;
#endif

// The counters: fragments in the order they took their number, and
// subgroups likewise.
layout(binding = 0, offset = 0) uniform atomic_uint captureFragmentCounter;
layout(binding = 0, offset = 4) uniform atomic_uint captureSubgroupCounter;

// GLSL 4.30 indexes an array of blocks only with a dynamically uniform
// expression, and a fragment's slot is anything but: one block each, chosen
// by captureStore below.
layout(std430, binding = 0) buffer CaptureLog0 { uint captureLog0[]; };
#if CAPTURE_LOG_BLOCKS > 1
layout(std430, binding = 1) buffer CaptureLog1 { uint captureLog1[]; };
#endif
#if CAPTURE_LOG_BLOCKS > 2
layout(std430, binding = 2) buffer CaptureLog2 { uint captureLog2[]; };
#endif
#if CAPTURE_LOG_BLOCKS > 3
layout(std430, binding = 3) buffer CaptureLog3 { uint captureLog3[]; };
#endif
#if CAPTURE_LOG_BLOCKS > 4
layout(std430, binding = 4) buffer CaptureLog4 { uint captureLog4[]; };
#endif
#if CAPTURE_LOG_BLOCKS > 5
layout(std430, binding = 5) buffer CaptureLog5 { uint captureLog5[]; };
#endif
#if CAPTURE_LOG_BLOCKS > 6
layout(std430, binding = 6) buffer CaptureLog6 { uint captureLog6[]; };
#endif
#if CAPTURE_LOG_BLOCKS > 7
layout(std430, binding = 7) buffer CaptureLog7 { uint captureLog7[]; };
#endif

uint captureOrder;
uvec2 captureClockStart = uvec2(0u);
uint captureSubgroup = 0u;
// Counted by slowdownLoop in GPUTest_Common.glsl: the iterations the loop
// really ran, which a driver may cut short of the count asked.
uint captureLoopsRun = 0u;

void captureStore(uint block, uint at, uint value)
{
    if (block == 0u)
        captureLog0[at] = value;
#if CAPTURE_LOG_BLOCKS > 1
    else if (block == 1u)
        captureLog1[at] = value;
#endif
#if CAPTURE_LOG_BLOCKS > 2
    else if (block == 2u)
        captureLog2[at] = value;
#endif
#if CAPTURE_LOG_BLOCKS > 3
    else if (block == 3u)
        captureLog3[at] = value;
#endif
#if CAPTURE_LOG_BLOCKS > 4
    else if (block == 4u)
        captureLog4[at] = value;
#endif
#if CAPTURE_LOG_BLOCKS > 5
    else if (block == 5u)
        captureLog5[at] = value;
#endif
#if CAPTURE_LOG_BLOCKS > 6
    else if (block == 6u)
        captureLog6[at] = value;
#endif
#if CAPTURE_LOG_BLOCKS > 7
    else if (block == 7u)
        captureLog7[at] = value;
#endif
}

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
    if (captureOrder >= uint(CAPTURE_CAPACITY))
        return;
    uint block = captureOrder / uint(CAPTURE_RECORDS_PER_BLOCK);
    uint base = (captureOrder % uint(CAPTURE_RECORDS_PER_BLOCK)) * captureRecordWords;
    // A fragment lies inside the framebuffer, which has the window's size.
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    captureStore(block, base + capturePixelWord,
                 uint(pixel.y) * uint(CAPTURE_WIDTH) + uint(pixel.x));
    captureStore(block, base + capturePrimitiveWord, uint(gl_PrimitiveID));
    captureStore(block, base + captureClockStartWord, captureClockStart.x);
    captureStore(block, base + captureClockStartWord + 1u, captureClockStart.y);
    captureStore(block, base + captureClockEndWord, clockEnd.x);
    captureStore(block, base + captureClockEndWord + 1u, clockEnd.y);
    captureStore(block, base + captureSubgroupWord, captureSubgroup);
#if CAPTURE_BALLOT
    captureStore(block, base + captureLaneWord, gl_SubGroupInvocationARB);
#else
    captureStore(block, base + captureLaneWord, 0u);
#endif
    captureStore(block, base + captureLoopsWord, captureLoopsRun);
#if CAPTURE_THREAD_GROUP
    captureStore(block, base + captureSmWord, gl_SMIDNV);
    captureStore(block, base + captureWarpWord, gl_WarpIDNV);
#endif
}
