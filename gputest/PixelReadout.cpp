// snprintf into buffers sized for the longest numbers, so a pointer event
// allocates nothing and a text never moves under the bar's binding.
#include "PixelReadout.h"

#include <cinttypes>
#include <cstdio>

#include "TweakBar.h"

namespace {

constexpr const char* notRecorded = "not recorded";

} // namespace

PixelReadout::PixelReadout() { clear(); }

void PixelReadout::addTo(TwBar* bar) {
    TwAddSeparator(bar, "Under the pointer", "");
    TwAddVarRO(bar, "Pixel", TW_TYPE_CDSTRING, &pixelText,
               " help='x and y of the pixel under the pointer, from the lower-left corner' ");
    TwAddVarRO(bar, "Order, count", TW_TYPE_CDSTRING, &orderText,
               " help='Order of the first fragment that reached the pixel, and how many "
               "fragments did' ");
    TwAddVarRO(bar, "Clocks", TW_TYPE_CDSTRING, &clocksText,
               " help='Shader clock when the first fragment started, and the cycles it ran' ");
    TwAddVarRO(bar, "Subgroup, lane", TW_TYPE_CDSTRING, &subgroupText, "");
    TwAddVarRO(bar, "Primitive", TW_TYPE_CDSTRING, &primitiveText, "");
    TwAddVarRO(bar, "SM, warp", TW_TYPE_CDSTRING, &threadText,
               " help='Multiprocessor and warp (NV_shader_thread_group)' ");
}

void PixelReadout::clear() {
    pixel[0] = '\0';
    order[0] = '\0';
    clocks[0] = '\0';
    subgroup[0] = '\0';
    primitive[0] = '\0';
    thread[0] = '\0';
}

void PixelReadout::show(const Vellumar::capture::FragmentCapture& capture, int x, int y) {
    const std::size_t p = capture.pixelIndex(x, y);
    clear();
    std::snprintf(pixel, sizeof pixel, "%d, %d", x, y);
    if (!capture.covered(p)) {
        std::snprintf(order, sizeof order, "none reached it");
        return;
    }
    std::snprintf(order, sizeof order, "%" PRIu32 ", %" PRIu32, capture.order[p],
                  capture.overdraw[p]);
    if (!capture.clockAvailable) {
        std::snprintf(clocks, sizeof clocks, "%s", notRecorded);
    } else if (capture.clockEnd[p] < capture.clockStart[p]) {
        std::snprintf(clocks, sizeof clocks, "%" PRIu64 ", ran backwards to %" PRIu64,
                      capture.clockStart[p], capture.clockEnd[p]);
    } else {
        std::snprintf(clocks, sizeof clocks, "%" PRIu64 " +%" PRIu64, capture.clockStart[p],
                      capture.clockEnd[p] - capture.clockStart[p]);
    }
    if (capture.ballotAvailable) {
        std::snprintf(subgroup, sizeof subgroup, "%" PRIu32 ", %" PRIu32, capture.subgroup[p],
                      capture.lane[p]);
    } else {
        std::snprintf(subgroup, sizeof subgroup, "%s", notRecorded);
    }
    if (capture.primitiveAvailable) {
        std::snprintf(primitive, sizeof primitive, "%" PRIu32, capture.primitive[p]);
    } else {
        std::snprintf(primitive, sizeof primitive, "%s", notRecorded);
    }
    if (capture.threadGroupAvailable) {
        std::snprintf(thread, sizeof thread, "%" PRIu32 ", %" PRIu32, capture.smId[p],
                      capture.warpId[p]);
    } else {
        std::snprintf(thread, sizeof thread, "%s", notRecorded);
    }
}
