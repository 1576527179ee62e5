// What the test keeps of its frames and settings beyond the console report:
// the settings by name (command line, settings files, sweeps), the log of
// every frame's GPU and wall time with the timer-coverage warning, the
// Statistics bar over it, the `w` frame recording, the `s` settings file and
// the fingerprint that tells when a setting changed. Owned by the test, whose
// members the named settings are bound to.
#pragma once

#include <cstdint>

#include "FrameLog.h"
#include "SettingRegistry.h"
#include "StatisticsPanel.h"

class GLAppGPUTest;
struct TwBar;

class FrameMeasurements {
public:
    // Registers the test's named settings, bound to its members.
    explicit FrameMeasurements(GLAppGPUTest& test);

    Vellumar::measure::SettingRegistry& namedSettings() { return registry; }
    const Vellumar::measure::SettingRegistry& namedSettings() const { return registry; }
    // Every frame's times; a batch run sizes it and reads its stretches.
    Vellumar::measure::FrameLog& frameLog() { return log; }
    const Vellumar::measure::FrameLog& frameLog() const { return log; }

    // A step of init, after TwInit: the read-only Statistics bar.
    void buildStatisticsBar();

    // The frame path, after its glFinish: the frame's times into the log,
    // and the timer-coverage warning the first time it is due. Allocates
    // nothing but that one warning.
    void recordFrame(double gpuSeconds, double wallSeconds);
    // The frame path in configuration mode: the Statistics bar's figures,
    // while the bar shows them.
    void updateStatisticsPanel();

    // A value that changes whenever something a frame measures changes: every
    // named setting, the window's size, the mode and the shader reloads.
    uint64_t settingsFingerprint() const;

    // Back in configuration mode: the panel shows the test-mode frames until
    // a setting changes.
    void holdTestModeFrames();
    // `r`: reloaded shaders start a new stretch of frames.
    void countShaderReload();

    // `w`: starts a recording into a new glintmoth-frames-DATE-TIME.csv, or
    // stops the running one and writes its file. Both say so on standard output.
    void toggleFrameRecording();
    // Writes the running recording, if any (`w`, `q`).
    void finishFrameRecording();
    // Between frames: writes a recording that has filled its room.
    void finishFullFrameRecording();
    // `s`: every named setting into glintmoth-settings.json in the working
    // directory.
    void saveSettingsFile();

private:
    GLAppGPUTest& test;
    Vellumar::measure::SettingRegistry registry;
    Vellumar::measure::FrameLog log;
    int32_t shaderReloads = 0;
    StatisticsPanel panel;
    TwBar* statisticsBar = nullptr;
};
