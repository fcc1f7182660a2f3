#pragma once

// A client of the X server that the end-to-end tests drive the clock
// through: synthetic input (XTest), window lookup, shapes, screenshots and
// the pointer's image. Knows nothing of Qt's widgets.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>

#include <optional>

using XWindow = unsigned long; // an X resource id, as Xlib's Window

class XSession {
public:
    // The display named, or that of DISPLAY.
    explicit XSession(const QString &display = QString());
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    bool Connected() const { return display_ != nullptr; }
    QRect Screen() const;

    // A plain window of one colour, under everything the clock maps.
    void ShowBackdrop(QRgb color);

    // The mapped top-level window of that name, if there is one.
    std::optional<XWindow> FindWindow(const QString &name) const;
    QRect Geometry(XWindow window) const;      // on the screen
    bool Reparented(XWindow window) const;     // framed by a window manager
    bool HasDecorations(XWindow window) const; // by its Motif hints
    // Where the window is drawn, or where it takes input (which the drawn
    // shape bounds too), in its own coordinates.
    QRegion Shape(XWindow window, bool input) const;
    // Mapped override-redirect windows of type tooltip.
    int VisibleTooltips() const;
    bool SelectionOwned(const QString &selection) const;

    QImage Grab(const QRect &area) const;

    void MovePointer(QPoint global);
    void Press(int button);
    void Release(int button);
    void Sync() const;

    // The pointer's current image and hot spot.
    QImage PointerImage(QPoint *hotSpot) const;

private:
    struct _XDisplay *display_ = nullptr;
    XWindow backdrop_ = 0;
};
