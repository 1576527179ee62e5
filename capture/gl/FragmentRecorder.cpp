// The capture's GL objects (framebuffer, colour renderbuffer, pixel and
// counter buffers) are made at the first record and kept, resized with the
// window; the capture program is kept too, so that a second capture with the
// same settings compiles nothing. The storage buffer is mapped for reading:
// one pass over it fills the capture without a copy of the whole buffer.
#include "FragmentRecorder.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "GLError.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"

namespace Vellumar::capture {

namespace {

constexpr int vertexStage = 0;
constexpr int fragmentStage = 1;
constexpr GLuint captureBinding = 0;

// Each pixel's words in the storage buffer, as GPUTest_Capture.glsl writes them.
enum Word : std::size_t {
    orderWord = 0,
    overdrawWord = 1,
    clockStartWord = 2, // low, then high
    clockEndWord = 4,
    subgroupWord = 6,
    laneWord = 7,
    primitiveWord = 8,
    smWord = 9,
    warpWord = 10,
};

std::size_t storageBytes(int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
           FragmentRecorder::wordsPerPixel * sizeof(std::uint32_t);
}

std::uint64_t clockValue(const std::uint32_t* words, std::size_t at) {
    return static_cast<std::uint64_t>(words[at]) |
           (static_cast<std::uint64_t>(words[at + 1]) << 32);
}

std::string mebibytes(double bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", bytes / (1024.0 * 1024.0));
    return text;
}

// The window's framebuffer bindings, viewport and the capture's buffer
// bindings, put back however the frame ends.
class BindingScope {
public:
    BindingScope() {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
        glGetIntegerv(GL_VIEWPORT, viewport);
    }
    ~BindingScope() {
        glBindBufferBase(GL_SHADER_STORAGE_BUFFER, captureBinding, 0);
        glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, captureBinding, 0);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFramebuffer));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    }
    BindingScope(const BindingScope&) = delete;
    BindingScope& operator=(const BindingScope&) = delete;

private:
    GLint drawFramebuffer = 0;
    GLint readFramebuffer = 0;
    GLint viewport[4] = {};
};

void clearBuffer(GLenum target, GLuint buffer) {
    glBindBuffer(target, buffer);
    glClearBufferData(target, GL_R32UI, GL_RED_INTEGER, GL_UNSIGNED_INT, nullptr);
    glBindBuffer(target, 0);
}

} // namespace

FragmentRecorder::FragmentRecorder(std::string fragmentPath, std::string vertexPath,
                                   CaptureSupport support)
    : fragmentPath(std::move(fragmentPath)), vertexPath(std::move(vertexPath)), offered(support) {}

FragmentRecorder::~FragmentRecorder() {
    // Deleting name 0 is allowed and does nothing.
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &colorBuffer);
    glDeleteBuffers(1, &pixelBuffer);
    glDeleteBuffers(1, &counterBuffer);
}

void FragmentRecorder::reload() {
    if (fragmentShader) {
        fragmentShader->reload();
        vertexShader->reload();
    }
}

FragmentCapture FragmentRecorder::record(const Frame& frame, const DrawFrame& draw) {
    if (!offered.enough()) {
        throw CaptureError(offered.refusal());
    }
    if (frame.width < 1 || frame.height < 1 || frame.width > FragmentCapture::maxSide ||
        frame.height > FragmentCapture::maxSide) {
        throw CaptureError("cannot capture a " + std::to_string(frame.width) + "x" +
                           std::to_string(frame.height) + " window: each side must be 1 to " +
                           std::to_string(FragmentCapture::maxSide) + " pixels");
    }
    GLint64 largestBlock = 0;
    glGetInteger64v(GL_MAX_SHADER_STORAGE_BLOCK_SIZE, &largestBlock);
    const std::size_t bytes = storageBytes(frame.width, frame.height);
    if (static_cast<double>(bytes) > static_cast<double>(largestBlock)) {
        throw CaptureError("a " + std::to_string(frame.width) + "x" + std::to_string(frame.height) +
                           " capture needs " + mebibytes(static_cast<double>(bytes)) +
                           " of shader storage; this driver allows " +
                           mebibytes(static_cast<double>(largestBlock)));
    }

    if (!program) {
        buildShaders();
    }
    setCaptureMacros(frame);
    prepareTargets(frame.width, frame.height);
    clearBuffer(GL_SHADER_STORAGE_BUFFER, pixelBuffer);
    clearBuffer(GL_ATOMIC_COUNTER_BUFFER, counterBuffer);
    {
        BindingScope scope;
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glViewport(0, 0, frame.width, frame.height);
        glBindBufferBase(GL_SHADER_STORAGE_BUFFER, captureBinding, pixelBuffer);
        glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, captureBinding, counterBuffer);
        const auto start = std::chrono::steady_clock::now();
        draw(*program, *fragmentShader);
        // The buffer is read through a mapping next.
        glMemoryBarrier(GL_BUFFER_UPDATE_BARRIER_BIT);
        glFinish();
        frameSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (program->linkFailed) {
        throw CaptureError("the capture shader did not build (the compiler's report is above)");
    }
    FragmentCapture capture = readBack(frame);
    checkGLError("FragmentRecorder::record");
    return capture;
}

