#include "auto_size_label.h"

#include <QEvent>
#include <QPainter>
#include <QTextOption>

#include <cmath>

namespace telvo::platform {

AutoSizeLabel::LaidOut &AutoSizeLabel::Laid(const QString &caption) {
    auto kept = laidOut_.find(caption);
    if (kept != laidOut_.end()) {
        return *kept;
    }
    if (laidOut_.size() >= kKeptCaptions) {
        laidOut_.clear();
    }
    LaidOut laid;
    laid.text.setText(caption);
    laid.text.setTextFormat(Qt::PlainText);
    return *laidOut_.insert(caption, std::move(laid));
}

void AutoSizeLabel::SetCaption(const QString &caption) {
    if (caption == text()) {
        return;
    }
    const QRect before = geometry();
    if (centreTwice_ < 0) {
        centreTwice_ = 2 * before.left() + before.width();
    }
    setText(caption);
    LaidOut &laid = Laid(caption);
    if (!laid.size.isValid()) {
        // QLabel's own measure of its text: the label takes the size it always took.
        laid.size = sizeHint();
    }
    QRect after(before.topLeft(), laid.size);
    if (alignment() & Qt::AlignHCenter) {
        // From the centre it was designed with, never from the last place: halving
        // an odd width loses half a pixel, and those halves would add up.
        after.moveLeft(static_cast<int>(std::floor((centreTwice_ - after.width()) / 2.0)));
    }
    setGeometry(after);
}

void AutoSizeLabel::paintEvent(QPaintEvent *) {
    const QRect room = contentsRect();
    QStaticText &laid = Laid(text()).text;
    // Aligned as QLabel aligns it, in the room the label has now.
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    if (laid.textWidth() != room.width() || laid.textOption().alignment() != horizontal) {
        QTextOption option(horizontal);
        option.setWrapMode(QTextOption::NoWrap);
        laid.setTextOption(option);
        laid.setTextWidth(room.width());
    }
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawStaticText(room.topLeft(), laid);
}

void AutoSizeLabel::changeEvent(QEvent *event) {
    // Another font lays every caption out anew.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        laidOut_.clear();
    }
    QLabel::changeEvent(event);
}

} // namespace telvo::platform
