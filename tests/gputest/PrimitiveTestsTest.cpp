// Tests of the two primitive tests in test mode, read back from the front
// buffer and counted through the GL calls: the big quad and triangle, the
// small-primitive checkerboard in every primitive type, the redraw modes,
// batched and per-primitive draw calls, and degenerate settings.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <functional>
#include <string>
#include <vector>

#include "GPUTestFixture.h"
#include "GLCallCounter.h"
#include "ShaderProgramGLSL.h"

namespace {

using namespace testsupport;
using testsupport::GLCall;
using testsupport::GLCallCounter;

struct Vertex {
    float x, y, z, w;
    bool operator==(const Vertex& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
};

std::vector<Vertex> vertices(const GLCallCounter& counter) {
    std::vector<Vertex> result;
    for (const GLCall& call : counter.callsOf("glVertex4f")) {
        result.push_back({static_cast<float>(call.args[0]), static_cast<float>(call.args[1]),
                          static_cast<float>(call.args[2]), static_cast<float>(call.args[3])});
    }
    return result;
}

// Each run of `group` vertices of `once`, repeated `times` times in a row.
std::vector<Vertex> repeatGroups(const std::vector<Vertex>& once, size_t group, int times) {
    std::vector<Vertex> result;
    for (size_t start = 0; start < once.size(); start += group) {
        for (int pass = 0; pass < times; ++pass) {
            result.insert(result.end(), once.begin() + static_cast<long>(start),
                          once.begin() + static_cast<long>(start + group));
        }
    }
    return result;
}

GLuint primitivesGenerated(const std::function<void()>& draw) {
    GLuint query = 0, count = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    draw();
    glEndQuery(GL_PRIMITIVES_GENERATED);
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
    glDeleteQueries(1, &query);
    return count;
}

class PrimitiveTests : public GPUTestModeFrame {
protected:
    std::vector<Vertex> recordSmallPrimitives() {
        GLCallCounter counter;
        runFrame();
        return vertices(counter);
    }
    int lit(const Pixels& pixels) { return pixels.width * pixels.height - pixels.count(black); }
};

TEST_F(PrimitiveTests, BigQuadCoversTheWindowWithFreezePointZeroRedAtTheOrigin) {
    Pixels front = drawTestModeFrame();
    EXPECT_EQ(front.count(white), 512 * 512 - 1);
    EXPECT_EQ(front.at(0, 0), red);

    test.freezePointEnabled[0] = false;
    test.freezePointEnabled[3] = true;
    test.freezePoints[3] = {100, 50, -2, 3}; // negative width spans leftwards
    front = drawTestModeFrame();
    EXPECT_EQ(front.at(0, 0), white);
    EXPECT_EQ(front.count(red), 6);
    EXPECT_EQ(front.at(98, 50), red);
    EXPECT_EQ(front.at(99, 52), red);
    EXPECT_EQ(front.at(100, 50), white);
}

TEST_F(PrimitiveTests, BigQuadFollowsItsCornersInPixelsOfTheCurrentWindow) {
    resizeWindow(256, 256);
    test.bigPrimVertices[0] = {0, 0};
    test.bigPrimVertices[1] = {128, 0};
    test.bigPrimVertices[2] = {128, 64};
    test.bigPrimVertices[3] = {0, 64};
    Pixels front = drawTestModeFrame();
    EXPECT_EQ(front.count(white), 128 * 64 - 1);
    EXPECT_EQ(front.at(127, 63), white);
    EXPECT_EQ(front.at(128, 10), black);
    EXPECT_EQ(front.at(10, 64), black);
}

TEST_F(PrimitiveTests, BigTriangleCoversAReshapedWindowWhateverTheCorners) {
    resizeWindow(300, 200);
    test.bigTriangle = true;
    test.bigPrimVertices[2] = {1, 1};
    Pixels front = drawTestModeFrame();
    EXPECT_EQ(front.count(white), 300 * 200 - 1);
    EXPECT_EQ(front.at(0, 0), red);
}

TEST_F(PrimitiveTests, SmallQuadsFormAGapFreeCheckerboardOfTiles) {
    test.curTest = 1;
    test.freezePointEnabled[0] = false;
    Pixels front = drawTestModeFrame();
    EXPECT_EQ(front.count(black), 0);
    EXPECT_EQ(front.at(0, 0), green);
    EXPECT_EQ(front.at(31, 31), green);
    EXPECT_EQ(front.at(32, 0), blue);
    EXPECT_EQ(front.at(0, 32), blue);
    EXPECT_EQ(front.at(32, 32), green);
    EXPECT_EQ(front.at(511, 511), green);
    EXPECT_EQ(front.count(green), 512 * 512 / 2);
}

TEST_F(PrimitiveTests, TrianglesCoverWhatQuadsCover) {
    test.curTest = 1;
    test.curPrim = GL_TRIANGLES;
    test.freezePointEnabled[0] = false;
    Pixels front = drawTestModeFrame();
    EXPECT_EQ(front.count(black), 0);
    EXPECT_EQ(front.count(green), 512 * 512 / 2);
}

TEST_F(PrimitiveTests, PointsLightOnePixelPerPosition) {
    test.curTest = 1;
    test.curPrim = GL_POINTS;
    test.freezePointEnabled[0] = false;
    Pixels front = drawTestModeFrame();
    EXPECT_EQ(lit(front), 64 * 64);
    // One lit pixel in every 8 x 8 cell, in the tile's colour.
    for (int cy = 0; cy < 64; cy += 9) {
        for (int cx = 0; cx < 64; cx += 7) {
            int inCell = 0;
            for (int y = cy * 8; y < cy * 8 + 8; ++y) {
                for (int x = cx * 8; x < cx * 8 + 8; ++x) {
                    if (!(front.at(x, y) == black)) {
                        ++inCell;
                    }
                }
            }
            EXPECT_EQ(inCell, 1) << cx << "," << cy;
        }
    }
}

TEST_F(PrimitiveTests, LinesRunDiagonallyFromEachPosition) {
    test.curTest = 1;
    test.curPrim = GL_LINES;
    test.freezePointEnabled[0] = false;
    Pixels front = drawTestModeFrame();
    int offDiagonal = 0;
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) {
            if (!(front.at(x, y) == black) && (x - y) % 8 != 0) {
                ++offDiagonal;
            }
        }
    }
    EXPECT_EQ(offDiagonal, 0);
    EXPECT_GE(lit(front), 64 * 64 * 7);
    EXPECT_LE(lit(front), 64 * 64 * 8);
}