void FragmentRecorder::buildShaders() {
    fragmentShader = std::make_unique<ShaderGLSL>(fragmentPath.c_str(), fragmentStage);
    vertexShader = std::make_unique<ShaderGLSL>(vertexPath.c_str(), vertexStage);
    // The vertex shader stays GLSL 1.10 like the live one: desktop GLSL links
    // stages of different versions.
    fragmentShader->setVersionLine(offered.versionLine());
    program = std::make_unique<ShaderProgramGLSL>();
    program->addShader(fragmentShader.get());
    program->addShader(vertexShader.get());
}

void FragmentRecorder::setCaptureMacros(const Frame& frame) {
    for (const auto& define : frame.defines) {
        fragmentShader->setDefine(define.first.c_str(), define.second.c_str());
    }
    fragmentShader->setDefine("CAPTURE_FRAGMENTS", 1);
    fragmentShader->setDefine("CAPTURE_CLOCK", offered.clock ? 1 : 0);
    fragmentShader->setDefine("CAPTURE_BALLOT", offered.ballot ? 1 : 0);
    fragmentShader->setDefine("CAPTURE_THREAD_GROUP", offered.threadGroup ? 1 : 0);
    fragmentShader->setDefine("CAPTURE_WIDTH", frame.width);
    fragmentShader->setDefine("CAPTURE_HEIGHT", frame.height);
}

void FragmentRecorder::prepareTargets(int width, int height) {
    if (framebuffer == 0) {
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(1, &colorBuffer);
        glGenBuffers(1, &pixelBuffer);
        glGenBuffers(1, &counterBuffer);
        glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, counterBuffer);
        glBufferData(GL_ATOMIC_COUNTER_BUFFER, 2 * sizeof(std::uint32_t), nullptr, GL_DYNAMIC_COPY);
        glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, 0);
    }
    if (width == targetWidth && height == targetHeight) {
        return;
    }
    targetWidth = 0;
    targetHeight = 0;
    glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    GLenum status = 0;
    {
        BindingScope scope;
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colorBuffer);
        if (offered.flipY) {
            glFramebufferParameteri(GL_FRAMEBUFFER, GL_FRAMEBUFFER_FLIP_Y_MESA, GL_TRUE);
        }
        status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    }
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        throw CaptureError("the off-screen framebuffer for the capture is incomplete (status " +
                           std::to_string(status) + ")");
    }

    const std::size_t bytes = storageBytes(width, height);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, pixelBuffer);
    glBufferData(GL_SHADER_STORAGE_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr,
                 GL_DYNAMIC_READ);
    GLint64 allocated = 0;
    glGetBufferParameteri64v(GL_SHADER_STORAGE_BUFFER, GL_BUFFER_SIZE, &allocated);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
    if (static_cast<std::size_t>(allocated) != bytes) {
        throw CaptureError("cannot allocate " + mebibytes(static_cast<double>(bytes)) +
                           " of shader storage for the capture");
    }
    targetWidth = width;
    targetHeight = height;
}

FragmentCapture FragmentRecorder::readBack(const Frame& frame) const {
    FragmentCapture capture = FragmentCapture::blank(frame.width, frame.height);
    capture.enablePrimitive();
    if (offered.clock) {
        capture.enableClock();
    }
    if (offered.ballot) {
        capture.enableBallot();
    }
    if (offered.threadGroup) {
        capture.enableThreadGroup();
    }
    capture.extensions = offered.extensionsUsed();
    capture.freezePoints = frame.freezePoints;

    const std::size_t bytes = storageBytes(frame.width, frame.height);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, pixelBuffer);
    const auto* words = static_cast<const std::uint32_t*>(glMapBufferRange(
        GL_SHADER_STORAGE_BUFFER, 0, static_cast<GLsizeiptr>(bytes), GL_MAP_READ_BIT));
    if (!words) {
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
        throw CaptureError("cannot map the capture's storage buffer for reading");
    }
    const std::size_t pixels = capture.pixelCount();
    for (std::size_t p = 0; p < pixels; ++p) {
        const std::uint32_t* pixel = words + p * wordsPerPixel;
        if (pixel[overdrawWord] == 0) {
            continue;
        }
        capture.overdraw[p] = pixel[overdrawWord];
        capture.order[p] = pixel[orderWord];
        capture.primitive[p] = pixel[primitiveWord];
        if (capture.clockAvailable) {
            capture.clockStart[p] = clockValue(pixel, clockStartWord);
            capture.clockEnd[p] = clockValue(pixel, clockEndWord);
        }
        if (capture.ballotAvailable) {
            capture.subgroup[p] = pixel[subgroupWord];
            capture.lane[p] = pixel[laneWord];
        }
        if (capture.threadGroupAvailable) {
            capture.smId[p] = pixel[smWord];
            capture.warpId[p] = pixel[warpWord];
        }
    }
    glUnmapBuffer(GL_SHADER_STORAGE_BUFFER);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
    return capture;
}

} // namespace Vellumar::capture
