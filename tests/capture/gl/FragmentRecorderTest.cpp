// Tests of the fragment recorder on small draws of the program's own shader
// files under Xvfb (llvmpipe, several raster threads: see tests/CMakeLists.txt):
// what the context offers a capture, distinct order numbers from 0 for every fragment, overdraw and
// the first fragment's values, primitive ids, subgroups and lanes, the shader clock in a freeze
// point, parts the driver lacks, refusals, and what the recorder leaves behind in GL.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "CaptureSupport.h"
#include "CapturedSink.h"
#include "FragmentRecorder.h"
#include "GLCallCounter.h"
#include "GLTestContext.h"
#include "PixelLayers.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"
#include "TempShaderDir.h"

namespace {

using Vellumar::ShaderGLSL;
using Vellumar::ShaderProgramGLSL;
using Vellumar::capture::CaptureError;
using Vellumar::capture::CaptureSupport;
using Vellumar::capture::FragmentCapture;
using Vellumar::capture::FragmentRecorder;
using Vellumar::capture::PixelLayers;

const char* const fragmentPath = "./Shaders/GPUTest_FS.glsl";
const char* const vertexPath = "./Shaders/GPUTest_VS.glsl";

// A rectangle in window pixels, lower-left corner first.
struct Rect {
    float x0, y0, x1, y1;
};

// What the frames of these tests draw: quads (or the two triangles of each,
// as separate primitives) in one glBegin/glEnd, with the loop counts and
// freeze point 0 as the program hands them to the shader.
struct Scene {
    int width = 64;
    int height = 64;
    std::vector<Rect> quads;
    bool asTriangles = false;
    float freezingCycles = 0.0f;
    float standardCycles = 0.0f;
    Rect freezePoint = {0, 0, 0, 0};
};

class FragmentRecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::ensureGLContext();
        support = CaptureSupport::ofCurrentContext();
        if (!support.enough()) {
            GTEST_SKIP() << support.refusal();
        }
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "OpenGL error left pending";
    }

    static void draw(const Scene& scene, ShaderProgramGLSL& program, ShaderGLSL& fragment) {
        fragment.setDefine("ENABLE_BLOCKING", 1);
        fragment.setDefine("ENABLE_FREEZE_POINT_0", 1);
        program.bind(true);
        const float loops[4] = {scene.freezingCycles, scene.standardCycles, 0.0f, 0.0f};
        program.setVec4Param("userParam", loops);
        const Rect& f = scene.freezePoint;
        const float point[4] = {f.x0, f.y0, f.x1 - f.x0, f.y1 - f.y0};
        program.setVec4Param("freezePoints[0]", point);
        glDrawBuffer(GL_COLOR_ATTACHMENT0);
        glClear(GL_COLOR_BUFFER_BIT);
        auto vertex = [&](float x, float y) {
            glVertex4f(2.0f * x / scene.width - 1.0f, 2.0f * y / scene.height - 1.0f, -1.0f, 1.0f);
        };
        glBegin(scene.asTriangles ? GL_TRIANGLES : GL_QUADS);
        for (const Rect& q : scene.quads) {
            if (scene.asTriangles) {
                vertex(q.x0, q.y0);
                vertex(q.x1, q.y0);
                vertex(q.x1, q.y1);
                vertex(q.x0, q.y0);
                vertex(q.x1, q.y1);
                vertex(q.x0, q.y1);
            } else {
                vertex(q.x0, q.y0);
                vertex(q.x1, q.y0);
                vertex(q.x1, q.y1);
                vertex(q.x0, q.y1);
            }
        }
        glEnd();
        program.unbind(true);
    }

    FragmentCapture record(FragmentRecorder& recorder, const Scene& scene,
                           std::size_t capacity = 0) {
        FragmentRecorder::Frame frame;
        frame.width = scene.width;
        frame.height = scene.height;
        frame.capacity = capacity;
        return recorder.record(frame, [&](ShaderProgramGLSL& program, ShaderGLSL& fragment) {
            draw(scene, program, fragment);
        });
    }

    FragmentCapture record(const Scene& scene) {
        FragmentRecorder recorder(fragmentPath, vertexPath, support);
        return record(recorder, scene);
    }

    CaptureSupport support;
};

