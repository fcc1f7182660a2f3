#include "platform.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

namespace telvo::platform {

clock::TimeOfDay SystemTimeOfDay::operator()() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (now.tv_sec != second_) {
        tzset();
        tm local{};
        localtime_r(&now.tv_sec, &local);
        second_ = now.tv_sec;
        local_ = {local.tm_hour, local.tm_min, local.tm_sec};
    }
    return local_;
}

// --- TextBox

TextBox::TextBox(QWidget *parent) : QLineEdit(parent) {
    setMaxLength(std::numeric_limits<int>::max());
}

void TextBox::SetText(const QString &text) {
    if (text != this->text()) {
        setText(text);
    }
}

QString TextBox::Filtered(const QString &typed) const {
    QString passed;
    passed.reserve(typed.size());
    for (QChar c : typed) {
        std::uint16_t key = c.unicode();
        keyFilter_(key);
        if (key != 0) {
            passed += QChar(key);
        }
    }
    return passed;
}

void TextBox::keyPressEvent(QKeyEvent *event) {
    // Keys that type no character (arrows, Home, End, Delete) keep their
    // usual effect; Delete reports a character of its own, which it does not type.
    if (!keyFilter_ || event->text().isEmpty() || event->key() == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString passed = Filtered(event->text());
    if (passed.isEmpty()) {
        event->accept();
        return;
    }
    if (passed == event->text()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent changed(event->type(), event->key(), event->modifiers(), passed, event->isAutoRepeat(),
                      static_cast<ushort>(event->count()));
    QLineEdit::keyPressEvent(&changed);
}

void TextBox::inputMethodEvent(QInputMethodEvent *event) {
    // Text composed by an input method is typed too.
    if (!keyFilter_ || event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(Filtered(event->commitString()), event->replacementStart(),
                             event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}

// --- AutoSizeLabel

void AutoSizeLabel::SetCaption(const QString &caption) {
    if (caption == text()) {
        return;
    }
    const QRect before = geometry();
    if (centreTwice_ < 0) {
        centreTwice_ = 2 * before.left() + before.width();
    }
    setText(caption);
    QRect after(before.topLeft(), sizeHint());
    if (alignment() & Qt::AlignHCenter) {
        // From the centre it was designed with, never from the last place: halving
        // an odd width loses half a pixel, and those halves would add up.
        after.moveLeft(static_cast<int>(std::floor((centreTwice_ - after.width()) / 2.0)));
    }
    setGeometry(after);
}

// --- PictureBox

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {}

void PictureBox::SetPicture(const QPixmap &picture) {
    picture_ = picture;
    stretched_ = QPixmap();
    update();
}

void PictureBox::paintEvent(QPaintEvent *) {
    if (picture_.isNull()) {
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize target = size() * ratio;
    if (stretched_.size() != target) {
        // Scaled once and kept: the clock repaints parts of the picture every second.
        stretched_ = picture_.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        stretched_.setDevicePixelRatio(ratio);
    }
    QPainter(this).drawPixmap(0, 0, stretched_);
}

namespace {

int ButtonSet(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int ShiftSet(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

} // namespace

MouseArgs PictureBox::ArgsOf(const QMouseEvent *event, Qt::MouseButtons buttons) const {
    // Measured from the global position against where the window stands now,
    // not from the event's window-relative position: while the window is
    // being moved, the server may still report motion against its old place.
    const QPointF origin = WindowPlace(window()).topLeft();
    const QPointF inWindow = event->globalPosition() - origin;
    return {ButtonSet(buttons), ShiftSet(event->modifiers()),
            static_cast<float>(inWindow.x() * kTwipsPerPixel),
            static_cast<float>(inWindow.y() * kTwipsPerPixel)};
}

void PictureBox::mousePressEvent(QMouseEvent *event) {
    pressed_ = true;
    emit MouseDown(ArgsOf(event, event->button()));
}

void PictureBox::mouseMoveEvent(QMouseEvent *event) {
    const MouseArgs args = ArgsOf(event, event->buttons());
    // Where the compositor places windows, the first move of a drag hands it
    // the rest; the release then goes to the compositor, so it ends the drag
    // here. Not on the press itself: a compositor that takes the pointer at
    // once would swallow the second click of a double-click.
    if (pressed_ && event->buttons() != Qt::NoButton && StartCompositorMove(window())) {
        pressed_ = false;
        emit MouseUp(args);
        return;
    }
    emit MouseMove(args);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event) {
    pressed_ = false;
    emit MouseUp(ArgsOf(event, event->button()));
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *) {
    emit DblClick();
}

// --- Window operations

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
    xcb_connection_t *connection = x11->connection();
    int screen = 0;
    const QByteArray display = qgetenv("DISPLAY");
    if (const qsizetype dot = display.lastIndexOf('.'); dot > display.lastIndexOf(':')) {
        screen = display.mid(dot + 1).toInt();
    }
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.constData()),
        nullptr);
    if (atom == nullptr) {
        return false;
    }
    xcb_get_selection_owner_reply_t *owner =
        atom->atom != XCB_ATOM_NONE
            ? xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                            nullptr)
            : nullptr;
    const bool runs = owner != nullptr && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    std::free(atom);
    return runs;
}

} // namespace

bool DrawsTranslucent() {
    // Under a compositor the window's region may limit only input: Wayland
    // always, and XWayland on compositors that ignore the X shape (sway,
    // weston). Drawing nothing outside the circle holds everywhere.
    return CompositorPlacesWindows() ||
           (QGuiApplication::platformName() == "xcb" && XCompositingManagerRuns());
}

QRegion CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    const int width = std::max(right - left, 0);
    const int height = std::max(bottom - top, 0);
    const double rx = std::clamp(ellipseWidth, 0, width) / 2.0;
    const double ry = std::clamp(ellipseHeight, 0, height) / 2.0;
    // Row by row, a pixel belongs to the region when its centre lies inside
    // the rounded rectangle. Measuring every row from the nearer edge, and
    // every pixel from the middle, makes the region the same mirrored top to
    // bottom and left to right.
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

namespace {

// Where the window draws translucent, its region may limit its input only.
// So that nothing shows outside the region there, each child is masked to
// its part of it, again whenever it moves or resizes (a label that grows
// with its caption).
class ChildClipper : public QObject {
public:
    static constexpr const char *kName = "ChildClipper";

    ChildClipper(QWidget *window, const QRegion &region) : QObject(window), region_(region) {
        setObjectName(kName);
        for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (!child->isWindow()) {
                Clip(child);
                child->installEventFilter(this);
            }
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
            Clip(static_cast<QWidget *>(watched));
        }
        return false;
    }

private:
    void Clip(QWidget *child) const {
        QRegion inside = region_.translated(-child->pos()) & child->rect();
        // An empty mask would mean no mask at all: a pixel outside the child shows none of it.
        child->setMask(inside.isEmpty() ? QRegion(-1, -1, 1, 1) : inside);
    }

    QRegion region_;
};

} // namespace

bool SetWindowRgn(QWidget *window, const QRegion &region, bool redraw) {
    if (window == nullptr) {
        return false;
    }
    window->setMask(region);
    if (window->testAttribute(Qt::WA_TranslucentBackground)) {
        // By name: without a meta-object of its own, a cast would take any QObject for it.
        delete window->findChild<QObject *>(ChildClipper::kName, Qt::FindDirectChildrenOnly);
        new ChildClipper(window, region);
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
