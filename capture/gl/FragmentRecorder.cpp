// The capture's GL objects (framebuffer, colour renderbuffer, the log's
// storage buffers and the counter buffer) are made at the first record and
// kept, remade when the window's size or the log's layout changes; the
// capture program is kept too, so that a second capture with the same
// settings compiles nothing. The log is laid over as few equal blocks as hold
// its capacity, each within the driver's block size limit.
#include "FragmentRecorder.h"

#include <algorithm>
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
constexpr GLuint counterBinding = 0;

// Each record's words in the log, as GPUTest_Capture.glsl writes them.
enum Word : std::size_t {
    pixelWord = 0,
    primitiveWord = 1,
    clockStartWord = 2, // low, then high
    clockEndWord = 4,
    subgroupWord = 6,
    laneWord = 7,
    loopsWord = 8,
    smWord = 9, // with GL_NV_shader_thread_group only
    warpWord = 10,
};
constexpr std::size_t recordWords = 9;
constexpr std::size_t threadGroupRecordWords = 11;

std::uint64_t clockValue(const std::uint32_t* words, std::size_t at) {
    return static_cast<std::uint64_t>(words[at]) |
           (static_cast<std::uint64_t>(words[at + 1]) << 32);
}

GLint64 integer(GLenum name) {
    GLint64 value = 0;
    glGetInteger64v(name, &value);
    return value;
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
        for (int block = 0; block < FragmentRecorder::maxLogBlocks; ++block) {
            glBindBufferBase(GL_SHADER_STORAGE_BUFFER, static_cast<GLuint>(block), 0);
        }
        glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, counterBinding, 0);
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
    glDeleteBuffers(static_cast<GLsizei>(logBuffers.size()), logBuffers.data());
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
    const LogLayout wanted =
        planLog(frame.capacity > 0 ? frame.capacity
                                   : static_cast<std::size_t>(frame.width) *
                                         static_cast<std::size_t>(frame.height));

    if (!program) {
        buildShaders();
    }
    prepareTargets(frame.width, frame.height);
    prepareLog(wanted);
    setCaptureMacros(frame);
    // The log needs no clearing: every slot below the counter's final value
    // is written by the fragment that took it.
    clearBuffer(GL_ATOMIC_COUNTER_BUFFER, counterBuffer);
    {
        BindingScope scope;
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glViewport(0, 0, frame.width, frame.height);
        for (std::size_t block = 0; block < logBuffers.size(); ++block) {
            glBindBufferBase(GL_SHADER_STORAGE_BUFFER, static_cast<GLuint>(block),
                             logBuffers[block]);
        }
        glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, counterBinding, counterBuffer);
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
    FragmentCapture capture;
    try {
        capture = FragmentCapture::fromLog(frame.width, frame.height, readLog());
    } catch (const std::invalid_argument& e) {
        throw CaptureError(std::string("the capture shader wrote a broken log: ") + e.what());
    }
    capture.extensions = offered.extensionsUsed();
    capture.freezePoints = frame.freezePoints;
    capture.standardLoopsAsked = frame.standardLoopsAsked;
    capture.freezingLoopsAsked = frame.freezingLoopsAsked;
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

FragmentRecorder::LogLayout FragmentRecorder::planLog(std::size_t capacity) const {
    LogLayout planned;
    planned.words = offered.threadGroup ? threadGroupRecordWords : recordWords;
    const std::size_t recordBytes = planned.words * sizeof(std::uint32_t);
    const GLint64 blockBytes = integer(GL_MAX_SHADER_STORAGE_BLOCK_SIZE);
    const GLint64 blocks =
        std::min({integer(GL_MAX_FRAGMENT_SHADER_STORAGE_BLOCKS),
                  integer(GL_MAX_SHADER_STORAGE_BUFFER_BINDINGS), GLint64{maxLogBlocks}});
    if (blockBytes < static_cast<GLint64>(recordBytes) || blocks < 1) {
        throw CaptureError("this driver offers the fragment shader no storage block to log into");
    }
    const std::size_t wanted = std::clamp<std::size_t>(capacity, 1, maxRecords);
    // Blocks of equal size, as few as hold the capacity.
    const std::size_t perBlock = static_cast<std::size_t>(blockBytes) / recordBytes;
    const std::size_t blocksNeeded =
        std::min<std::size_t>((wanted + perBlock - 1) / perBlock, static_cast<std::size_t>(blocks));
    planned.blocks = static_cast<int>(blocksNeeded);
    planned.recordsPerBlock = std::min(perBlock, (wanted + blocksNeeded - 1) / blocksNeeded);
    return planned;
}

