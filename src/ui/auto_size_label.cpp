#include "auto_size_label.h"

#include <QEvent>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>

namespace telvo::platform {

AutoSizeLabel::AutoSizeLabel(const QString &caption, QWidget *parent) : QLabel(caption, parent) {}

AutoSizeLabel::~AutoSizeLabel() = default;

bool AutoSizeLabel::LaysOutAsQLabel(const QString &caption) const {
    // A plain line of text, from the top, left or centred, with no margin,
    // indent or frame, as the clock's labels are. Anything else (an empty
    // caption among it) QLabel measures and draws itself.
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    if (caption.isEmpty() || textFormat() != Qt::PlainText || wordWrap() || margin() != 0 || indent() > 0 ||
        frameWidth() != 0 || contentsMargins() != QMargins() ||
        (alignment() & Qt::AlignVertical_Mask) != Qt::AlignTop ||
        (horizontal != Qt::AlignLeft && horizontal != Qt::AlignHCenter) ||
        layoutDirection() != Qt::LeftToRight) {
        return false;
    }
    // QLabel turns these into something else before it lays the line out.
    for (QChar c : caption) {
        if (c.unicode() < 0x20 || c == u'&' || c.unicode() == 0x9c || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            return false;
        }
    }
    return true;
}

const AutoSizeLabel::LaidOut &AutoSizeLabel::Laid() {
    const QString caption = text();
    const auto kept = laidOut_.find(caption);
    if (kept != laidOut_.end()) {
        return kept->second;
    }
    if (laidOut_.size() >= static_cast<std::size_t>(keptCaptions_)) {
        laidOut_.clear();
    }
    LaidOut laid;
    if (LaysOutAsQLabel(caption)) {
        // One line, unwrapped, as QLabel lays out its text to measure it and to draw it.
        laid.text = std::make_unique<QTextLayout>(caption, font());
        laid.text->setCacheEnabled(true);
        QTextOption option;
        option.setWrapMode(QTextOption::ManualWrap);
        option.setFlags(QTextOption::IncludeTrailingSpaces);
        laid.text->setTextOption(option);
        laid.text->beginLayout();
        QTextLine line = laid.text->createLine();
        line.setLineWidth(0x01000000);
        line.setPosition({0, 0});
        laid.text->endLayout();
        laid.size = QSize(static_cast<int>(std::ceil(line.naturalTextWidth())),
                          static_cast<int>(std::ceil(line.height())));
    } else {
        laid.size = sizeHint();
    }
    return laidOut_.emplace(caption, std::move(laid)).first->second;
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
    QRect after(before.topLeft(), Laid().size);
    if (alignment() & Qt::AlignHCenter) {
        // From the centre it was designed with, never from the last place: halving
        // an odd width loses half a pixel, and those halves would add up.
        after.moveLeft(static_cast<int>(std::floor((centreTwice_ - after.width()) / 2.0)));
    }
    setGeometry(after);
}

void AutoSizeLabel::paintEvent(QPaintEvent *event) {
    const LaidOut &laid = Laid();
    if (!laid.text) {
        QLabel::paintEvent(event);
        return;
    }
    // Where QLabel puts the line in the room the label has now.
    const QRect room = contentsRect();
    QTextLine line = laid.text->lineAt(0);
    qreal left = room.x();
    if (alignment() & Qt::AlignHCenter) {
        left += (room.width() - line.horizontalAdvance()) / 2;
    }
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    line.draw(&painter, QPointF(left, room.y()));
}

void AutoSizeLabel::changeEvent(QEvent *event) {
    // Another font, or another direction, lays every caption out anew.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::LayoutDirectionChange) {
        laidOut_.clear();
    }
    QLabel::changeEvent(event);
}

} // namespace telvo::platform
