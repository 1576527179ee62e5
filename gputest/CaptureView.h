// A fragment capture shown in the window, and its "Capture" bar: the
// capture's analysis with a histogram of its cycles, one of its views
// (order, time, subgroups, lanes, primitives, overdraw) cut at the replay
// position as a texture over the window, with its colour ramp as a legend,
// the replay played at a speed, "Save" into a new directory and "Show live"
// back to the live frames. Over the picture the mouse wheel zooms about the
// pointer, the middle button drags the picture, "Fit" shows the whole frame
// again, and the bar tells what the pixel under the pointer recorded. The
// bar stays hidden while no capture is shown, and starts folded to its title
// line. Nothing here runs in a live frame.
#pragma once

#include <GL/glew.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "CycleHistogram.h"
#include "FragmentCapture.h"
#include "OrderIndex.h"
#include "PatternReport.h"
#include "PictureZoom.h"
#include "PixelReadout.h"
#include "TweakBar.h"
#include "ViewBuilder.h"

class CaptureView {
public:
    // Builds the bar (after TwInit); no GL object until the first capture.
    // The Capture bar takes the place of `displacedBar`, which is hidden
    // while a capture is shown.
    explicit CaptureView(const std::string& displacedBar);
    ~CaptureView();
    // Owns a GL texture and the bar's bindings point into it.
    CaptureView(const CaptureView&) = delete;
    CaptureView& operator=(const CaptureView&) = delete;

    // Analyses the capture, keeps it and shows it from the next frame on,
    // with the replay at 100 %, paused. Throws std::invalid_argument for an
    // inconsistent capture (nothing changes then).
    void show(Vellumar::capture::FragmentCapture capture);
    // Back to the live frames: hides the bar, keeps the capture.
    void hide();
    bool shown() const { return visible; }

    // The frame while a capture is shown: advances a playing replay, builds
    // and uploads the view when it changed, draws its zoomed part over the
    // whole window into the current draw buffer. Leaves texturing and the
    // matrices as it found them.
    void draw(int windowWidth, int windowHeight);

    // Pointer events over the picture (not over a bar) while a capture is
    // shown, in GLUT window coordinates: the wheel (buttons 3 and 4) zooms,
    // the middle button drags. True when the event was the view's.
    bool mouse(int button, int state, int x, int y, int windowWidth, int windowHeight);
    bool motion(int x, int y, int windowWidth, int windowHeight);
    // The pixel under the pointer into the bar.
    void hover(int x, int y, int windowWidth, int windowHeight);
    // "Fit": the whole frame again.
    void fit() { zoom.fit(); }

    // Writes the shown capture into a new glintmoth-capture-DATE-TIME
    // directory in the working directory; says where on standard output, or
    // why not in one INFO line.
    void save();

    const Vellumar::capture::PatternReport& report() const { return findings; }

    // Bound to the bar.
    int32_t view = 0; // a Vellumar::capture::View
    float replayPercent = 100.0f;
    bool playing = false;
    float speedPercentPerSecond = 25.0f;

private:
    // A texture of the capture's size, sampled pixel for pixel.
    void prepareTexture();
    void updateTexts();
    void advanceReplay();
    void upload();
    // The texture's zoomed part over the whole window, leaving the state as
    // it found it.
    void drawTexture(int windowWidth, int windowHeight) const;
    void updateLegend(Vellumar::capture::View shownView);

    std::unique_ptr<Vellumar::capture::FragmentCapture> captured;
    std::unique_ptr<Vellumar::capture::OrderIndex> index;
    std::unique_ptr<Vellumar::capture::ViewBuilder> views;
    Vellumar::capture::PatternReport findings;
    bool visible = false;
    std::string hideDisplaced;
    std::string showDisplaced;

    GLuint texture = 0;
    int textureWidth = 0;
    int textureHeight = 0;
    // What the texture holds: the view and the replay's fragment count.
    int32_t uploadedView = -1;
    std::size_t uploadedCount = 0;
    bool wasPlaying = false;
    std::chrono::steady_clock::time_point lastAdvance;

    PictureZoom zoom;
    // While the middle button drags the picture: where it was last.
    bool panning = false;
    int panX = 0;
    int panY = 0;
    PixelReadout readout;
    // The shown view's ramp, bound to the bar's legend.
    unsigned char legendColours[256 * 4] = {};
    char legendLow[40] = {};
    char legendHigh[40] = {};
    Vellumar::tweakbar::RampData legend;

    // The bar's read-only texts (TW_TYPE_CDSTRING binds a const char*).
    CycleHistogram cycleHistogram;
    std::string logText, tileText, traversalText, blockText, subgroupText, savedText;
    const char* logLabel = "";
    const char* tileLabel = "";
    const char* traversalLabel = "";
    const char* blockLabel = "";
    const char* subgroupLabel = "";
    const char* savedLabel = "";
};