Scene windowFillingQuad(int width, int height) {
    Scene scene;
    scene.width = width;
    scene.height = height;
    scene.quads = {{0, 0, static_cast<float>(width), static_cast<float>(height)}};
    return scene;
}

TEST(CaptureSupport, IsWhatTheContextItselfSaysItOffers) {
    testsupport::ensureGLContext();
    GLint major = 0;
    GLint minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    std::set<std::string> extensions;
    for (GLint i = 0; i < count; ++i) {
        extensions.insert(
            reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i))));
    }
    auto offered = [&](const char* name) { return extensions.count(name) == 1; };

    const CaptureSupport support = CaptureSupport::ofCurrentContext();
    EXPECT_EQ(support.majorVersion, major);
    EXPECT_EQ(support.minorVersion, minor);
    EXPECT_EQ(support.clock, offered("GL_ARB_shader_clock"));
    EXPECT_EQ(support.ballot,
              offered("GL_ARB_shader_ballot") && offered("GL_ARB_gpu_shader_int64"));
    EXPECT_EQ(support.threadGroup, offered("GL_NV_shader_thread_group"));
    EXPECT_EQ(support.flipY, offered("GL_MESA_framebuffer_flip_y"));
}

TEST_F(FragmentRecorderTest, EveryPixelOfAWindowFillingQuadGetsADistinctOrderFromZero) {
    const FragmentCapture capture = record(windowFillingQuad(256, 192));
    ASSERT_NO_THROW(capture.validate());
    ASSERT_EQ(capture.width, 256);
    ASSERT_EQ(capture.height, 192);
    std::vector<std::uint32_t> orders = capture.order;
    std::sort(orders.begin(), orders.end());
    std::vector<std::uint32_t> expected(orders.size());
    std::iota(expected.begin(), expected.end(), 0u);
    EXPECT_EQ(orders, expected); // covered, and each number once
    EXPECT_EQ(std::count(capture.overdraw.begin(), capture.overdraw.end(), 1u),
              static_cast<long>(capture.pixelCount()));
}

TEST_F(FragmentRecorderTest, OverdrawCountsEveryFragmentAndThePixelKeepsTheFirst) {
    // Two quads as separate primitives: columns 0..39 and 24..63, so columns
    // 24..39 are drawn twice, first by primitive 0; rows 48..63 stay empty.
    Scene scene;
    scene.quads = {{0, 0, 40, 48}, {24, 0, 64, 48}};
    scene.asTriangles = true; // primitive ids 0, 1 for the first quad, 2, 3 for the second
    const FragmentCapture capture = record(scene);
    std::set<std::uint32_t> seen;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::size_t p = capture.pixelIndex(x, y);
            SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
            if (y >= 48) {
                ASSERT_FALSE(capture.covered(p));
                ASSERT_EQ(capture.overdraw[p], 0u);
                continue;
            }
            ASSERT_TRUE(capture.covered(p));
            ASSERT_EQ(capture.overdraw[p], x >= 24 && x < 40 ? 2u : 1u);
            ASSERT_EQ(capture.primitive[p] / 2, x < 40 ? 0u : 1u);
            ASSERT_TRUE(seen.insert(capture.order[p]).second) << "order " << capture.order[p];
        }
    }
    // Every fragment took a number: the second fragments' numbers are the
    // gaps, and the last number is one below the fragment count.
    const std::uint32_t fragments = 40 * 48 + 40 * 48;
    EXPECT_EQ(*seen.rbegin(), fragments - 1) << "counter values must reach every fragment";
}