TEST_F(PrimitiveTests, AllOnOnePixelDrawsEveryPrimitiveAtTheCentre) {
    test.curTest = 1;
    test.allOnOnePixel = 1;
    test.freezePointEnabled[0] = false;
    Pixels front = drawTestModeFrame();
    EXPECT_EQ(lit(front), 8 * 8);
    EXPECT_FALSE(front.at(256, 256) == black);
    EXPECT_FALSE(front.at(263, 263) == black);
    EXPECT_EQ(front.at(255, 256), black);
    test.allOnOnePixel = 0;
    EXPECT_EQ(recordSmallPrimitives().size(), 4096u * 4u);
    test.allOnOnePixel = 1;
    EXPECT_EQ(recordSmallPrimitives().size(), 4096u * 4u); // as often as spread out
}

TEST_F(PrimitiveTests, RedrawModesRepeatPrimitivesTilesOrTheWholeFrame) {
    test.curTest = 1;
    test.primTilingSize = {16, 16}; // 2 x 2 quads a tile
    const std::vector<Vertex> once = recordSmallPrimitives();
    ASSERT_EQ(once.size(), 32u * 32u * 4u * 4u);

    test.primRedrawCount = 3;
    test.repPrim = 0;
    EXPECT_EQ(recordSmallPrimitives(), repeatGroups(once, 4, 3));
    test.repPrim = 1;
    EXPECT_EQ(recordSmallPrimitives(), repeatGroups(once, 16, 3));
    test.repPrim = 2;
    EXPECT_EQ(recordSmallPrimitives(), repeatGroups(once, once.size(), 3));
}

TEST_F(PrimitiveTests, GeneratedPrimitiveCountsFollowTheRedrawCount) {
    test.curTest = 1;
    GLuint one = primitivesGenerated([&] { runFrame(); });
    ASSERT_GT(one, 0u);
    test.primRedrawCount = 3;
    for (int mode = 0; mode < 3; ++mode) {
        test.repPrim = mode;
        EXPECT_EQ(primitivesGenerated([&] { runFrame(); }), 3 * one) << "mode " << mode;
    }
    test.primRedrawCount = 0;
    EXPECT_EQ(primitivesGenerated([&] { runFrame(); }), 0u);
}

