// The frame measurements: the Statistics bar's entries, the frame log fed
// after every frame, the `w` recording and the `s` file. The console lines of
// `w` and `s` go to standard output (they are results, not problems); what
// cannot be written is an INFO line.
#include "FrameMeasurements.h"

#include <iostream>
#include <string>

#include "GLAppGPUTest.h"
#include "GPUTestSettings.h"
#include "MessageSink.h"
#include "SettingsFile.h"
#include "TweakBar.h"
#include "WholeFile.h"

FrameMeasurements::FrameMeasurements(GLAppGPUTest& test) : test(test) {
    registerSettings(test, registry);
}

void FrameMeasurements::buildStatisticsBar() {
    TwBar* bar = TwNewBar("Statistics");
    statisticsBar = bar;
    // Top left, clear of the other bars and of the lower-left corner where
    // freeze point 0 starts; the most read figures first, the spread below.
    // Folded to its title line until a click opens it, so that the picture
    // stays in view.
    TwDefine(" Statistics position='0 0' size='300 310' fontSize='1' valuesWidth='170' "
             "iconified=true ");
    TwDefine(" Statistics help='Frame times since the settings last changed (back from test "
             "mode: the test-mode frames, until a setting changes). Wall time runs from the "
             "first GL call of the frame to the end of its glFinish; GPU time is the timer "
             "query. The first frame after a change is left out.' ");
    TwAddVarRO(bar, "Frames", TW_TYPE_CDSTRING, &panel.showing, "");
    TwAddVarRO(bar, "Count", TW_TYPE_INT32, &panel.count, "");
    TwAddVarRO(bar, "Wall median ms", TW_TYPE_DOUBLE, &panel.wallMedian, "");
    TwAddVarRO(bar, "GPU median ms", TW_TYPE_DOUBLE, &panel.gpuMedian, "");
    TwAddVarRO(bar, "Timer coverage", TW_TYPE_CDSTRING, &panel.coverage,
               "help='GPU time over wall time, on frames of a millisecond or more. Under half, "
               "the timer misses part of the frame on this renderer: trust the wall time.'");
    Vellumar::tweakbar::addPlot(bar, "Wall times", &panel.wallPlot,
                                "help='The wall time of the last frames (before the last change "
                                "too), newest on the right, from 0 up to the largest; the line "
                                "marks the median since the change'");
    TwAddSeparator(bar, "Wall time ms", "");
    TwAddVarRO(bar, "Wall p5", TW_TYPE_DOUBLE, &panel.wallP5, "");
    TwAddVarRO(bar, "Wall p95", TW_TYPE_DOUBLE, &panel.wallP95, "");
    TwAddVarRO(bar, "Wall min", TW_TYPE_DOUBLE, &panel.wallMin, "");
    TwAddVarRO(bar, "Wall max", TW_TYPE_DOUBLE, &panel.wallMax, "");
    TwAddSeparator(bar, "GPU time ms", "");
    TwAddVarRO(bar, "GPU p5", TW_TYPE_DOUBLE, &panel.gpuP5, "");
    TwAddVarRO(bar, "GPU p95", TW_TYPE_DOUBLE, &panel.gpuP95, "");
    TwAddVarRO(bar, "GPU min", TW_TYPE_DOUBLE, &panel.gpuMin, "");
    TwAddVarRO(bar, "GPU max", TW_TYPE_DOUBLE, &panel.gpuMax, "");
}

void FrameMeasurements::recordFrame(double gpuSeconds, double wallSeconds) {
    if (log.add({gpuSeconds, wallSeconds}, settingsFingerprint())) {
        // Once in the program's life.
        Vellumar::MessageSink::instance().info("%s", log.live().coverage().message().c_str());
    }
}

void FrameMeasurements::updateStatisticsPanel() {
    // A folded bar shows no figures: none are worked out for it.
    if (Vellumar::tweakbar::barOpen(statisticsBar)) {
        panel.update(log);
    }
}

uint64_t FrameMeasurements::settingsFingerprint() const {
    uint64_t fingerprint = registry.fingerprint();
    fingerprint = Vellumar::measure::addToFingerprint(fingerprint, test.configMode ? 1 : 0);
    fingerprint = Vellumar::measure::addToFingerprint(fingerprint, test.windowWidth);
    fingerprint = Vellumar::measure::addToFingerprint(fingerprint, test.windowHeight);
    return Vellumar::measure::addToFingerprint(fingerprint, shaderReloads);
}

void FrameMeasurements::holdTestModeFrames() { log.hold(settingsFingerprint()); }

void FrameMeasurements::countShaderReload() { shaderReloads = wrappingAdd(shaderReloads, 1); }

void FrameMeasurements::toggleFrameRecording() {
    if (log.recording().active()) {
        finishFrameRecording();
        return;
    }
    const std::string path = Vellumar::measure::absolutePath(
        Vellumar::measure::freshTimestampedName("glintmoth-frames", ".csv"));
    try {
        Vellumar::measure::checkFileTarget(path);
    } catch (const Vellumar::measure::WriteError& error) {
        Vellumar::MessageSink::instance().info("cannot record the frames: %s", error.what());
        return;
    }
    log.recording().start(path);
    std::cout << "recording frames to " << path << " (w stops)\n" << std::flush;
}

void FrameMeasurements::finishFrameRecording() {
    Vellumar::measure::FrameRecording& recording = log.recording();
    if (!recording.active()) {
        return;
    }
    const bool wasFull = recording.full();
    const size_t frames = recording.size();
    const std::string path = recording.path();
    try {
        recording.stop();
    } catch (const Vellumar::measure::WriteError& error) {
        Vellumar::MessageSink::instance().info("the recorded frames could not be written: %s",
                                               error.what());
        return;
    }
    std::cout << "wrote " << frames << " frames to " << path
              << (wasFull ? " (the recording was full)" : "") << "\n"
              << std::flush;
}

void FrameMeasurements::finishFullFrameRecording() {
    if (log.recording().full()) {
        finishFrameRecording();
    }
}

void FrameMeasurements::saveSettingsFile() {
    const std::string path =
        Vellumar::measure::absolutePath(Vellumar::measure::defaultSettingsFileName);
    // Configuration mode forces fast mode on for the bars only: the file keeps
    // what test mode runs with.
    const bool fastModeNow = test.fastMode;
    if (test.configMode) {
        test.fastMode = false;
    }
    const std::string text = Vellumar::measure::settingsText(registry);
    test.fastMode = fastModeNow;
    try {
        Vellumar::measure::writeWholeFile(path, text);
    } catch (const Vellumar::measure::WriteError& error) {
        Vellumar::MessageSink::instance().info("the settings could not be written: %s",
                                               error.what());
        return;
    }
    std::cout << "settings written to " << path << "\n" << std::flush;
}
