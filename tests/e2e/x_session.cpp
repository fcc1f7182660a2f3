#include "x_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>

#include <vector>

namespace {

// Walks the top-level windows (children of the root).
std::vector<Window> TopLevels(Display *display) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<Window> windows;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        windows.assign(children, children + count);
        XFree(children);
    }
    return windows;
}

bool Viewable(Display *display, Window window, XWindowAttributes *attributes) {
    return XGetWindowAttributes(display, window, attributes) && attributes->map_state == IsViewable;
}

// A window that vanished between two requests (the clock closing, a tooltip
// hiding) is an answer, not a reason to end the test run.
int IgnoreErrors(Display *, XErrorEvent *) {
    return 0;
}

} // namespace

XSession::XSession(const QString &display)
    : display_(XOpenDisplay(display.isEmpty() ? nullptr : display.toLocal8Bit().constData())) {
    XSetErrorHandler(IgnoreErrors);
}

XSession::~XSession() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

QRect XSession::Screen() const {
    return {0, 0, DisplayWidth(display_, DefaultScreen(display_)),
            DisplayHeight(display_, DefaultScreen(display_))};
}

void XSession::ShowBackdrop(QRgb color) {
    const QRect screen = Screen();
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = color & 0xffffff;
    backdrop_ = XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, unsigned(screen.width()),
                              unsigned(screen.height()), 0, CopyFromParent, InputOutput, CopyFromParent,
                              CWOverrideRedirect | CWBackPixel, &attributes);
    XMapWindow(display_, backdrop_);
    XLowerWindow(display_, backdrop_);
    XSync(display_, False);
}

std::optional<XWindow> XSession::FindWindow(const QString &name) const {
    for (Window window : TopLevels(display_)) {
        XWindowAttributes attributes;
        char *windowName = nullptr;
        if (!Viewable(display_, window, &attributes) || !XFetchName(display_, window, &windowName)) {
            continue;
        }
        const bool match = name == QString::fromUtf8(windowName);
        XFree(windowName);
        if (match) {
            return window;
        }
    }
    return std::nullopt;
}

QRect XSession::Geometry(XWindow window) const {
    XWindowAttributes attributes;
    Window child = 0;
    int x = 0, y = 0;
    if (!XGetWindowAttributes(display_, window, &attributes) ||
        !XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child)) {
        return {};
    }
    return {x, y, attributes.width, attributes.height};
}

bool XSession::Reparented(XWindow window) const {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, window, &root, &parent, &children, &count)) {
        return false;
    }
    XFree(children);
    return parent != root;
}

bool XSession::HasDecorations(XWindow window) const {
    const Atom hints = XInternAtom(display_, "_MOTIF_WM_HINTS", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(display_, window, hints, 0, 5, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) != Success ||
        data == nullptr) {
        return true; // no hints: the window manager decorates it
    }
    const auto *fields = reinterpret_cast<const long *>(data);
    const bool decorated = count < 3 || !(fields[0] & 2) || fields[2] != 0; // flags, functions, decorations
    XFree(data);
    return decorated;
}

QRegion XSession::Shape(XWindow window, bool input) const {
    auto kind = [&](int which) {
        int count = 0, ordering = 0;
        XRectangle *rects = XShapeGetRectangles(display_, window, which, &count, &ordering);
        QRegion region;
        for (int i = 0; i < count; ++i) {
            region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
        }
        XFree(rects);
        return region;
    };
    const QRegion drawn = kind(ShapeBounding);
    return input ? drawn & kind(ShapeInput) : drawn;
}

bool XSession::SelectionOwned(const QString &selection) const {
    const Atom atom = XInternAtom(display_, selection.toLatin1().constData(), True);
    return atom != None && XGetSelectionOwner(display_, atom) != None;
}

int XSession::VisibleTooltips() const {
    const Atom typeAtom = XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False);
    const Atom tooltip = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_TOOLTIP", False);
    int found = 0;
    for (Window window : TopLevels(display_)) {
        XWindowAttributes attributes;
        if (!Viewable(display_, window, &attributes)) {
            continue;
        }
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(display_, window, typeAtom, 0, 8, False, XA_ATOM, &type, &format, &count,
                               &after, &data) == Success &&
            data != nullptr) {
            const auto *types = reinterpret_cast<const Atom *>(data);
            for (unsigned long i = 0; i < count; ++i) {
                found += types[i] == tooltip;
            }
            XFree(data);
        }
    }
    return found;
}

QImage XSession::Grab(const QRect &area) const {
    XImage *shot = XGetImage(display_, DefaultRootWindow(display_), area.x(), area.y(),
                             unsigned(area.width()), unsigned(area.height()), AllPlanes, ZPixmap);
    if (shot == nullptr) {
        return {};
    }
    QImage image(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            image.setPixel(x, y, 0xff000000 | (XGetPixel(shot, x, y) & 0xffffff));
        }
    }
    XDestroyImage(shot);
    return image;
}

void XSession::MovePointer(QPoint global) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), global.x(), global.y(), CurrentTime);
    XFlush(display_);
}

void XSession::Press(int button) {
    XTestFakeButtonEvent(display_, unsigned(button), True, CurrentTime);
    XFlush(display_);
}

void XSession::Release(int button) {
    XTestFakeButtonEvent(display_, unsigned(button), False, CurrentTime);
    XFlush(display_);
}

void XSession::Sync() const {
    XSync(display_, False);
}

QImage XSession::PointerImage(QPoint *hotSpot) const {
    XFixesCursorImage *cursor = XFixesGetCursorImage(display_);
    if (cursor == nullptr) {
        return {};
    }
    QImage image(cursor->width, cursor->height, QImage::Format_ARGB32);
    for (int y = 0; y < cursor->height; ++y) {
        for (int x = 0; x < cursor->width; ++x) {
            image.setPixel(x, y, static_cast<QRgb>(cursor->pixels[y * cursor->width + x]));
        }
    }
    if (hotSpot != nullptr) {
        *hotSpot = {cursor->xhot, cursor->yhot};
    }
    XFree(cursor);
    return image;
}