TEST_F(FragmentRecorderTest, AllOnOnePixelEveryFragmentIsLoggedInSubmissionOrder) {
    // Twelve triangles (six quads) over pixel (5, 7) alone, each running 30
    // loop iterations.
    Scene scene;
    scene.quads.assign(6, Rect{5, 7, 6, 8});
    scene.asTriangles = true;
    scene.standardCycles = 30.0f;
    const FragmentCapture capture = record(scene);
    const std::size_t p = capture.pixelIndex(5, 7);
    ASSERT_EQ(capture.log.size(), 6u) << "one of each quad's two triangles covers the centre";
    EXPECT_EQ(capture.log.shaded, 6u);
    EXPECT_EQ(capture.overdraw[p], 6u);
    EXPECT_EQ(capture.order[p], capture.log.order[0]);
    const PixelLayers layers(capture, capture.log);
    for (std::size_t i = 0; i < capture.log.size(); ++i) {
        EXPECT_EQ(capture.log.pixel[i], p);
        EXPECT_EQ(layers.layers()[i], i);
        EXPECT_EQ(capture.log.loops[i], 30u);
        if (i > 0) {
            EXPECT_GT(capture.log.primitive[i], capture.log.primitive[i - 1]);
        }
    }
    EXPECT_EQ(layers.primitiveOrderShare(), 1.0);
    EXPECT_EQ(layers.maxOverdraw(), 6u);
}

TEST_F(FragmentRecorderTest, ALargeWindowSpansBlocksAndAFullLogCountsWhatItDropped) {
    GLint64 blockBytes = 0;
    glGetInteger64v(GL_MAX_SHADER_STORAGE_BLOCK_SIZE, &blockBytes);
    FragmentRecorder recorder(fragmentPath, vertexPath, support);
    const FragmentCapture large = record(recorder, windowFillingQuad(2048, 2048));
    const std::size_t pixels = 2048u * 2048u;
    EXPECT_EQ(large.log.size(), pixels);
    EXPECT_EQ(large.log.dropped(), 0u);
    EXPECT_EQ(std::count(large.overdraw.begin(), large.overdraw.end(), 1u),
              static_cast<long>(pixels));
    EXPECT_GT(pixels * 9 * sizeof(std::uint32_t), static_cast<std::size_t>(blockBytes))
        << "the log must not fit one block here, or this proves nothing";

    const FragmentCapture cut = record(recorder, windowFillingQuad(64, 64), 1000);
    EXPECT_EQ(recorder.lastCapacity(), 1000u);
    EXPECT_EQ(cut.log.size(), 1000u);
    EXPECT_EQ(cut.log.shaded, 64u * 64u);
    EXPECT_EQ(cut.log.dropped(), 64u * 64u - 1000u);
    EXPECT_EQ(cut.log.order.back(), 999u);
    EXPECT_EQ(std::count(cut.overdraw.begin(), cut.overdraw.end(), 1u), 1000);
}

TEST_F(FragmentRecorderTest, PrimitiveIdsNumberTheTrianglesOfTheDraw) {
    // A 4 x 4 grid of 16-pixel squares, each two triangles.
    Scene scene;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            scene.quads.push_back(
                {column * 16.0f, row * 16.0f, column * 16.0f + 16.0f, row * 16.0f + 16.0f});
        }
    }
    scene.asTriangles = true;
    const FragmentCapture capture = record(scene);
    ASSERT_TRUE(capture.primitiveAvailable);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const auto square = static_cast<std::uint32_t>((y / 16) * 4 + x / 16);
            const std::uint32_t id = capture.primitive[capture.pixelIndex(x, y)];
            SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
            // The first triangle holds the lower-right half; the pixel centres
            // on the diagonal go to either, as the fill rule says.
            if (x % 16 > y % 16) {
                ASSERT_EQ(id, square * 2);
            } else if (x % 16 < y % 16) {
                ASSERT_EQ(id, square * 2 + 1);
            } else {
                ASSERT_EQ(id / 2, square);
            }
        }
    }
}

