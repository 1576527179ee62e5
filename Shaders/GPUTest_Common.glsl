// Freeze points and slowdown loops of the GPU test fragment shader.
//
// The program writes its macros at the very top of the fragment shader's
// text; the values below only stand in until it has (a file read on its own,
// or NUM_PIPEVARS before register saturation is first switched on).

#ifndef NUM_FREEZE_POINTS
#define NUM_FREEZE_POINTS 4
#endif
#ifndef ENABLE_BLOCKING
#define ENABLE_BLOCKING 1
#endif
#ifndef ENABLE_FREEZE_POINT_0
#define ENABLE_FREEZE_POINT_0 1
#endif
#ifndef ENABLE_FREEZE_POINT_1
#define ENABLE_FREEZE_POINT_1 0
#endif
#ifndef ENABLE_FREEZE_POINT_2
#define ENABLE_FREEZE_POINT_2 0
#endif
#ifndef ENABLE_FREEZE_POINT_3
#define ENABLE_FREEZE_POINT_3 0
#endif
#ifndef USE_BAD_LOOP
#define USE_BAD_LOOP 0
#endif
#ifndef NUM_PIPEVARS
#define NUM_PIPEVARS 20
#endif
// Tests switch this on to read, from a pixel's colour, how many loop cycles
// the pixel ran; the program never sets it.
#ifndef COUNT_LOOP_CYCLES
#define COUNT_LOOP_CYCLES 0
#endif
// Set by the capture build only (see GPUTest_Capture.glsl).
#ifndef CAPTURE_FRAGMENTS
#define CAPTURE_FRAGMENTS 0
#endif
// The register count sizes an array: below 1 it would not compile, and
// thousands of values would keep the compiler busy for minutes.
#if NUM_PIPEVARS < 1
#define PIPEVAR_COUNT 1
#elif NUM_PIPEVARS > 256
#define PIPEVAR_COUNT 256
#else
#define PIPEVAR_COUNT NUM_PIPEVARS
#endif

// x: cycles for freezing pixels, y: cycles for standard pixels; zw are 0.
uniform vec4 userParam;
// (PosX, PosY, SizeX, SizeY) in window pixels, origin lower-left.
uniform vec4 freezePoints[NUM_FREEZE_POINTS];
uniform vec4 userColor;

// The rectangle spans from (PosX, PosY) to (PosX + SizeX, PosY + SizeY): a
// negative size spans the other way, a zero size holds no pixel.
bool insideFreezePoint(vec4 rectangle, vec2 pixel)
{
    vec2 corner = rectangle.xy + rectangle.zw;
    vec2 low = min(rectangle.xy, corner);
    vec2 high = max(rectangle.xy, corner);
    return all(greaterThanEqual(pixel, low)) && all(lessThan(pixel, high));
}

bool isFreezingPixel(vec2 pixel)
{
    bool freezing = false;
#if ENABLE_FREEZE_POINT_0
    freezing = freezing || insideFreezePoint(freezePoints[0], pixel);
#endif
#if ENABLE_FREEZE_POINT_1
    freezing = freezing || insideFreezePoint(freezePoints[1], pixel);
#endif
#if ENABLE_FREEZE_POINT_2
    freezing = freezing || insideFreezePoint(freezePoints[2], pixel);
#endif
#if ENABLE_FREEZE_POINT_3
    freezing = freezing || insideFreezePoint(freezePoints[3], pixel);
#endif
    return freezing;
}

// Loop counts arrive as floats; beyond 2e9 the conversion to int would be
// undefined, and negative counts run no cycle.
int cycleCount(float cycles)
{
    return int(clamp(cycles, 0.0, 2.0e9));
}

#if COUNT_LOOP_CYCLES
int cyclesRun = 0;
#endif

// One dependent multiply-add per cycle. The factor comes from a uniform the
// compiler cannot see is zero, so it can neither fold the loop nor bound its
// result: the loop must really run.
float slowdownLoop(int cycles, float seed)
{
    float factor = 0.999 + userParam.z;
#if USE_BAD_LOOP
    // PIPEVAR_COUNT independent values live across every cycle: register
    // pressure that limits how many fragments run side by side.
    float values[PIPEVAR_COUNT];
    for (int k = 0; k < PIPEVAR_COUNT; ++k)
        values[k] = seed + float(k);
    for (int i = 0; i < cycles; ++i) {
        for (int k = 0; k < PIPEVAR_COUNT; ++k)
            values[k] = values[k] * factor + 0.001;
#if COUNT_LOOP_CYCLES
        ++cyclesRun;
#endif
#if CAPTURE_FRAGMENTS
        ++captureLoopsRun;
#endif
    }
    float result = 0.0;
    for (int k = 0; k < PIPEVAR_COUNT; ++k)
        result += values[k];
    return result;
#else
    float value = seed;
    for (int i = 0; i < cycles; ++i) {
        value = value * factor + 0.001;
#if COUNT_LOOP_CYCLES
        ++cyclesRun;
#endif
#if CAPTURE_FRAGMENTS
        ++captureLoopsRun;
#endif
    }
    return value;
#endif
}
