#include "picture_box.h"

#include "twips.h"
#include "window_operations.h"

#include <QMouseEvent>
#include <QPainter>

namespace telvo::platform {

PictureBox::PictureBox(QWidget *parent) : QWidget(parent), compositorMoves_(CompositorMoveButtons()) {}

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
    if (StartCompositorMove(window())) {
        emit MouseUp(args);
    }
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
