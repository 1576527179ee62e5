// The view is rebuilt and uploaded only when the view or the replay's
// fragment count changed: a paused capture costs one textured quad a frame,
// a playing one a ViewBuilder pass and a glTexSubImage2D of the window's size.
// Zoom and pan change only the quad's texture coordinates; the pointer's
// pixel is looked up on pointer events.
#include "CaptureView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <stdexcept>

#include "CaptureDirectory.h"
#include "FindingsText.h"
#include "GLHeaders.h"
#include "MessageSink.h"
#include "PatternAnalysis.h"

namespace {

using Vellumar::capture::View;
using Vellumar::capture::viewCount;

void saveCallback(void* clientData) { static_cast<CaptureView*>(clientData)->save(); }

void showLiveCallback(void* clientData) { static_cast<CaptureView*>(clientData)->hide(); }

void fitCallback(void* clientData) { static_cast<CaptureView*>(clientData)->fit(); }

// GLUT's wheel, as mouse buttons.
constexpr int wheelUp = 3;
constexpr int wheelDown = 4;

// A window position in GLUT's coordinates (from the top-left) as shares of
// the window from the lower left, at the pixel's centre.
double windowShareX(int x, int windowWidth) { return (x + 0.5) / std::max(windowWidth, 1); }
double windowShareY(int y, int windowHeight) { return 1.0 - (y + 0.5) / std::max(windowHeight, 1); }

// The frame pixel at a share of the frame, kept inside it.
int framePixel(double share, int side) {
    return std::clamp(static_cast<int>(std::floor(share * side)), 0, side - 1);
}

} // namespace

CaptureView::CaptureView(const std::string& displacedBar)
    : hideDisplaced(" " + displacedBar + " visible=false "),
      showDisplaced(" " + displacedBar + " visible=true ") {
    TwBar* bar = TwNewBar("Capture");
    TwDefine(" Capture position='10 10' size='250 490' fontSize=1 valuesWidth=110 visible=false "
             "iconified=true help='The last fragment capture (key o): one view of it, cut at "
             "the replay position, with what the analysis found. Over the picture the mouse "
             "wheel zooms, the middle button drags it, and the bar tells what the pixel under "
             "the pointer recorded.' ");
    TwEnumVal values[viewCount];
    for (int i = 0; i < viewCount; ++i) {
        values[i] = {i, Vellumar::capture::viewName(static_cast<View>(i))};
    }
    const TwType viewType = TwDefineEnum("captureView", values, viewCount);
    TwAddVarRW(bar, "View", viewType, &view, " help='What the colours show' ");
    TwAddVarRW(bar, "Replay %", TW_TYPE_FLOAT, &replayPercent,
               " min=0 max=100 step=0.1 help='Share of the fragments shown, first shaded first' ");
    TwAddVarRW(bar, "Play", TW_TYPE_BOOLCPP, &playing, " help='Plays the replay up to 100 %' ");
    TwAddVarRW(bar, "Play speed", TW_TYPE_FLOAT, &speedPercentPerSecond,
               " min=1 max=100 step=1 help='Per cent of the fragments a second' ");
    TwAddButton(bar, "Save", saveCallback, this,
                " help='Writes the capture into a new directory here' ");
    TwAddButton(bar, "Show live", showLiveCallback, this, " help='Back to the live frames' ");
    TwAddButton(bar, "Fit", fitCallback, this,
                " help='The whole frame again, after the mouse wheel zoomed into it' ");
    legend.rgba = legendColours;
    legend.low = legendLow;
    legend.high = legendHigh;
    Vellumar::tweakbar::addRamp(bar, "Colours", &legend,
                                " help='The colour ramp of the view, from its first or least "
                                "value on the left to its last or most on the right' ");
    readout.addTo(bar);
    TwAddSeparator(bar, "Findings", "");
    TwAddVarRO(bar, "Fragments", TW_TYPE_CDSTRING, &logLabel,
               " help='Fragments shaded on the pixels covered; those the log had no room for; "
               "where the driver stopped loops short of the count asked' ");
    TwAddVarRO(bar, "Tile", TW_TYPE_CDSTRING, &tileLabel, "");
    TwAddVarRO(bar, "Traversal", TW_TYPE_CDSTRING, &traversalLabel, "");
    TwAddVarRO(bar, "Block", TW_TYPE_CDSTRING, &blockLabel, "");
    TwAddVarRO(bar, "Subgroup", TW_TYPE_CDSTRING, &subgroupLabel, "");
    Vellumar::tweakbar::addPlot(bar, "Cycles", &cycleHistogram.plot,
                                " help='Pixels by shader-clock cycles, shortest on the left, up to "
                                "the brightest of the time view (longer ones in the last bin)' ");
    TwAddVarRO(bar, "Saved to", TW_TYPE_CDSTRING, &savedLabel, "");
}

