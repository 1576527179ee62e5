// Powers of two only: with nearest-neighbour sampling every frame pixel then
// covers the same number of window pixels when window and frame match.
#include "PictureZoom.h"

#include <algorithm>

void PictureZoom::fit() {
    scale = 1;
    frameLeft = 0.0;
    frameBottom = 0.0;
}

void PictureZoom::zoomAt(double windowX, double windowY, int notches) {
    const double x = frameX(windowX);
    const double y = frameY(windowY);
    for (; notches > 0 && scale < largest; --notches) {
        scale *= 2;
    }
    for (; notches < 0 && scale > 1; ++notches) {
        scale /= 2;
    }
    frameLeft = x - windowX * span();
    frameBottom = y - windowY * span();
    keepInside();
}

void PictureZoom::panBy(double windowDx, double windowDy) {
    frameLeft -= windowDx * span();
    frameBottom -= windowDy * span();
    keepInside();
}

void PictureZoom::keepInside() {
    frameLeft = std::clamp(frameLeft, 0.0, 1.0 - span());
    frameBottom = std::clamp(frameBottom, 0.0, 1.0 - span());
}