TEST_F(PrimitiveTests, BatchedModeIsOneDrawCallWithAColourPerTile) {
    test.curTest = 1;
    GLCallCounter counter;
    runFrame();
    EXPECT_EQ(counter.count("glBegin"), 1);
    EXPECT_EQ(counter.count("glEnd"), 1);
    EXPECT_EQ(counter.count("glColor4f"), 16 * 16);
    EXPECT_EQ(counter.count("glVertex4f"), 4096 * 4);
    // Only the frame's own bind and unbind.
    EXPECT_EQ(counter.count("glUseProgram"), 2);
    // Tile colours: the lower-left tile green, its right neighbour blue.
    std::vector<GLCall> colors = counter.callsOf("glColor4f");
    EXPECT_EQ(colors[0].args[1], 1.0);
    EXPECT_EQ(colors[1].args[2], 1.0);
}

TEST_F(PrimitiveTests, PerPrimitiveModeBindsAndUnbindsAroundEveryDrawCall) {
    test.curTest = 1;
    test.drawCallPerPrimitive = true;
    runFrame(); // settle: no program build in the recorded frame
    GLCallCounter counter;
    runFrame();
    const double program = test.shaderProgram->getProgramId();
    // Between the clear and the frame's unbind, every primitive is: use the
    // program, check, begin, colour, four vertices, end, release, check.
    const std::vector<GLCall>& calls = counter.calls();
    size_t first = 0;
    while (first < calls.size() && std::string(calls[first].name) != "glClear") {
        ++first;
    }
    first += 2; // glClear, glDrawBuffer
    const char* pattern[] = {"glUseProgram", "glGetError",   "glBegin",    "glColor4f",
                             "glVertex4f",   "glVertex4f",   "glVertex4f", "glVertex4f",
                             "glEnd",        "glUseProgram", "glGetError"};
    ASSERT_GE(calls.size(), first + 4096 * 11);
    int mismatches = 0;
    for (size_t i = 0; i < 4096 * 11; ++i) {
        const GLCall& call = calls[first + i];
        const size_t at = i % 11;
        if (std::string(call.name) != pattern[at]) {
            ++mismatches;
        }
        if (at == 0 && call.args[0] != program) {
            ++mismatches;
        }
        if (at == 9 && call.args[0] != 0) {
            ++mismatches;
        }
        if (at == 2 && call.args[0] != GL_QUADS) {
            ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_STREQ(calls[first + 4096 * 11].name, "glUseProgram"); // the frame's unbind
    Pixels front(testModeBuffer(), 512, 512);
    EXPECT_EQ(front.at(0, 0), red);
    EXPECT_EQ(front.at(40, 8), blue);
}

TEST_F(PrimitiveTests, TileSizesAndStepsBelowOneDrawNothingButStillClear) {
    test.curTest = 1;
    const Vec2i tiles[] = {{0, 32}, {32, 0}, {-3, -3}, {32, 32}, {32, 32}};
    const Vec2i steps[] = {{8, 8}, {8, 8}, {8, 8}, {0, 8}, {8, -1}};
    for (int i = 0; i < 5; ++i) {
        test.primTilingSize = tiles[i];
        test.primStep = steps[i];
        for (bool perPrimitive : {false, true}) {
            test.drawCallPerPrimitive = perPrimitive;
            GLCallCounter counter;
            Pixels front = drawTestModeFrame();
            EXPECT_EQ(front.count(black), 512 * 512) << i;
            EXPECT_EQ(counter.count("glClear"), 1) << i;
            EXPECT_EQ(counter.count("glVertex4f"), 0) << i;
            // Batched mode still issues its (empty) draw call.
            EXPECT_EQ(counter.count("glBegin"), perPrimitive ? 0 : 1) << i;
        }
    }
}

TEST_F(PrimitiveTests, ANarrowWindowGetsALastColumnReachingPastTheEdge) {
    resizeWindow(300, 200);
    test.curTest = 1;
    test.freezePointEnabled[0] = false;
    GLCallCounter counter;
    Pixels front = drawTestModeFrame();
    EXPECT_EQ(counter.count("glColor4f"), 10 * 7);
    EXPECT_EQ(front.count(black), 0);
}

} // namespace
