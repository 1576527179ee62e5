// The two tests a frame runs with the test program bound: one window-covering
// primitive, or a checkerboard grid of tiles filled with small primitives.
// Immediate mode on purpose: the draw calls are what is being measured, so
// nothing here is merged, reordered or skipped.
#include <cstdint>

#include "GLAppGPUTest.h"
#include "GLHeaders.h"
#include "ShaderProgramGLSL.h"

namespace {

void vertex(float x, float y) { glVertex4f(x, y, -1.0f, 1.0f); }

// The vertices of one primitive anchored at p with extent s. Inlined into
// the grid loops: it runs once per primitive, up to hundreds of thousands of
// times a frame.
inline __attribute__((always_inline)) void emitPrimitive(int32_t mode, const Vec2f& p,
                                                         const Vec2f& s) {
    switch (mode) {
    case PRIM_POINTS: vertex(p.x, p.y); break;
    case PRIM_LINES:
        vertex(p.x, p.y);
        vertex(p.x + s.x, p.y + s.y);
        break;
    case PRIM_TRIANGLES:
        // Two counter-clockwise triangles sharing the diagonal from p.
        vertex(p.x, p.y);
        vertex(p.x + s.x, p.y);
        vertex(p.x + s.x, p.y + s.y);
        vertex(p.x + s.x, p.y + s.y);
        vertex(p.x, p.y + s.y);
        vertex(p.x, p.y);
        break;
    case PRIM_QUADS:
        vertex(p.x, p.y);
        vertex(p.x + s.x, p.y);
        vertex(p.x + s.x, p.y + s.y);
        vertex(p.x, p.y + s.y);
        break;
    default: break;
    }
}

struct TileColor {
    float r, g, b, a;
};
constexpr TileColor green = {0.0f, 1.0f, 0.0f, 1.0f};
constexpr TileColor blue = {0.0f, 0.0f, 1.0f, 1.0f};

void setColor(const TileColor& c) { glColor4f(c.r, c.g, c.b, c.a); }

// The small-primitives test's loops, from the frame redraw outside to the
// primitive redraw inside. All position arithmetic is single precision.
struct SmallPrimitiveGrid {
    SmallPrimitiveGrid(GLAppGPUTest& app, Vellumar::ShaderProgramGLSL& program)
        : app(app), program(program), batched(!app.drawCallPerPrimitive),
          redraws(app.primRedrawCount) {
        const float width = static_cast<float>(app.windowWidth);
        const float height = static_cast<float>(app.windowHeight);
        const Vec2f pixelSize = {2.0f / width, 2.0f / height};
        tileExtent = Vec2f{static_cast<float>(app.primTilingSize.x),
                           static_cast<float>(app.primTilingSize.y)} *
                     pixelSize;
        halfWindow = {width * 0.5f, height * 0.5f};
        primExtent = Vec2f{static_cast<float>(app.primSize.x), static_cast<float>(app.primSize.y)} /
                     halfWindow;
    }

    int32_t redrawsFor(int32_t mode) const { return app.repPrim == mode ? redraws : 1; }

    void draw() {
        for (int32_t frame = 0, n = redrawsFor(REDRAW_FRAME); frame < n; ++frame) {
            int64_t row = 0;
            // The second condition ends a loop whose step is lost in float
            // rounding (a huge window), which would otherwise never end.
            for (float y = -1.0f; y < 1.0f && y + tileExtent.y > y; y += tileExtent.y, ++row) {
                int64_t column = 0;
                for (float x = -1.0f; x < 1.0f && x + tileExtent.x > x;
                     x += tileExtent.x, ++column) {
                    drawTile(x, y, (column + row) % 2 == 0 ? green : blue);
                }
            }
        }
    }

    void drawTile(float x, float y, const TileColor& color) {
        if (batched) {
            setColor(color);
        }
        for (int32_t pass = 0, n = redrawsFor(REDRAW_TILES); pass < n; ++pass) {
            // 64-bit offsets: a step near the int32 limit must not overflow.
            for (int64_t c = 0; c < app.primTilingSize.y; c += app.primStep.y) {
                for (int64_t b = 0; b < app.primTilingSize.x; b += app.primStep.x) {
                    Vec2f anchor = {0.0f, 0.0f};
                    if (!app.allOnOnePixel) {
                        anchor = Vec2f{x, y} +
                                 Vec2f{static_cast<float>(b), static_cast<float>(c)} / halfWindow;
                    }
                    drawPrimitive(anchor, color);
                }
            }
        }
    }

    void drawPrimitive(const Vec2f& anchor, const TileColor& color) {
        for (int32_t pass = 0, n = redrawsFor(REDRAW_PRIMITIVE); pass < n; ++pass) {
            if (batched) {
                emitPrimitive(app.curPrim, anchor, primExtent);
                continue;
            }
            program.bind(true);
            glBegin(app.curPrim);
            setColor(color);
            emitPrimitive(app.curPrim, anchor, primExtent);
            glEnd();
            program.unbind(true);
        }
    }

    GLAppGPUTest& app;
    Vellumar::ShaderProgramGLSL& program;
    const bool batched;
    const int32_t redraws;
    Vec2f tileExtent = {};
    Vec2f halfWindow = {};
    Vec2f primExtent = {};
};

} // namespace

void GLAppGPUTest::clearColorBuffer(const FrameTarget& target) {
    glDrawBuffer(target.buffer);
    glClear(GL_COLOR_BUFFER_BIT);
    glDrawBuffer(target.buffer);
}

void GLAppGPUTest::bigPrimitiveTest(const FrameTarget& target) {
    clearColorBuffer(target);
    if (bigTriangle) {
        // Its long edge runs along y = x + 2 through the window's top-left
        // corner: the window is covered and no edge crosses it.
        glBegin(GL_TRIANGLES);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        vertex(-10002.0f, -10000.0f);
        vertex(9998.0f, -10000.0f);
        vertex(9998.0f, 10000.0f);
    } else {
        glBegin(GL_QUADS);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        const double halfWidth = windowWidth / 2.0, halfHeight = windowHeight / 2.0;
        for (const Vec2i& corner : bigPrimVertices) {
            vertex(static_cast<float>(corner.x / halfWidth - 1.0),
                   static_cast<float>(corner.y / halfHeight - 1.0));
        }
    }
    glEnd();
}

void GLAppGPUTest::smallPrimitivesTest(const FrameTarget& target) {
    clearColorBuffer(target);
    SmallPrimitiveGrid grid(*this, *target.program);
    if (grid.batched) {
        glBegin(curPrim);
    }
    if (smallPrimitivesDrawable(*this)) {
        grid.draw();
    }
    if (grid.batched) {
        glEnd();
    }
}
