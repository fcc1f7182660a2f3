#pragma once

#include <QLabel>
#include <QString>

namespace telvo::platform {

// A label with a transparent background that sizes itself to its text on one
// line whenever its caption changes. A centred label keeps its centre in
// place as it grows or shrinks; any other keeps its left edge.
class AutoSizeLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    void SetCaption(const QString &caption);

private:
    int centreTwice_ = -1; // twice the design centre's x, taken before the first new caption
};

} // namespace telvo::platform
