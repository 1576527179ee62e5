// Records one frame's fragments. The frame is the program's own frame, drawn
// by its own code (a callback), but with a capture program built from the
// same shader files behind a GLSL 4.x version line with CAPTURE_FRAGMENTS set
// (Shaders/GPUTest_Capture.glsl), into an off-screen framebuffer of the
// window's size (laid out like the window's where the driver allows, see
// CaptureSupport::flipY). Each fragment appends its pixel, order, clocks,
// subgroup, lane, primitive and loop iterations to a log in storage buffers,
// which is read back into a FragmentCapture.
// The live program, its shaders and the window's buffers are never touched.
#pragma once

#include <GL/glew.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "CaptureSupport.h"
#include "FragmentCapture.h"

namespace Vellumar {
class ShaderGLSL;
class ShaderProgramGLSL;
} // namespace Vellumar

namespace Vellumar::capture {

// Why a capture could not be taken, in one line.
class CaptureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class FragmentRecorder {
public:
    // Draws the frame with the program and fragment shader handed in, in
    // place of the live ones: sets its macros on the shader, binds the
    // program, sets its uniforms, draws into draw buffer
    // GL_COLOR_ATTACHMENT0 and releases the program.
    using DrawFrame =
        std::function<void(Vellumar::ShaderProgramGLSL& program, Vellumar::ShaderGLSL& fragment)>;

    struct Frame {
        int width = 0;
        int height = 0;
        // Set on the capture's fragment shader before the frame's own macros
        // (the live shader's defines: values the frame leaves alone).
        std::vector<std::pair<std::string, std::string>> defines;
        // Stored with the capture for the analysis.
        std::vector<FreezePoint> freezePoints;
        std::uint32_t standardLoopsAsked = 0;
        std::uint32_t freezingLoopsAsked = 0;
        // Fragments the log has room for (0: one per pixel of the window),
        // cut to maxRecords and to what the driver's storage blocks hold.
        // Fragments past it are counted, not recorded.
        std::size_t capacity = 0;
    };

    // 16 Mi fragments: 2048 x 2048 four times over, 576 MiB of storage.
    static constexpr std::size_t maxRecords = std::size_t{1} << 24;
    // Storage blocks the capture shader declares at most.
    static constexpr int maxLogBlocks = 8;

    // The program's shader files. Needs a current context; the shaders are
    // read and built at the first record.
    FragmentRecorder(std::string fragmentPath, std::string vertexPath, CaptureSupport support);
    ~FragmentRecorder();
    // Owns GL names: a copy would delete another recorder's.
    FragmentRecorder(const FragmentRecorder&) = delete;
    FragmentRecorder& operator=(const FragmentRecorder&) = delete;

    // Throws CaptureError when the context is too old, the window is empty or
    // too large, the log's storage cannot be had, or the capture program does not build
    // (the compiler's report went to the console). Leaves the framebuffer
    // bindings and the viewport as it found them.
    FragmentCapture record(const Frame& frame, const DrawFrame& draw);

    // Reads the shader files again at the next record (the program's `r`).
    void reload();

    const CaptureSupport& support() const { return offered; }
    // Wall-clock seconds of the last record's frame, from its first GL call
    // to the end of its glFinish.
    double lastFrameSeconds() const { return frameSeconds; }

    // Fragments the last record's log had room for.
    std::size_t lastCapacity() const { return layout.capacity(); }

private:
    // How the log is laid over the storage blocks.
    struct LogLayout {
        std::size_t words = 0; // per record
        std::size_t recordsPerBlock = 0;
        int blocks = 0;
        std::size_t capacity() const { return recordsPerBlock * static_cast<std::size_t>(blocks); }
        bool operator==(const LogLayout& o) const {
            return words == o.words && recordsPerBlock == o.recordsPerBlock && blocks == o.blocks;
        }
    };

    void buildShaders();
    LogLayout planLog(std::size_t capacity) const;
    void setCaptureMacros(const Frame& frame);
    void prepareTargets(int width, int height);
    void prepareLog(const LogLayout& wanted);
    FragmentLog readLog() const;
    std::string fragmentPath;
    std::string vertexPath;
    CaptureSupport offered;
    std::unique_ptr<Vellumar::ShaderGLSL> fragmentShader;
    std::unique_ptr<Vellumar::ShaderGLSL> vertexShader;
    std::unique_ptr<Vellumar::ShaderProgramGLSL> program;
    GLuint framebuffer = 0;
    GLuint colorBuffer = 0;
    std::vector<GLuint> logBuffers;
    LogLayout layout;
    GLuint counterBuffer = 0;
    int targetWidth = 0;
    int targetHeight = 0;
    double frameSeconds = 0.0;
};

} // namespace Vellumar::capture
