#pragma once

#include <QPainterPath>
#include <QRect>
#include <QRegion>

class QWidget;

namespace telvo::platform {

// A window region: the rounded rectangle from (left, top) to (right,
// bottom), right and bottom edges excluded, whose corners are quarters of an
// ellipse ellipseWidth by ellipseHeight. All in window pixels; it keeps its
// shape, so that a screen of any scale gets it at its own resolution.
class RoundRectRegion {
public:
    RoundRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
        : left_(left), top_(top), right_(right), bottom_(bottom), ellipseWidth_(ellipseWidth),
          ellipseHeight_(ellipseHeight) {}

    // The device pixels whose centres lie inside, at `ratio` device pixels
    // to the window pixel; at 1, window pixels.
    QRegion Pixels(qreal ratio = 1) const;
    // The outline itself, in window pixels.
    QPainterPath Outline() const;
    // Whether an area, in window pixels, lies wholly inside the outline with
    // a pixel to spare, so that nothing drawn along the outline reaches it.
    bool Encloses(const QRectF &area) const;

private:
    // The outline's box, and the radii of its corners within it.
    struct Rounded {
        QRectF box;
        double rx, ry;
    };
    Rounded Shape() const;

    int left_, top_, right_, bottom_, ellipseWidth_, ellipseHeight_;
};

RoundRectRegion CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                                   int ellipseHeight);

// From now on the window shows itself and takes the mouse only inside the
// region, cut at the resolution of the screen it is on, also after it moves
// to a screen of another scale; outside it, clicks fall through to what lies
// beneath.
bool SetWindowRgn(QWidget *window, const RoundRectRegion &region, bool redraw);

// Whether the compositor alone places windows (Wayland): a window cannot
// move itself there, and what lies outside its region must be transparent.
bool CompositorPlacesWindows();

// Whether the window must draw nothing outside its region itself, through a
// translucent background: where a compositor draws the desktop, the region
// may limit only input.
bool DrawsTranslucent();

// Where the compositor places windows, asks it to move this one with the
// pointer until the button is released; false where the window moves itself.
bool StartCompositorMove(QWidget *window);

// The buttons whose release ends a move that the compositor runs: only a
// press of one of these may hand it a move. Asks the compositor, so ask once.
// None where the window moves itself.
Qt::MouseButtons CompositorMoveButtons();

// Handles queued input and repaints before returning.
void ProcessPendingEvents();

// Ends the program with status 0. No handler of the window runs afterwards.
void EndProgram(QWidget *window);

// Where the window is on the screen, in pixels, as the windowing system
// last reported it.
QRect WindowPlace(const QWidget *window);

// The window's position on the screen, in twips.
double WindowLeft(const QWidget *window);
double WindowTop(const QWidget *window);
void SetWindowLeft(QWidget *window, double twips);
void SetWindowTop(QWidget *window, double twips);

} // namespace telvo::platform
