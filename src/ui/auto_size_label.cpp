#include "auto_size_label.h"

#include <cmath>

namespace telvo::platform {

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

} // namespace telvo::platform
