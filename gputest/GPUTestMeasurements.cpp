// What the test keeps of its frames and settings: the fingerprint that tells
// a settings change, the frame's times into the log with the timer-coverage
// warning, the `w` recording and the `s` settings file. The console lines of
// `w` and `s` go to standard output (they are results, not problems); what
// cannot be written is an INFO line.
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "AtomicFile.h"
#include "GLAppGPUTest.h"
#include "MessageSink.h"
#include "SettingsFile.h"

namespace {

// The absolute form of a name in the working directory, for the console.
std::string absolutePath(const std::string& name) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(name, error);
    return error ? name : path.string();
}

// glintmoth-frames-YYYYMMDD-HHMMSS.csv, with -2, -3, ... when a file of that
// name is already there (two recordings in one second).
std::string newRecordingName() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = "00000000-000000";
    if (localtime_r(&now, &local)) {
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    }
    const std::string base = std::string("glintmoth-frames-") + stamp;
    std::string name = base + ".csv";
    std::error_code error;
    for (int suffix = 2; std::filesystem::exists(name, error) && suffix < 1000; ++suffix) {
        name = base + "-" + std::to_string(suffix) + ".csv";
    }
    return name;
}

} // namespace

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
        Vellumar::MessageSink::instance().info(
            "%s", Vellumar::measure::TimerCoverage::message(frameLog.coverage()).c_str());
    }
}

void GLAppGPUTest::toggleRecording() {
    if (frameLog.recording().active()) {
        finishRecording();
        return;
    }
    const std::string path = absolutePath(newRecordingName());
    if (std::optional<std::string> problem = Vellumar::measure::AtomicFile::problemWriting(path)) {
        Vellumar::MessageSink::instance().info("cannot record the frames: %s: %s", path.c_str(),
                                               problem->c_str());
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
    if (std::optional<std::string> problem = recording.stop()) {
        Vellumar::MessageSink::instance().info("the recorded frames could not be written: %s",
                                               problem->c_str());
        return;
    }
    std::cout << "wrote " << frames << " frames to " << path
              << (wasFull ? " (the recording was full)" : "") << "\n"
              << std::flush;
}

void GLAppGPUTest::saveSettingsFile() {
    const std::string path = absolutePath(Vellumar::measure::defaultSettingsFileName);
    // Configuration mode forces fast mode on for the bars only: the file keeps
    // what test mode runs with.
    const bool fastModeNow = fastMode;
    if (configMode) {
        fastMode = false;
    }
    const std::optional<std::string> problem = Vellumar::measure::saveSettings(settings, path);
    fastMode = fastModeNow;
    if (problem) {
        Vellumar::MessageSink::instance().info("the settings could not be written: %s",
                                               problem->c_str());
        return;
    }
    std::cout << "settings written to " << path << "\n" << std::flush;
}
