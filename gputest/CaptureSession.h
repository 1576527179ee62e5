// Fragment capture in the program: the test-mode frame drawn once more by the
// fragment recorder with the capture build of the shaders, then shown in the
// window with its Capture bar (the key o) or written into a directory
// (--capture DIR). Owned by the test, whose frame it draws; nothing here runs
// in a live frame.
#pragma once

#include <memory>
#include <string>

class GLAppGPUTest;
class CaptureView;
namespace Vellumar::capture {
class FragmentRecorder;
struct FragmentCapture;
} // namespace Vellumar::capture

class CaptureSession {
public:
    explicit CaptureSession(GLAppGPUTest& test);
    ~CaptureSession();

    // A step of init, after TwInit: the Capture bar, hidden until a capture is
    // shown and then in the place of `displacedBar`.
    void buildBar(const std::string& displacedBar);

    // One frame as test mode draws it with the current settings (fast mode
    // off), into the fragment recorder's off-screen framebuffer with the
    // capture build of the shaders; the window, the live program and every
    // setting stay as they were, but for the test's loopsCutAt, set where the
    // capture saw loops stop short. Throws Vellumar::capture::CaptureError
    // with one line saying why not.
    Vellumar::capture::FragmentCapture record();
    // `o`: records a capture and shows it instead of the live frames, with
    // its findings on standard output; or says in one INFO line why not.
    void recordAndShow();
    // --capture DIR: records a capture and writes its files into DIR; with
    // --repeat N, N captures of which the first is written, with how far the
    // others agreed with it in summary.json's "repeat". Returns the exit
    // status: 0, or 1 after one line on standard error.
    int recordAndWrite(const std::string& directory, int captures = 1);
    // Whether the window shows a capture instead of the live frames.
    bool shown() const;
    // `r`: the capture build reads the shader files again at the next record.
    void reloadShaders();

    // Made at the first record, for the context's capture support. Public:
    // the benchmark reads its frame time, a test puts one for an older
    // context in its place.
    std::unique_ptr<Vellumar::capture::FragmentRecorder> fragmentRecorder;
    // Made by buildBar: the shown capture, drawn by display while shown.
    std::unique_ptr<CaptureView> view;

private:
    GLAppGPUTest& test;
};
