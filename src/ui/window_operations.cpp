#include "window_operations.h"

#include "display_probes.h"
#include "twips.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#include <wayland-client.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telvo::platform {

bool CompositorPlacesWindows() {
    return QGuiApplication::platformName().startsWith("wayland");
}

namespace {

// Whether a compositing manager runs on the X display: it owns the
// _NET_WM_CM_S<screen> selection.
bool XCompositingManagerRuns() {
    const auto *x11 =
        qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) {
        return false;
    }
    int screen = 0;
    const QByteArray display = qgetenv("DISPLAY");
    if (const qsizetype dot = display.lastIndexOf('.'); dot > display.lastIndexOf(':')) {
        screen = display.mid(dot + 1).toInt();
    }
    return XSelectionOwned(x11->connection(), "_NET_WM_CM_S" + std::to_string(screen));
}

} // namespace

bool DrawsTranslucent() {
    // Under a compositor the window's region may limit only input: Wayland
    // always, and XWayland on compositors that ignore the X shape (sway,
    // weston). Drawing nothing outside the circle holds everywhere.
    return CompositorPlacesWindows() ||
           (QGuiApplication::platformName() == "xcb" && XCompositingManagerRuns());
}

namespace {

// The pixels whose centres lie inside the rounded rectangle, row by row.
// Measuring every row from the nearer edge, and every pixel from the middle,
// makes the region the same mirrored top to bottom and left to right.
QRegion RoundRectPixels(int left, int top, int right, int bottom, double ellipseWidth, double ellipseHeight) {
    const int width = std::max(right - left, 0);
    const int height = std::max(bottom - top, 0);
    const double rx = std::clamp(ellipseWidth, 0.0, double(width)) / 2.0;
    const double ry = std::clamp(ellipseHeight, 0.0, double(height)) / 2.0;
    QRegion region;
    int runStart = top;
    QRect run;
    for (int y = top; y <= bottom; ++y) {
        QRect row;
        if (y < bottom) {
            const double fromEdge = std::min(y + 0.5 - top, bottom - (y + 0.5));
            double inset = 0;
            if (ry > 0 && fromEdge < ry) {
                const double dy = (ry - fromEdge) / ry;
                inset = rx * (1 - std::sqrt(std::max(0.0, 1 - dy * dy)));
            }
            // Pixels whose centres lie at least `inset` inside the left and right edges.
            const int skip = std::max(0, static_cast<int>(std::ceil(inset - 0.5)));
            row = QRect(left + skip, y, width - 2 * skip, 1);
        }
        if (y == bottom || row.left() != run.left() || row.width() != run.width()) {
            if (run.width() > 0) {
                region += QRect(run.left(), runStart, run.width(), y - runStart);
            }
            run = row;
            runStart = y;
        }
    }
    return region;
}

} // namespace

QRegion RoundRectRegion::Pixels(qreal ratio) const {
    auto device = [ratio](int pixels) { return static_cast<int>(std::lround(pixels * ratio)); };
    return RoundRectPixels(device(left_), device(top_), device(right_), device(bottom_),
                           ellipseWidth_ * ratio, ellipseHeight_ * ratio);
}

RoundRectRegion::Rounded RoundRectRegion::Shape() const {
    const QRectF box(left_, top_, std::max(right_ - left_, 0), std::max(bottom_ - top_, 0));
    return {box, std::clamp(ellipseWidth_ / 2.0, 0.0, box.width() / 2),
            std::clamp(ellipseHeight_ / 2.0, 0.0, box.height() / 2)};
}

QPainterPath RoundRectRegion::Outline() const {
    const Rounded shape = Shape();
    QPainterPath outline;
    outline.addRoundedRect(shape.box, shape.rx, shape.ry);
    return outline;
}

