// The capture session: the frame it records is the test's own frame code
// (drawFrame), handed the capture's program and framebuffer as its target,
// with its slowdown loops whatever fast mode says; the CaptureView shows what
// it records, the capture directory writer writes it.
#include "CaptureSession.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <iostream>

#include "CaptureDirectory.h"
#include "CaptureView.h"
#include "FindingsText.h"
#include "FragmentRecorder.h"
#include "FrameWorkEstimate.h"
#include "FreezePointAnalysis.h"
#include "GLAppGPUTest.h"
#include "GLHeaders.h"
#include "MessageSink.h"
#include "OrderIndex.h"
#include "PatternAnalysis.h"
#include "RepeatComparison.h"
#include "SummaryJson.h"
#include "ProgramRun.h"
#include "ShaderGLSL.h"
#include "ShaderProgramGLSL.h"

namespace {

using Vellumar::capture::FragmentRecorder;

// The rectangle the shader tests, from its low corner: a negative size
// spans the other way (see insideFreezePoint in GPUTest_Common.glsl).
Vellumar::capture::FreezePoint capturedPoint(int index, const Point& point) {
    Vellumar::capture::FreezePoint captured;
    captured.index = index;
    const int64_t x1 = static_cast<int64_t>(point.PosX) + point.SizeX;
    const int64_t y1 = static_cast<int64_t>(point.PosY) + point.SizeY;
    auto low = [](int64_t a, int64_t b) {
        return static_cast<int>(std::clamp<int64_t>(std::min(a, b), INT32_MIN, INT32_MAX));
    };
    auto extent = [](int64_t a, int64_t b) {
        return static_cast<int>(std::min<int64_t>(a > b ? a - b : b - a, INT32_MAX));
    };
    captured.x = low(point.PosX, x1);
    captured.y = low(point.PosY, y1);
    captured.width = extent(point.PosX, x1);
    captured.height = extent(point.PosY, y1);
    return captured;
}

// The shader's count for a setting (cycleCount in GPUTest_Common.glsl).
std::uint32_t loopsAsked(int32_t count) {
    return static_cast<std::uint32_t>(std::clamp<int64_t>(count, 0, 2000000000));
}

// Room for the fragments the settings promise, with a quarter to spare for
// what the estimate leaves out (line ends, points' rounding), and at least a
// fragment per pixel. Past FragmentRecorder::maxRecords the recorder cuts it
// and reports what it dropped.
std::size_t logCapacity(const FrameWorkEstimate& work, int width, int height) {
    const double pixels = double(std::max(width, 0)) * double(std::max(height, 0));
    const double wanted = std::max(pixels, std::ceil(work.fragments * 1.25));
    return static_cast<std::size_t>(std::min(wanted, double(FragmentRecorder::maxRecords)));
}

} // namespace

CaptureSession::CaptureSession(GLAppGPUTest& test) : test(test) {}

// Defined here, where the fragment recorder and the view are complete types.
CaptureSession::~CaptureSession() = default;

void CaptureSession::buildBar(const std::string& displacedBar) {
    view = std::make_unique<CaptureView>(displacedBar);
}

bool CaptureSession::shown() const { return view && view->shown(); }

void CaptureSession::reloadShaders() {
    if (fragmentRecorder) {
        fragmentRecorder->reload();
    }
}

Vellumar::capture::FragmentCapture CaptureSession::record() {
    if (!fragmentRecorder) {
        fragmentRecorder = std::make_unique<FragmentRecorder>(
            test.fragmentShader->path, test.vertexShader->path,
            Vellumar::capture::CaptureSupport::ofCurrentContext());
    }
    FragmentRecorder::Frame frame;
    frame.width = test.windowWidth;
    frame.height = test.windowHeight;
    for (const auto& define : test.fragmentShader->defines) {
        frame.defines.push_back(define.second);
    }
    for (int i = 0; i < 4; ++i) {
        if (test.freezePointEnabled[i]) {
            frame.freezePoints.push_back(capturedPoint(i, test.freezePoints[i]));
        }
    }
    frame.standardLoopsAsked = loopsAsked(test.loopsCount.y);
    frame.freezingLoopsAsked =
        test.blockingEnable ? loopsAsked(test.loopsCount.x) : frame.standardLoopsAsked;
    frame.capacity =
        logCapacity(estimateFrameWork(test, true), test.windowWidth, test.windowHeight);
    Vellumar::capture::FragmentCapture capture = fragmentRecorder->record(
        frame, [this](Vellumar::ShaderProgramGLSL& program, Vellumar::ShaderGLSL& fragment) {
            test.estimateFrameWorkAndWarn(true);
            test.drawFrame({GL_COLOR_ATTACHMENT0, &program, &fragment, true});
        });
    if (const auto cut = Vellumar::capture::FreezePointAnalysis::loopsCutAt(capture)) {
        test.loopsCutAt = *cut;
    }
    capture.context = test.contextRecord();
    return capture;
}

void CaptureSession::recordAndShow() {
    try {
        view->show(record());
    } catch (const std::exception& e) {
        Vellumar::MessageSink::instance().info("%s", e.what());
        return;
    }
    std::cout << "capture: " << Vellumar::capture::findingsLine(view->report()) << "\n"
              << std::flush;
}

int CaptureSession::recordAndWrite(const std::string& directory, int captures) {
    try {
        const Vellumar::capture::FragmentCapture capture = record();
        // A cut include builds a program all the same.
        if (failedOnCriticalError(std::cerr)) {
            return 1;
        }
        const Vellumar::capture::OrderIndex index(capture);
        const Vellumar::capture::PatternReport report =
            Vellumar::capture::PatternAnalysis::analyse(capture, index);
        std::cout << "capture: " << Vellumar::capture::findingsLine(report) << "\n";
        nlohmann::json more = nlohmann::json::object();
        if (captures > 1) {
            // One later capture at a time: only the first is kept whole.
            Vellumar::capture::RepeatComparison comparison(capture, report);
            for (int k = 1; k < captures; ++k) {
                const Vellumar::capture::FragmentCapture again = record();
                const Vellumar::capture::OrderIndex againIndex(again);
                comparison.add(again,
                               Vellumar::capture::PatternAnalysis::analyse(again, againIndex));
            }
            more["repeat"] = Vellumar::capture::repeatJson(comparison);
            std::cout << "capture: " << captures << " captures, "
                      << more["repeat"]["same_order"].get<double>() * 100.0
                      << " % of the fragments in the same order, findings "
                      << (comparison.findingsAgree() ? "agree" : "differ") << "\n";
        }
        Vellumar::capture::writeCaptureDirectory(directory, capture, index, report, more);
        std::cout << "capture written to " << directory << "\n" << std::flush;
        return 0;
    } catch (const std::exception& e) {
        // The compiler's report says more than "did not build".
        if (!failedOnCriticalError(std::cerr)) {
            std::cerr << "glintmoth: " << e.what() << "\n" << std::flush;
        }
        return 1;
    }
}
