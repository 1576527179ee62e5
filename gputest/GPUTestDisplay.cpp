// One measured frame: buffer choice, the settings handed to the shaders as
// macros and uniforms, the active test inside a GPU timer query, the wait
// for the GPU, the console report, the frame's times into the measurements,
// the error check and the bars with their statistics; or, while a capture is
// shown, the capture under the bars.
#include <chrono>
#include <iostream>
#include <string>

#include "CaptureView.h"
#include "FrameTimer.h"
#include "GLAppGPUTest.h"
#include "GLError.h"
#include "GLHeaders.h"
#include "MessageSink.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"
#include "TweakBar.h"

namespace {

// The per-point names never change; making them once keeps the frame free of
// allocations.
struct PerPointNames {
    std::string macros[4];
    std::string uniforms[4];
    PerPointNames() {
        for (int i = 0; i < 4; ++i) {
            macros[i] = indexedName("ENABLE_FREEZE_POINT_", i);
            uniforms[i] = indexedName("freezePoints[", i) + "]";
        }
    }
};

const PerPointNames& perPointNames() {
    static const PerPointNames names;
    return names;
}

void writePair(std::ostream& out, const Vec2i& pair) {
    out << "(" << pair.x << ", " << pair.y << ")";
}

} // namespace

void GLAppGPUTest::display() {
    if (!fullScreen) {
        winSize = {windowWidth, windowHeight};
        winPos = {windowX(), windowY()};
    }
    if (captureSession.shown()) {
        drawCapture();
        return;
    }
    estimateFrameWorkAndWarn(!fastMode);
    // The wall clock runs from the frame's first GL call to the end of its
    // glFinish.
    const std::chrono::steady_clock::time_point frameStart = std::chrono::steady_clock::now();
    const FrameTarget target = chooseFrameBuffer();

    // Everything up to timer.end() is inside the GPU measurement.
    FrameTimer timer;
    const int32_t timerSlot = timer.begin("GlobalTime");
    drawFrame(target);
    timer.end();
    // The timer's result must be ready for the report, and in test mode the
    // frame complete in the visible buffer.
    glFlush();
    glFinish();
    const std::chrono::duration<double> wallTime = std::chrono::steady_clock::now() - frameStart;

    // The timer's result is read once: by the report when it is on.
    if (printStats) {
        writeFrameReport(timer);
    } else {
        timer.read(timerSlot);
    }
    measurements.recordFrame(timer.seconds[timerSlot], wallTime.count());
    Vellumar::checkGLError("Display END: ");
    if (configMode) {
        measurements.updateStatisticsPanel();
        drawTweakBars();
    }
    frameCount = wrappingAdd(frameCount, 1);
}

void GLAppGPUTest::estimateFrameWorkAndWarn(bool slowdownLoops) {
    frameWork = estimateFrameWork(*this, slowdownLoops);
    if (!frameWork.enormous()) {
        enormousFrameWarned = false;
        return;
    }
    if (enormousFrameWarned) {
        return;
    }
    // Said before the frame starts: once it runs, nothing answers until it ends.
    enormousFrameWarned = true;
    Vellumar::MessageSink::instance().info(
        "the next frame draws about %.3g primitives and runs about %.3g pixel loop cycles%s: "
        "it may take minutes or hours, during which the window does not answer",
        frameWork.primitives, frameWork.pixelCycles,
        loopsCutAt > 0
            ? (" (loops cut at " + std::to_string(loopsCutAt) + ", as a capture measured)").c_str()
            : "");
}

FrameTarget GLAppGPUTest::chooseFrameBuffer() {
    // Test mode draws straight into the visible buffer and never swaps, so
    // the rasterisation can be watched while the GPU works. Without a window
    // both modes draw into the framebuffer that stands in for it.
    GLenum buffer = configMode ? GL_BACK : GL_FRONT;
    if (offscreen) {
        buffer = GL_COLOR_ATTACHMENT0;
    }
    swapAfterDisplay = configMode;
    drawBuffer = buffer;
    clearBuffer = buffer;
    glDrawBuffer(buffer);
    return {buffer, shaderProgram, fragmentShader, !fastMode};
}

void GLAppGPUTest::drawFrame(const FrameTarget& target) {
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);

    setFrameMacros(*this, *target.fragmentShader);
    target.program->bind(true);
    if (target.program->linkFailed) {
        // Reported once when the build failed: nothing is drawn through the
        // broken program (which would only raise errors) until `r` rebuilds it.
        clearColorBuffer(target);
    } else {
        setFrameUniforms(target);
        if (curTest == TEST_BIG_PRIMITIVE) {
            bigPrimitiveTest(target);
        } else if (curTest == TEST_SMALL_PRIMITIVES) {
            smallPrimitivesTest(target);
        }
    }
    target.program->unbind(true);
}

void setFrameMacros(const GLAppGPUTest& test, Vellumar::ShaderGLSL& fragment) {
    const PerPointNames& names = perPointNames();
    fragment.setDefine("ENABLE_BLOCKING", test.blockingEnable ? 1 : 0);
    for (int i = 0; i < 4; ++i) {
        fragment.setDefine(names.macros[i].c_str(), test.freezePointEnabled[i] ? 1 : 0);
    }
    fragment.setDefine("USE_BAD_LOOP", test.useRegSaturation ? 1 : 0);
    // Left alone while saturation is off, so it keeps its last value.
    if (test.useRegSaturation) {
        fragment.setDefine("NUM_PIPEVARS", test.numShaderRegs);
    }
}

void GLAppGPUTest::setFrameUniforms(const FrameTarget& target) {
    const PerPointNames& names = perPointNames();
    float userParam[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    if (target.slowdownLoops) {
        userParam[0] = static_cast<float>(loopsCount.x);
        userParam[1] = static_cast<float>(loopsCount.y);
    }
    target.program->setVec4Param("userParam", userParam);
    for (int j = 0; j < 4; ++j) {
        const Point& point = freezePoints[j];
        const float rectangle[4] = {static_cast<float>(point.PosX), static_cast<float>(point.PosY),
                                    static_cast<float>(point.SizeX),
                                    static_cast<float>(point.SizeY)};
        target.program->setVec4Param(names.uniforms[j].c_str(), rectangle);
    }
    const float userColor[4] = {1.0f, 1.0f, 0.0f, 1.0f};
    target.program->setVec4Param("userColor", userColor);
}

void GLAppGPUTest::writeFrameReport(FrameTimer& timer) {
    std::cout << "curTest: " << curTest << "\n";
    std::cout << "loopsCount: ";
    writePair(std::cout, loopsCount);
    std::cout << " (";
    writePair(std::cout, loopsIncrement);
    std::cout << ")\n";
    std::cout << "blockingEnable: " << (blockingEnable ? 1 : 0) << "\n";
    timer.report("Global Times GL", std::cout);
    std::cout.flush();
}

void GLAppGPUTest::drawTweakBars() {
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    TwDraw();
}

void GLAppGPUTest::drawCapture() {
    // Back buffer and swap, whatever the mode: a capture shows on every
    // desktop, composited or not.
    swapAfterDisplay = true;
    glDrawBuffer(GL_BACK);
    captureSession.view->draw(windowWidth, windowHeight);
    drawTweakBars();
    Vellumar::checkGLError("GLAppGPUTest::drawCapture");
}
