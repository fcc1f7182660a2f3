#pragma once

namespace telvo::clock {

// Dragging a window by a point of its picture. Positions and mouse
// coordinates share one unit; mouse coordinates are relative to the window.
class DragState {
public:
    // A press with any button starts a drag (or renews the press point of one
    // already under way).
    void Press(double x, double y) noexcept {
        dragging_ = true;
        pressX_ = x;
        pressY_ = y;
    }
    void Release() noexcept { dragging_ = false; }
    bool Dragging() const noexcept { return dragging_; }

    // Where the window goes so that the pressed point of the picture comes
    // back under the pointer at x (or y).
    double NewLeft(double x, double currentLeft) const noexcept { return x - pressX_ + currentLeft; }
    double NewTop(double y, double currentTop) const noexcept { return y - pressY_ + currentTop; }

private:
    bool dragging_ = false;
    double pressX_ = 0;
    double pressY_ = 0;
};

} // namespace telvo::clock
