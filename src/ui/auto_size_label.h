#pragma once

#include <QImage>
#include <QLabel>
#include <QSize>
#include <QString>

#include <memory>
#include <unordered_map>

class QPainter;
class QTextLayout;

namespace telvo::platform {

// A label with a transparent background that sizes itself to its text on one
// line whenever its caption changes. A centred label keeps its centre in
// place as it grows or shrinks; any other keeps its left edge.
//
// Its text is laid out once per caption, and that one layout gives both the
// size it takes and what it draws, as QLabel would have them: a clock's
// labels come back to the same few dozen captions all day, and laying out
// each new caption once to measure it and again to draw it was most of the
// instructions a second ran.
class AutoSizeLabel : public QLabel {
    Q_OBJECT
public:
    explicit AutoSizeLabel(const QString &caption, QWidget *parent = nullptr);
    ~AutoSizeLabel() override;

    void SetCaption(const QString &caption);

    // The most captions a label keeps laid out, unless told otherwise: more
    // than the sixty words of the seconds, fewer than would matter for memory.
    static constexpr int kKeptCaptions = 96;
    // For a label whose captions seldom come back, fewer; at least the one shown.
    void SetKeptCaptions(int count) { keptCaptions_ = count < 1 ? 1 : count; }
    // For a label whose kept captions come back all the time: each is drawn
    // once into a picture of its own, which is then put on the screen
    // instead. A picture's edges may differ from the text drawn directly by
    // one step of colour, as it is blended twice.
    void SetDrawnFromPictures(bool fromPictures) { fromPictures_ = fromPictures; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct LaidOut {
        QSize size; // as the label sizes itself to the caption
        // Null where the label draws it itself: a caption or a setting this
        // label does not lay out as QLabel would.
        std::unique_ptr<QTextLayout> text;
        QImage picture; // the caption as drawn at the label's size and device pixel ratio
    };
    LaidOut &Laid(); // the caption shown now, laid out
    bool LaysOutAsQLabel(const QString &caption) const;
    // The device pixel ratio at which a picture put on this painter gives the
    // pixels its text drawn directly gives; 0 where no picture does.
    qreal PictureRatio(const QPainter &painter);

    std::unordered_map<QString, LaidOut> laidOut_;
    int keptCaptions_ = kKeptCaptions;
    bool fromPictures_ = false;
    qreal probedRatio_ = 0; // the device pixel ratio at which text was last tried for greys
    bool greyText_ = false;
    int centreTwice_ = -1; // twice the design centre's x, taken before the first new caption
};

} // namespace telvo::platform