void FragmentRecorder::prepareLog(const LogLayout& wanted) {
    if (wanted == layout) {
        return;
    }
    glDeleteBuffers(static_cast<GLsizei>(logBuffers.size()), logBuffers.data());
    logBuffers.assign(static_cast<std::size_t>(wanted.blocks), 0);
    layout = LogLayout{};
    glGenBuffers(wanted.blocks, logBuffers.data());
    const std::size_t bytes = wanted.recordsPerBlock * wanted.words * sizeof(std::uint32_t);
    for (GLuint buffer : logBuffers) {
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, buffer);
        glBufferData(GL_SHADER_STORAGE_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr,
                     GL_DYNAMIC_READ);
        GLint64 allocated = 0;
        glGetBufferParameteri64v(GL_SHADER_STORAGE_BUFFER, GL_BUFFER_SIZE, &allocated);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
        if (static_cast<std::size_t>(allocated) != bytes) {
            // A failed allocation leaves GL_OUT_OF_MEMORY pending.
            while (glGetError() != GL_NO_ERROR) {
            }
            throw CaptureError("cannot allocate " +
                               mebibytes(static_cast<double>(bytes) * wanted.blocks) +
                               " of shader storage for the capture's log");
        }
    }
    layout = wanted;
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
    fragmentShader->setDefine("CAPTURE_LOG_BLOCKS", layout.blocks);
    fragmentShader->setDefine("CAPTURE_RECORDS_PER_BLOCK",
                              std::to_string(layout.recordsPerBlock).c_str());
    fragmentShader->setDefine("CAPTURE_CAPACITY", std::to_string(layout.capacity()).c_str());
}

void FragmentRecorder::prepareTargets(int width, int height) {
    if (framebuffer == 0) {
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(1, &colorBuffer);
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

    targetWidth = width;
    targetHeight = height;
}

FragmentLog FragmentRecorder::readLog() const {
    std::uint32_t counters[2] = {};
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, counterBuffer);
    glGetBufferSubData(GL_ATOMIC_COUNTER_BUFFER, 0, sizeof counters, counters);
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, 0);

    FragmentLog log;
    log.shaded = counters[0];
    const std::size_t recorded = std::min<std::size_t>(counters[0], layout.capacity());
    log.pixel.resize(recorded);
    log.order.resize(recorded);
    log.primitive.resize(recorded);
    log.loops.resize(recorded);
    if (offered.clock) {
        log.clockStart.resize(recorded);
        log.clockEnd.resize(recorded);
    }
    if (offered.ballot) {
        log.subgroup.resize(recorded);
        log.lane.resize(recorded);
    }
    if (offered.threadGroup) {
        log.smId.resize(recorded);
        log.warpId.resize(recorded);
    }
    // Mapped for reading: one pass over each block fills the columns without
    // a copy of the whole buffer. Only the slots taken are read.
    std::size_t i = 0;
    for (std::size_t block = 0; block < logBuffers.size() && i < recorded; ++block) {
        const std::size_t records = std::min(layout.recordsPerBlock, recorded - i);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, logBuffers[block]);
        const auto* words = static_cast<const std::uint32_t*>(glMapBufferRange(
            GL_SHADER_STORAGE_BUFFER, 0,
            static_cast<GLsizeiptr>(records * layout.words * sizeof(std::uint32_t)),
            GL_MAP_READ_BIT));
        if (!words) {
            glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
            throw CaptureError("cannot map the capture's log for reading");
        }
        for (std::size_t r = 0; r < records; ++r, ++i) {
            const std::uint32_t* record = words + r * layout.words;
            log.pixel[i] = record[pixelWord];
            log.order[i] = static_cast<std::uint32_t>(i);
            log.primitive[i] = record[primitiveWord];
            log.loops[i] = record[loopsWord];
            if (offered.clock) {
                log.clockStart[i] = clockValue(record, clockStartWord);
                log.clockEnd[i] = clockValue(record, clockEndWord);
            }
            if (offered.ballot) {
                log.subgroup[i] = record[subgroupWord];
                log.lane[i] = record[laneWord];
            }
            if (offered.threadGroup) {
                log.smId[i] = record[smWord];
                log.warpId[i] = record[warpWord];
            }
        }
        glUnmapBuffer(GL_SHADER_STORAGE_BUFFER);
    }
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
    return log;
}

} // namespace Vellumar::capture