TEST_F(FragmentRecorderTest, SubgroupsHoldDistinctLanesAndTheClockRunsForward) {
    if (!support.ballot || !support.clock) {
        GTEST_SKIP() << "the driver offers no ballot or no shader clock";
    }
    const FragmentCapture capture = record(windowFillingQuad(128, 128));
    ASSERT_TRUE(capture.ballotAvailable);
    ASSERT_TRUE(capture.clockAvailable);
    std::map<std::uint32_t, std::set<std::uint32_t>> lanesOf;
    std::size_t lanesSeen = 0;
    for (std::size_t p = 0; p < capture.pixelCount(); ++p) {
        EXPECT_TRUE(lanesOf[capture.subgroup[p]].insert(capture.lane[p]).second)
            << "lane " << capture.lane[p] << " twice in subgroup " << capture.subgroup[p];
        lanesSeen = std::max<std::size_t>(lanesSeen, capture.lane[p] + 1);
        ASSERT_GE(capture.clockEnd[p], capture.clockStart[p]) << "pixel " << p;
    }
    // Subgroup numbers are taken once per subgroup, from 0 on: every number
    // up to the last is some subgroup's, and a subgroup holds several lanes.
    ASSERT_FALSE(lanesOf.empty());
    EXPECT_EQ(lanesOf.begin()->first, 0u);
    EXPECT_EQ(lanesOf.rbegin()->first + 1, lanesOf.size());
    EXPECT_GT(lanesSeen, 1u);
    EXPECT_LT(lanesOf.size(), capture.pixelCount() / 2);
}

TEST_F(FragmentRecorderTest, AFreezePointsPixelsRunLongerOnTheShaderClock) {
    if (!support.clock) {
        GTEST_SKIP() << "the driver offers no shader clock";
    }
    Scene scene = windowFillingQuad(64, 64);
    scene.freezePoint = {16, 24, 32, 40};
    scene.freezingCycles = 4000.0f;
    scene.standardCycles = 10.0f;
    const FragmentCapture capture = record(scene);
    std::vector<std::uint64_t> inside;
    std::vector<std::uint64_t> outside;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::size_t p = capture.pixelIndex(x, y);
            const bool in = x >= 16 && x < 32 && y >= 24 && y < 40;
            ASSERT_GE(capture.clockEnd[p], capture.clockStart[p]) << "pixel " << x << "," << y;
            (in ? inside : outside).push_back(capture.clockEnd[p] - capture.clockStart[p]);
        }
    }
    auto median = [](std::vector<std::uint64_t> values) {
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        return values[values.size() / 2];
    };
    EXPECT_GT(median(inside), 20 * median(outside) + 1000);
}

TEST_F(FragmentRecorderTest, TheFramebufferIsWalkedTopDownLikeTheWindowWhereTheDriverAllows) {
    if (!support.flipY) {
        GTEST_SKIP() << "the driver cannot lay a framebuffer out like a window";
    }
    // llvmpipe shades 64-pixel bins row by row through memory, which starts
    // at the top of a window (as the live frame fills it) and at the bottom
    // of a plain framebuffer: the first fragments lie in the first bin row.
    auto firstRow = [](const FragmentCapture& capture) {
        const auto first = std::find(capture.order.begin(), capture.order.end(), 0u);
        return static_cast<int>((first - capture.order.begin()) / capture.width);
    };
    EXPECT_GE(firstRow(record(windowFillingQuad(256, 256))), 256 - 64);
    support.flipY = false;
    EXPECT_LT(firstRow(record(windowFillingQuad(256, 256))), 64);
}

TEST_F(FragmentRecorderTest, PartsTheDriverLacksAreUnavailableAndTheRestStillWorks) {
    support.clock = false;
    support.ballot = false;
    support.threadGroup = false;
    const FragmentCapture capture = record(windowFillingQuad(64, 64));
    EXPECT_NO_THROW(capture.validate());
    EXPECT_FALSE(capture.clockAvailable);
    EXPECT_TRUE(capture.clockStart.empty());
    EXPECT_FALSE(capture.ballotAvailable);
    EXPECT_TRUE(capture.subgroup.empty());
    EXPECT_FALSE(capture.threadGroupAvailable);
    EXPECT_TRUE(capture.primitiveAvailable);
    for (const std::string& name : capture.extensions) {
        EXPECT_EQ(name.find("clock"), std::string::npos) << name;
        EXPECT_EQ(name.find("ballot"), std::string::npos) << name;
    }
    std::set<std::uint32_t> orders(capture.order.begin(), capture.order.end());
    EXPECT_EQ(orders.size(), 64u * 64u);
    EXPECT_EQ(*orders.rbegin(), 64u * 64u - 1);
}

