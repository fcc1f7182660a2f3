#pragma once

#include <QHash>
#include <QLabel>
#include <QSize>
#include <QStaticText>
#include <QString>

namespace telvo::platform {

// A label with a transparent background that sizes itself to its text on one
// line whenever its caption changes. A centred label keeps its centre in
// place as it grows or shrinks; any other keeps its left edge.
//
// Its text is laid out once per caption and kept, with the size it takes: a
// clock's labels come back to the same few dozen captions all day, and laying
// out the text anew for each change and again for each paint was half the
// instructions a second ran.
class AutoSizeLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    void SetCaption(const QString &caption);

    // The most captions a label keeps laid out: more than the sixty words of
    // the seconds, fewer than would matter for memory.
    static constexpr int kKeptCaptions = 96;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct LaidOut {
        QSize size; // as the label sizes itself to the caption
        QStaticText text;
    };
    LaidOut &Laid(const QString &caption);

    QHash<QString, LaidOut> laidOut_;
    int centreTwice_ = -1; // twice the design centre's x, taken before the first new caption
};

} // namespace telvo::platform
