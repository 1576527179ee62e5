// What the test keeps of its frames and settings: the fingerprint that tells
// a settings change, the frame's times into the log with the timer-coverage
// warning, the `w` recording and the `s` settings file. The console lines of
// `w` and `s` go to standard output (they are results, not problems); what
// cannot be written is an INFO line.
#include <iostream>
#include <string>

#include "GLAppGPUTest.h"
#include "MessageSink.h"
#include "SettingsFile.h"
#include "WholeFile.h"

uint64_t GLAppGPUTest::settingsFingerprint() const {
    uint64_t fingerprint = settings.fingerprint();
    fingerprint = Vellumar::measure::addToFingerprint(fingerprint, configMode ? 1 : 0);
    fingerprint = Vellumar::measure::addToFingerprint(fingerprint, windowWidth);
    fingerprint = Vellumar::measure::addToFingerprint(fingerprint, windowHeight);
    return Vellumar::measure::addToFingerprint(fingerprint, shaderReloads);
}

void GLAppGPUTest::recordFrameTimes(double gpuSeconds, double wallSeconds) {
    if (frameLog.add({gpuSeconds, wallSeconds}, settingsFingerprint())) {
        // Once in the program's life.
        Vellumar::MessageSink::instance().info("%s", frameLog.live().coverage().message().c_str());
    }
}

void GLAppGPUTest::toggleRecording() {
    if (frameLog.recording().active()) {
        finishRecording();
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
    frameLog.recording().start(path);
    std::cout << "recording frames to " << path << " (w stops)\n" << std::flush;
}

void GLAppGPUTest::finishRecording() {
    Vellumar::measure::FrameRecording& recording = frameLog.recording();
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

void GLAppGPUTest::saveSettingsFile() {
    const std::string path =
        Vellumar::measure::absolutePath(Vellumar::measure::defaultSettingsFileName);
    // Configuration mode forces fast mode on for the bars only: the file keeps
    // what test mode runs with.
    const bool fastModeNow = fastMode;
    if (configMode) {
        fastMode = false;
    }
    const std::string text = Vellumar::measure::settingsText(settings);
    fastMode = fastModeNow;
    try {
        Vellumar::measure::writeWholeFile(path, text);
    } catch (const Vellumar::measure::WriteError& error) {
        Vellumar::MessageSink::instance().info("the settings could not be written: %s",
                                               error.what());
        return;
    }
    std::cout << "settings written to " << path << "\n" << std::flush;
}
