#include "picture_box.h"

#include "platform.h"

#include <QMouseEvent>
#include <QPainter>

namespace telvo::platform {

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

} // namespace telvo::platform