bool RoundRectRegion::Encloses(const QRectF &area) const {
    const Rounded shape = Shape();
    const QRectF &box = shape.box;
    const double rx = shape.rx;
    const double ry = shape.ry;
    const QRectF spared = area.adjusted(-1, -1, 1, 1);
    if (!box.contains(spared)) {
        return false;
    }
    if (rx == 0 || ry == 0) {
        return true;
    }
    // The shape is convex: the area is inside when its corners are. A corner
    // is measured from the nearest point of the box less its rounded corners.
    const auto inside = [&](QPointF p) {
        const double dx = (p.x() - std::clamp(p.x(), box.left() + rx, box.right() - rx)) / rx;
        const double dy = (p.y() - std::clamp(p.y(), box.top() + ry, box.bottom() - ry)) / ry;
        return dx * dx + dy * dy <= 1;
    };
    return inside(spared.topLeft()) && inside(spared.topRight()) && inside(spared.bottomLeft()) &&
           inside(spared.bottomRight());
}

RoundRectRegion CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                                   int ellipseHeight) {
    return {left, top, right, bottom, ellipseWidth, ellipseHeight};
}

namespace {

// Sets the X window's shape in device pixels: the toolkit's own mask is made
// in window pixels and scaled up, a staircase of the scale's steps.
void SetXShape(QWidget *window, const QRegion &devicePixels) {
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    std::vector<xcb_rectangle_t> rectangles;
    for (const QRect &r : devicePixels) {
        rectangles.push_back({static_cast<std::int16_t>(r.x()), static_cast<std::int16_t>(r.y()),
                              static_cast<std::uint16_t>(r.width()), static_cast<std::uint16_t>(r.height())});
    }
    xcb_shape_rectangles(x11->connection(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                         XCB_CLIP_ORDERING_UNSORTED, static_cast<xcb_window_t>(window->winId()), 0, 0,
                         static_cast<std::uint32_t>(rectangles.size()), rectangles.data());
    xcb_flush(x11->connection());
}

// Where the window draws translucent, its region may limit its input only.
// Lying above every other control, this takes away whatever they drew
// outside the outline, with an antialiased edge at the device's resolution.
class OutlineCut : public QWidget {
public:
    static constexpr const char *kName = "OutlineCut";

    OutlineCut(QWidget *window, const RoundRectRegion &region) : QWidget(window), region_(region) {
        setObjectName(kName);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(window->rect());
        outside_.addRect(rect());
        outside_.addPath(region.Outline()); // odd-even: the rectangle less the outline
        raise();
        show();
    }

protected:
    void paintEvent(QPaintEvent *event) override {
        // The seconds repaint only rectangles well inside the circle, where
        // the cut takes nothing away; filling the outline's path for them
        // each second cost more than drawing what changed.
        const QRegion &dirty = event->region();
        if (std::all_of(dirty.begin(), dirty.end(),
                        [this](const QRect &r) { return region_.Encloses(QRectF(r)); })) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        painter.fillPath(outside_, Qt::black);
    }

private:
    RoundRectRegion region_;
    QPainterPath outside_;
};

// Keeps the window's region on its native window, where the windowing
// system itself cuts by it or routes input by it. On X it is the window's
// shape at the resolution of its screen, set again when the native window
// comes and when the window moves to a screen of another scale. Where the
// compositor takes an input region, it is that, in window pixels, set when the
// native window comes. Given to the native window alone, the region costs
// nothing at a repaint: as the toolkit's own mask it would clip every control
// drawn each second to it.
class RegionKeeper : public QObject {
public:
    static constexpr const char *kName = "RegionKeeper";
    enum class Kind { XShape, InputRegion };

    RegionKeeper(QWidget *window, const RoundRectRegion &region, Kind kind)
        : QObject(window), region_(region), kind_(kind) {
        setObjectName(kName);
        window->installEventFilter(this);
        if (window->internalWinId() != 0) {
            Apply(window);
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::WinIdChange || event->type() == QEvent::ScreenChangeInternal) {
            Apply(static_cast<QWidget *>(watched));
        }
        return false;
    }

private:
    void Apply(QWidget *window) {
        if (window->internalWinId() == 0) {
            return;
        }
        if (kind_ == Kind::InputRegion) {
            if (QWindow *native = window->windowHandle()) {
                native->setMask(region_.Pixels());
            }
            return;
        }
        const qreal ratio = window->devicePixelRatioF();
        if (ratio != applied_) {
            applied_ = ratio;
            SetXShape(window, region_.Pixels(ratio));
        }
    }

    RoundRectRegion region_;
    Kind kind_;
    qreal applied_ = 0;
};

} // namespace

bool SetWindowRgn(QWidget *window, const RoundRectRegion &region, bool redraw) {
    if (window == nullptr) {
        return false;
    }
    // By name: without a meta-object of their own, a cast would take any QObject for them.
    for (const char *name : {OutlineCut::kName, RegionKeeper::kName}) {
        delete window->findChild<QObject *>(name, Qt::FindDirectChildrenOnly);
    }
    const bool translucent = window->testAttribute(Qt::WA_TranslucentBackground);
    if (QGuiApplication::platformName() == "xcb") {
        new RegionKeeper(window, region, RegionKeeper::Kind::XShape);
    } else if (translucent) {
        // The cut below draws the outline; the region decides input only.
        new RegionKeeper(window, region, RegionKeeper::Kind::InputRegion);
    } else {
        // Nothing else cuts the window here: the toolkit's mask cuts what is
        // drawn and what takes input.
        window->setMask(region.Pixels());
    }
    if (translucent) {
        new OutlineCut(window, region);
    }
    if (redraw) {
        window->update();
    }
    return true;
}

bool StartCompositorMove(QWidget *window) {
    return CompositorPlacesWindows() && window->windowHandle() != nullptr &&
           window->windowHandle()->startSystemMove();
}

namespace {

// Whether the Wayland compositor offers a global of this interface, asked on
// a connection of our own; nothing when it cannot be asked.
std::optional<bool> WaylandCompositorOffers(std::string_view interface) {
    wl_display *display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return std::nullopt;
    }
    struct Search {
        std::string_view wanted;
        bool offered = false;
    } search{interface};
    static const wl_registry_listener listener = {
        [](void *data, wl_registry *, uint32_t, const char *offered, uint32_t) {
            auto *search = static_cast<Search *>(data);
            search->offered = search->offered || search->wanted == offered;
        },
        [](void *, wl_registry *, uint32_t) {}};
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &search);
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return answered ? std::optional(search.offered) : std::nullopt;
}

} // namespace

