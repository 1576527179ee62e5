// The Capture bar's rows about the pixel under the pointer: where it is
// (origin at the lower left, as in the capture's files), the order of its
// first fragment and how many fragments reached it, then its shader clocks,
// subgroup and lane, primitive, and multiprocessor and warp, or that the
// capture did not record them. Filled on pointer events, never per frame,
// into fixed buffers that the bar's entries are bound to.
#pragma once

#include "FragmentCapture.h"

struct TwBar;

class PixelReadout {
public:
    PixelReadout();
    // The bar's entries point into the readout.
    PixelReadout(const PixelReadout&) = delete;
    PixelReadout& operator=(const PixelReadout&) = delete;

    // A separator and the rows, at the end of the bar.
    void addTo(TwBar* bar);
    // The rows for pixel (x, y) of the capture, which must lie inside it.
    void show(const Vellumar::capture::FragmentCapture& capture, int x, int y);
    // Empty rows: no pixel pointed at yet.
    void clear();

private:
    char pixel[32];
    char order[48];
    char clocks[80];
    char subgroup[40];
    char primitive[24];
    char thread[40];
    // Bound to the bar (TW_TYPE_CDSTRING binds a const char*).
    const char* pixelText = pixel;
    const char* orderText = order;
    const char* clocksText = clocks;
    const char* subgroupText = subgroup;
    const char* primitiveText = primitive;
    const char* threadText = thread;
};