CaptureView::~CaptureView() {
    if (texture != 0) {
        glDeleteTextures(1, &texture);
    }
}

void CaptureView::show(Vellumar::capture::FragmentCapture capture) {
    auto kept = std::make_unique<Vellumar::capture::FragmentCapture>(std::move(capture));
    auto keptIndex = std::make_unique<Vellumar::capture::OrderIndex>(*kept);
    Vellumar::capture::PatternReport report =
        Vellumar::capture::PatternAnalysis::analyse(*kept, *keptIndex);
    auto keptViews = std::make_unique<Vellumar::capture::ViewBuilder>(*kept, *keptIndex);
    // The builder refers to the index: both are replaced together.
    views = std::move(keptViews);
    index = std::move(keptIndex);
    captured = std::move(kept);
    findings = std::move(report);
    cycleHistogram.build(*captured);

    prepareTexture();
    zoom.fit();
    panning = false;
    readout.clear();
    uploadedView = -1;
    replayPercent = 100.0f;
    playing = false;
    wasPlaying = false;
    savedText.clear();
    updateTexts();
    visible = true;
    TwDefine(hideDisplaced.c_str());
    TwDefine(" Capture visible=true ");
}

void CaptureView::prepareTexture() {
    if (texture == 0) {
        glGenTextures(1, &texture);
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    if (textureWidth != captured->width || textureHeight != captured->height) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, captured->width, captured->height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
        textureWidth = captured->width;
        textureHeight = captured->height;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void CaptureView::hide() {
    visible = false;
    playing = false;
    TwDefine(" Capture visible=false ");
    TwDefine(showDisplaced.c_str());
}

void CaptureView::updateTexts() {
    const Vellumar::capture::PatternReport& r = findings;
    logText = Vellumar::capture::logText(r);
    logLabel = logText.c_str();
    tileText = Vellumar::capture::tileText(r.tile);
    traversalText = Vellumar::capture::traversalName(r.traversal.pattern);
    blockText = Vellumar::capture::sizeText(r.block);
    subgroupText = Vellumar::capture::subgroupText(r);
    tileLabel = tileText.c_str();
    traversalLabel = traversalText.c_str();
    blockLabel = blockText.c_str();
    subgroupLabel = subgroupText.c_str();
    savedLabel = savedText.c_str();
}

void CaptureView::advanceReplay() {
    const auto now = std::chrono::steady_clock::now();
    if (playing) {
        if (!wasPlaying) {
            // Play at the end starts over.
            if (!(replayPercent < 100.0f)) {
                replayPercent = 0.0f;
            }
        } else {
            const double seconds = std::chrono::duration<double>(now - lastAdvance).count();
            const double speed = std::clamp<double>(speedPercentPerSecond, 0.0, 1000.0);
            replayPercent = static_cast<float>(std::min(100.0, replayPercent + speed * seconds));
        }
        if (replayPercent >= 100.0f) {
            replayPercent = 100.0f;
            playing = false;
        }
    }
    lastAdvance = now;
    wasPlaying = playing;
}

void CaptureView::upload() {
    const int32_t shownView = std::clamp<int32_t>(view, 0, viewCount - 1);
    const std::vector<Vellumar::capture::Rgba>& image =
        views->build(static_cast<View>(shownView), replayPercent / 100.0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, textureWidth, textureHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                    image.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    if (view != uploadedView) {
        updateLegend(static_cast<View>(shownView));
    }
    uploadedView = view;
    uploadedCount = views->replayCount(replayPercent / 100.0);
}

void CaptureView::updateLegend(View shownView) {
    const std::optional<Vellumar::capture::RampScale> scale = views->rampScale(shownView);
    // Views that colour ids show no legend.
    legend.count = scale ? 256 : 0;
    if (!scale) {
        return;
    }
    for (int i = 0; i < legend.count; ++i) {
        const Vellumar::capture::Rgba c =
            Vellumar::capture::ViewBuilder::rampColour(shownView, i / (legend.count - 1.0));
        unsigned char* out = legendColours + 4 * i;
        out[0] = c.r;
        out[1] = c.g;
        out[2] = c.b;
        out[3] = c.a;
    }
    const char* before = shownView == View::order   ? "order "
                         : shownView == View::lanes ? "lane "
                                                    : "";
    const char* after = shownView == View::time       ? " cycles"
                        : shownView == View::overdraw ? " fragments"
                                                      : "";
    std::snprintf(legendLow, sizeof legendLow, "%s%.0f%s", before, scale->low, after);
    std::snprintf(legendHigh, sizeof legendHigh, "%s%.0f%s", before, scale->high, after);
}

void CaptureView::draw(int windowWidth, int windowHeight) {
    if (!captured) {
        return;
    }
    advanceReplay();
    if (view != uploadedView || views->replayCount(replayPercent / 100.0) != uploadedCount) {
        upload();
    }
    drawTexture(windowWidth, windowHeight);
}

void CaptureView::drawTexture(int windowWidth, int windowHeight) const {
    glViewport(0, 0, windowWidth, windowHeight);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    // The capture's rows start at the bottom, as the texture's do.
    const float left = static_cast<float>(zoom.left());
    const float bottom = static_cast<float>(zoom.bottom());
    const float right = static_cast<float>(zoom.left() + zoom.span());
    const float top = static_cast<float>(zoom.bottom() + zoom.span());
    glBegin(GL_QUADS);
    glTexCoord2f(left, bottom);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(right, bottom);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(right, top);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(left, top);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

bool CaptureView::mouse(int button, int state, int x, int y, int windowWidth, int windowHeight) {
    if (!visible) {
        return false;
    }
    const bool down = state == GLUT_DOWN;
    if (button == wheelUp || button == wheelDown) {
        // GLUT reports a notch as a press and a release: the press zooms.
        if (down) {
            zoom.zoomAt(windowShareX(x, windowWidth), windowShareY(y, windowHeight),
                        button == wheelUp ? 1 : -1);
            hover(x, y, windowWidth, windowHeight);
        }
        return true;
    }
    if (button != GLUT_MIDDLE_BUTTON) {
        return false;
    }
    panning = down;
    panX = x;
    panY = y;
    return true;
}

bool CaptureView::motion(int x, int y, int windowWidth, int windowHeight) {
    if (!visible || !panning) {
        return false;
    }
    zoom.panBy(static_cast<double>(x - panX) / std::max(windowWidth, 1),
               static_cast<double>(panY - y) / std::max(windowHeight, 1));
    panX = x;
    panY = y;
    hover(x, y, windowWidth, windowHeight);
    return true;
}

void CaptureView::hover(int x, int y, int windowWidth, int windowHeight) {
    if (!visible || captured->width == 0 || captured->height == 0) {
        return;
    }
    readout.show(*captured, framePixel(zoom.frameX(windowShareX(x, windowWidth)), captured->width),
                 framePixel(zoom.frameY(windowShareY(y, windowHeight)), captured->height));
}

void CaptureView::save() {
    if (!captured) {
        return;
    }
    const std::string directory = Vellumar::measure::freshTimestampedName("glintmoth-capture");
    try {
        Vellumar::capture::writeCaptureDirectory(directory, *captured, *index, findings);
    } catch (const Vellumar::measure::WriteError& e) {
        Vellumar::MessageSink::instance().info("%s", e.what());
        savedText = "not saved (see the console)";
        savedLabel = savedText.c_str();
        return;
    }
    savedText = Vellumar::measure::absolutePath(directory);
    savedLabel = savedText.c_str();
    std::cout << "capture saved to " << savedText << "\n" << std::flush;
}