Qt::MouseButtons CompositorMoveButtons() {
    if (!CompositorPlacesWindows()) {
        return Qt::NoButton;
    }
    // Every compositor ends a move at the release of the left button. GNOME's
    // (known by its gtk_shell1) ends one at no other release but that of the
    // button it resizes with, middle or right as a desktop setting says: a
    // move with the other would follow the pointer until the next click.
    // KWin, sway and weston end a move at the release of any button.
    const bool anyReleaseEnds = WaylandCompositorOffers("gtk_shell1") == false;
    return anyReleaseEnds ? Qt::LeftButton | Qt::RightButton | Qt::MiddleButton : Qt::LeftButton;
}

void ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

void EndProgram(QWidget *window) {
    // Every handler of the window hangs on a signal of the window or of one
    // of its children; silence them all so none runs while the event loop
    // winds down.
    window->blockSignals(true);
    for (QObject *child : window->findChildren<QObject *>()) {
        child->blockSignals(true);
    }
    window->hide();
    QCoreApplication::exit(0);
}

QRect WindowPlace(const QWidget *window) {
    // A window manager may clamp or refuse a move. The native window follows
    // what the server reports; the widget may still hold the place last asked for.
    const QWindow *native = window->windowHandle();
    return native != nullptr ? native->geometry() : window->geometry();
}

double WindowLeft(const QWidget *window) {
    return WindowPlace(window).x() * double(kTwipsPerPixel);
}
double WindowTop(const QWidget *window) {
    return WindowPlace(window).y() * double(kTwipsPerPixel);
}

namespace {

void MoveWindow(QWidget *window, QPoint place) {
    // Through the native window, which compares with where the window really
    // is: the widget would skip a move to the place it wrongly believes it holds.
    if (QWindow *native = window->windowHandle()) {
        native->setPosition(place);
    } else {
        window->move(place);
    }
}

} // namespace

void SetWindowLeft(QWidget *window, double twips) {
    MoveWindow(window, {PixelsFromTwips(twips), WindowPlace(window).y()});
}
void SetWindowTop(QWidget *window, double twips) {
    MoveWindow(window, {WindowPlace(window).x(), PixelsFromTwips(twips)});
}

} // namespace telvo::platform
