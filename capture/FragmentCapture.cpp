// Construction and the consistency check of a captured frame's arrays.
#include "FragmentCapture.h"

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
}

} // namespace Vellumar::capture
