// Which part of a capture the window shows: the whole frame stretched over
// the window ("Fit"), or a part of it enlarged 2, 4, ... up to 32 times
// about the pointer and moved with it. Kept in shares of the frame and of
// the window (0 to 1 from the lower-left corner), so it holds whatever sizes
// the window and the capture have; the enlarged part never leaves the frame.
#pragma once

class PictureZoom {
public:
    static constexpr int largest = 32;

    void fit();
    // Each notch doubles the enlargement (a negative one halves it, down to
    // the whole frame); the frame point under the window point stays there.
    void zoomAt(double windowX, double windowY, int notches);
    // The picture follows the pointer by this much of the window.
    void panBy(double windowDx, double windowDy);

    int enlargement() const { return scale; }
    // Share of the frame across the window, either way.
    double span() const { return 1.0 / scale; }
    // The frame point at the window's lower-left corner.
    double left() const { return frameLeft; }
    double bottom() const { return frameBottom; }
    // The frame point at a window point.
    double frameX(double windowX) const { return frameLeft + windowX * span(); }
    double frameY(double windowY) const { return frameBottom + windowY * span(); }

private:
    void keepInside();

    int scale = 1;
    double frameLeft = 0.0;
    double frameBottom = 0.0;
};
