#include "picture_box.h"

#include "twips.h"
#include "window_operations.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace telvo::platform {

PictureBox::PictureBox(QWidget *parent) : QWidget(parent), compositorMoves_(CompositorMoveButtons()) {}

int PictureScale(qreal devicePixelRatio) {
    // A little above a whole scale is still that scale: 2.0000001 is 2.
    return std::clamp(static_cast<int>(std::ceil(devicePixelRatio - 1e-6)), 1, 3);
}

void PictureBox::SetPicture(PictureSource source) {
    picture_ = std::move(source);
    stretched_ = QPixmap();
    update();
}

void PictureBox::SetMouseIcon(PictureSource source, QPoint hotSpot) {
    pointer_ = std::move(source);
    hotSpot_ = hotSpot;
    pointerRatio_ = 0;
    UpdatePointer();
}

QPixmap PictureBox::Drawn(qreal devicePixelRatio) const {
    const QImage source = picture_ ? picture_(PictureScale(devicePixelRatio)) : QImage();
    if (source.isNull()) {
        return {};
    }
    QPixmap drawn = QPixmap::fromImage(
        source.scaled(size() * devicePixelRatio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    drawn.setDevicePixelRatio(devicePixelRatio);
    return drawn;
}

void PictureBox::UpdatePointer() {
    const qreal ratio = devicePixelRatioF();
    if (!pointer_ || ratio == pointerRatio_) {
        return;
    }
    pointerRatio_ = ratio;
    const int scale = PictureScale(ratio);
    QImage image = pointer_(scale);
    if (image.isNull()) {
        setCursor(Qt::OpenHandCursor);
        return;
    }
    // Between whole scales, the next finer pointer made smaller.
    if (const int side = qRound(image.width() / scale * ratio); side != image.width()) {
        image = image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    // Qt's X11 platform takes a bitmap pointer's hot spot in the image's own
    // pixels; Wayland's in window pixels.
    const QPoint hotSpot =
        QGuiApplication::platformName() == "xcb" ? (QPointF(hotSpot_) * ratio).toPoint() : hotSpot_;
    setCursor(QCursor(pixmap, hotSpot.x(), hotSpot.y()));
}

bool PictureBox::event(QEvent *event) {
    if (event->type() == QEvent::ScreenChangeInternal) {
        UpdatePointer(); // the picture follows at its next paint
    }
    return QWidget::event(event);
}

void PictureBox::paintEvent(QPaintEvent *) {
    const qreal ratio = devicePixelRatioF();
    if (stretched_.size() != size() * ratio || stretched_.devicePixelRatio() != ratio) {
        // Made once for each screen and kept: the clock repaints parts of the picture every second.
        stretched_ = Drawn(ratio);
    }
    if (!stretched_.isNull()) {
        QPainter(this).drawPixmap(0, 0, stretched_);
    }
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
    const MouseArgs args = ArgsOf(event, event->button());
    if (!CompositorPlacesWindows()) {
        emit MouseDown(args);
        return;
    }
    // The compositor moves the window and keeps the release for itself. It is
    // asked at the press: some count the move from where the pointer is when
    // the request comes, and every pixel travelled before it would be lost. A
    // button whose release would not end the move starts no drag at all.
    if (!(compositorMoves_ & event->button())) {
        return;
    }
    emit MouseDown(args);
    // Asked once the input that came with the press has been handled. A tap
    // or a quick click brings its release in the same batch; a move asked
    // after that release has the release's serial, and sway takes it and
    // moves the window with the pointer, no button held, until the next
    // click. The request goes out as soon as ever: the compositor has seen
    // the same pointer either way.
    const Qt::MouseButton button = event->button();
    QMetaObject::invokeMethod(
        this,
        [this, button, args] {
            if (!(QGuiApplication::mouseButtons() & button)) {
                return; // released already, and told as such
            }
            if (StartCompositorMove(window())) {
                emit MouseUp(args);
            }
        },
        Qt::QueuedConnection);
}

void PictureBox::mouseMoveEvent(QMouseEvent *event) {
    emit MouseMove(ArgsOf(event, event->buttons()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event) {
    emit MouseUp(ArgsOf(event, event->button()));
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *) {
    emit DblClick();
}

} // namespace telvo::platform