TEST_F(FragmentRecorderTest, TooOldAContextEmptyWindowsAndBrokenShadersAreRefusedInOneLine) {
    CaptureSupport old;
    old.majorVersion = 3;
    old.minorVersion = 3;
    FragmentRecorder tooOld(fragmentPath, vertexPath, old);
    try {
        record(tooOld, windowFillingQuad(8, 8));
        ADD_FAILURE() << "a 3.3 context was not refused";
    } catch (const CaptureError& e) {
        EXPECT_STREQ(e.what(), "fragment capture needs OpenGL 4.3 (shader storage buffers and "
                               "atomic counters); this context offers 3.3");
    }

    FragmentRecorder recorder(fragmentPath, vertexPath, support);
    EXPECT_THROW(record(recorder, windowFillingQuad(0, 8)), CaptureError);
    EXPECT_THROW(record(recorder, windowFillingQuad(8, -1)), CaptureError);
    EXPECT_THROW(record(recorder, windowFillingQuad(FragmentCapture::maxSide + 1, 1)),
                 CaptureError);

    testsupport::TempShaderDir dir;
    dir.write("GPUTest_Capture.glsl", "this is not GLSL;\n");
    const std::string fragment =
        dir.write("GPUTest_FS.glsl", "#if CAPTURE_FRAGMENTS\n#include \"GPUTest_Capture.glsl\"\n"
                                     "#endif\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    testsupport::CapturedSink sink;
    FragmentRecorder broken(fragment, vertexPath, support);
    try {
        record(broken, windowFillingQuad(8, 8));
        ADD_FAILURE() << "a broken capture shader was not refused";
    } catch (const CaptureError& e) {
        EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("did not build"), std::string::npos) << e.what();
    }
    EXPECT_NE(sink.text().find("Compilation error (" + fragment + ")"), std::string::npos);
}

TEST_F(FragmentRecorderTest, LeavesTheWindowsFramebufferViewportAndBuffersAsItFoundThem) {
    // The framebuffer that stands in for the window here.
    GLint window = -1;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &window);
    ASSERT_NE(window, 0);
    glViewport(3, 4, 100, 90);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    record(windowFillingQuad(32, 32));
    GLint binding = -1;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, window);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, window);
    glGetIntegerv(GL_SHADER_STORAGE_BUFFER_BINDING, &binding);
    EXPECT_EQ(binding, 0);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{3, 4, 100, 90}));
    GLint drawBuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_COLOR_ATTACHMENT0);
    // The quad went into the capture's framebuffer: the window's is still
    // the clear colour.
    unsigned char pixel[4] = {};
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(std::vector<int>(pixel, pixel + 3), (std::vector<int>{0, 0, 255}));
    glViewport(0, 0, 512, 512);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

TEST_F(FragmentRecorderTest, ASecondCaptureWithTheSameSettingsBuildsNothing) {
    FragmentRecorder recorder(fragmentPath, vertexPath, support);
    record(recorder, windowFillingQuad(32, 32));
    {
        testsupport::GLCallCounter counter;
        const FragmentCapture again = record(recorder, windowFillingQuad(32, 32));
        EXPECT_EQ(counter.count("glCompileShader"), 0);
        EXPECT_EQ(counter.count("glLinkProgram"), 0);
        EXPECT_EQ(std::count(again.overdraw.begin(), again.overdraw.end(), 1u), 32 * 32)
            << "the buffers start empty for every capture";
    }
    // Another window size is a macro of the capture shader: one rebuild.
    testsupport::GLCallCounter counter;
    const FragmentCapture larger = record(recorder, windowFillingQuad(48, 32));
    EXPECT_EQ(counter.count("glLinkProgram"), 1);
    EXPECT_EQ(std::count(larger.overdraw.begin(), larger.overdraw.end(), 1u), 48 * 32);
}

} // namespace
