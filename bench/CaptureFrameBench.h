// The fragment capture of the real tool, timed: what a capture costs beyond
// the frame it records, and the frame rate of the replay in the window.
#pragma once

class GLAppGPUTest;

namespace testsupport {

// 512 x 512 window: per scenario, the test-mode frame's wall time against a
// whole capture (record, read-back, analysis, files) and its steps; medians
// of `repeats`. A markdown table on standard output.
void runCaptureCost(GLAppGPUTest& tool, int repeats);

// 1024 x 1024 window showing a capture: ms and frames per second of the
// window's whole frame (view, bars, swap) while the replay moves, and while
// it is paused; medians of `frames`. A markdown table on standard output.
void runReplayRate(GLAppGPUTest& tool, int frames);

} // namespace testsupport
