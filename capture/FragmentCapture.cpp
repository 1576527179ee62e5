// Construction and the consistency check of a captured frame's arrays.
#include "FragmentCapture.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace Vellumar::capture {

namespace {

template <typename T>
void checkPart(const char* name, bool available, const std::vector<T>& values, std::size_t pixels) {
    if (available && values.size() != pixels) {
        throw std::invalid_argument(std::string("capture: ") + name + " has " +
                                    std::to_string(values.size()) + " values for " +
                                    std::to_string(pixels) + " pixels");
    }
    if (!available && !values.empty()) {
        throw std::invalid_argument(std::string("capture: ") + name +
                                    " holds values although it is marked unavailable");
    }
}

void checkSize(int width, int height) {
    const int maxSide = FragmentCapture::maxSide;
    if (width < 0 || height < 0 || width > maxSide || height > maxSide) {
        throw std::invalid_argument("capture: size " + std::to_string(width) + "x" +
                                    std::to_string(height) + " is outside 0.." +
                                    std::to_string(maxSide));
    }
}

// Columns of one length (optional ones may be empty, pairs together) and
// pixels inside the window.
void checkLog(const FragmentLog& log, std::size_t pixels) {
    const std::size_t fragments = log.size();
    const auto checkColumn = [&](const char* name, std::size_t size, bool optional) {
        if (size != fragments && !(optional && size == 0)) {
            throw std::invalid_argument(std::string("capture: the log's ") + name + " has " +
                                        std::to_string(size) + " values for " +
                                        std::to_string(fragments) + " fragments");
        }
    };
    checkColumn("order", log.order.size(), false);
    checkColumn("primitive", log.primitive.size(), true);
    checkColumn("clockStart", log.clockStart.size(), true);
    checkColumn("clockEnd", log.clockEnd.size(), log.clockStart.empty());
    checkColumn("subgroup", log.subgroup.size(), true);
    checkColumn("lane", log.lane.size(), log.subgroup.empty());
    checkColumn("smId", log.smId.size(), true);
    checkColumn("warpId", log.warpId.size(), log.smId.empty());
    checkColumn("loops", log.loops.size(), true);
    for (std::uint32_t p : log.pixel) {
        if (p >= pixels) {
            throw std::invalid_argument("capture: the log names pixel " + std::to_string(p) +
                                        " of " + std::to_string(pixels));
        }
    }
}

} // namespace

FragmentCapture FragmentCapture::blank(int width, int height) {
    checkSize(width, height);
    FragmentCapture capture;
    capture.width = width;
    capture.height = height;
    capture.order.assign(capture.pixelCount(), notCovered);
    capture.overdraw.assign(capture.pixelCount(), 0);
    return capture;
}

FragmentCapture FragmentCapture::fromLog(int width, int height, FragmentLog log) {
    FragmentCapture capture = blank(width, height);
    checkLog(log, capture.pixelCount());
    const bool primitive = !log.primitive.empty();
    const bool clock = !log.clockStart.empty();
    const bool ballot = !log.subgroup.empty();
    const bool threadGroup = !log.smId.empty();
    if (primitive) {
        capture.enablePrimitive();
    }
    if (clock) {
        capture.enableClock();
    }
    if (ballot) {
        capture.enableBallot();
    }
    if (threadGroup) {
        capture.enableThreadGroup();
    }
    for (std::size_t i = 0; i < log.size(); ++i) {
        const std::size_t p = log.pixel[i];
        // The log is in order, so the first entry at a pixel is its first fragment.
        if (capture.overdraw[p]++ != 0) {
            continue;
        }
        capture.order[p] = log.order[i];
        if (primitive) {
            capture.primitive[p] = log.primitive[i];
        }
        if (clock) {
            capture.clockStart[p] = log.clockStart[i];
            capture.clockEnd[p] = log.clockEnd[i];
        }
        if (ballot) {
            capture.subgroup[p] = log.subgroup[i];
            capture.lane[p] = log.lane[i];
        }
        if (threadGroup) {
            capture.smId[p] = log.smId[i];
            capture.warpId[p] = log.warpId[i];
        }
    }
    capture.log = std::move(log);
    return capture;
}

const FragmentLog& FragmentCapture::logOrFirstFragments(FragmentLog& standIn) const {
    if (!log.empty()) {
        return log;
    }
    std::vector<std::uint32_t> covered;
    for (std::size_t p = 0; p < pixelCount(); ++p) {
        if (this->covered(p)) {
            covered.push_back(static_cast<std::uint32_t>(p));
        }
    }
    std::stable_sort(covered.begin(), covered.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return order[a] < order[b]; });
    FragmentLog& made = standIn;
    made = FragmentLog{};
    made.shaded = covered.size();
    made.pixel = covered;
    const auto column = [&](auto& out, const auto& perPixel) {
        if (perPixel.empty()) {
            return;
        }
        out.reserve(covered.size());
        for (std::uint32_t p : covered) {
            out.push_back(perPixel[p]);
        }
    };
    column(made.order, order);
    column(made.primitive, primitive);
    column(made.clockStart, clockStart);
    column(made.clockEnd, clockEnd);
    column(made.subgroup, subgroup);
    column(made.lane, lane);
    column(made.smId, smId);
    column(made.warpId, warpId);
    return made;
}

void FragmentCapture::enableClock() {
    clockAvailable = true;
    clockStart.assign(pixelCount(), 0);
    clockEnd.assign(pixelCount(), 0);
}

void FragmentCapture::enableBallot() {
    ballotAvailable = true;
    subgroup.assign(pixelCount(), 0);
    lane.assign(pixelCount(), 0);
}

void FragmentCapture::enablePrimitive() {
    primitiveAvailable = true;
    primitive.assign(pixelCount(), 0);
}

void FragmentCapture::enableThreadGroup() {
    threadGroupAvailable = true;
    smId.assign(pixelCount(), 0);
    warpId.assign(pixelCount(), 0);
}

void FragmentCapture::validate() const {
    checkSize(width, height);
    const std::size_t pixels = pixelCount();
    checkPart("order", true, order, pixels);
    checkPart("overdraw", true, overdraw, pixels);
    checkPart("clockStart", clockAvailable, clockStart, pixels);
    checkPart("clockEnd", clockAvailable, clockEnd, pixels);
    checkPart("subgroup", ballotAvailable, subgroup, pixels);
    checkPart("lane", ballotAvailable, lane, pixels);
    checkPart("primitive", primitiveAvailable, primitive, pixels);
    checkPart("smId", threadGroupAvailable, smId, pixels);
    checkPart("warpId", threadGroupAvailable, warpId, pixels);
    checkLog(log, pixels);
}

} // namespace Vellumar::capture
