// A fragment shader shaped like the tool's test shader: slowdown loops whose
// length comes from userParam, freeze points that mark "freezing" pixels, a
// register-saturating loop, and blocking. The macros ENABLE_BLOCKING,
// ENABLE_FREEZE_POINT_0..3, USE_BAD_LOOP, NUM_PIPEVARS and NUM_FREEZE_POINTS
// are written at the top of this text by the program before it compiles.

uniform vec4 userParam;   // x: cycles for freezing pixels, y: for standard pixels
uniform vec4 freezePoints[NUM_FREEZE_POINTS];  // PosX, PosY, SizeX, SizeY in pixels
uniform vec4 userColor;

// True when the fragment lies in freeze point i.
bool insideFreezePoint(int i)
{
    vec4 rect = freezePoints[i];
    vec2 p = gl_FragCoord.xy;
    return p.x >= rect.x && p.y >= rect.y && p.x < rect.x + rect.z && p.y < rect.y + rect.w;
}

bool isFreezingPixel()
{
    bool freezing = false;
#if ENABLE_FREEZE_POINT_0
    freezing = freezing || insideFreezePoint(0);
#endif
#if ENABLE_FREEZE_POINT_1
    freezing = freezing || insideFreezePoint(1);
#endif
#if ENABLE_FREEZE_POINT_2
    freezing = freezing || insideFreezePoint(2);
#endif
#if ENABLE_FREEZE_POINT_3
    freezing = freezing || insideFreezePoint(3);
#endif
    return freezing;
}

// Spends roughly `cycles` iterations of dependent arithmetic, so that the
// compiler cannot remove or shorten the loop.
float slowdown(float cycles, float seed)
{
    float acc = seed;
    float i = 0.0;
    while (i < cycles) {
        acc = fract(acc * 1.000173 + 0.618034);
        i += 1.0;
    }
    return acc;
}

#if USE_BAD_LOOP
// Keeps NUM_PIPEVARS values alive across the loop so that each fragment needs
// many registers, which lowers the number of fragments in flight.
float saturateRegisters(float cycles, float seed)
{
    float regs[NUM_PIPEVARS];
    for (int r = 0; r < NUM_PIPEVARS; ++r)
        regs[r] = seed + float(r) * 0.01;
    float i = 0.0;
    while (i < cycles) {
        for (int r = 0; r < NUM_PIPEVARS; ++r) {
            int next = r + 1 < NUM_PIPEVARS ? r + 1 : 0;
            regs[r] = fract(regs[r] * 1.000173 + regs[next]);
        }
        i += 1.0;
    }
    float sum = 0.0;
    for (int r = 0; r < NUM_PIPEVARS; ++r)
        sum += regs[r];
    return fract(sum);
}
#endif

float spend(float cycles, float seed)
{
#if USE_BAD_LOOP
    return saturateRegisters(cycles, seed);
#else
    return slowdown(cycles, seed);
#endif
}

void main()
{
    float seed = fract(gl_FragCoord.x * 0.013 + gl_FragCoord.y * 0.007);
    bool freezing = isFreezingPixel();

#if ENABLE_BLOCKING
    // Blocking: freezing pixels run the long loop, the others the short one.
    float cycles = freezing ? userParam.x : userParam.y;
#else
    float cycles = userParam.y;
#endif

    float noise = spend(cycles, seed);

    vec4 color = gl_Color * userColor;
    if (freezing)
        color = vec4(1.0, 0.0, 0.0, 1.0);
    // Keep the loop's result alive without changing the picture visibly.
    color.rgb += vec3(noise * 1.0e-6);
    gl_FragColor = color;
}
