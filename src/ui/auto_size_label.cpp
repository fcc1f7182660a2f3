#include "auto_size_label.h"

#include <QEvent>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <QTransform>

#include <cmath>

namespace telvo::platform {

namespace {

// An image that the toolkit paints as it paints a widget. Text comes out in
// greys on transparent pixels, and on a widget's opaque ones too unless the
// screen or the font's settings ask for coloured edges (subpixel
// antialiasing), which Qt draws on widgets only, not on images.
class ImageAsWidget : public QPaintDevice {
public:
    explicit ImageAsWidget(QImage &image) : image_(image) {}
    int devType() const override { return QInternal::Widget; }
    QPaintEngine *paintEngine() const override { return image_.paintEngine(); }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return image_.width();
        case PdmHeight:
            return image_.height();
        case PdmWidthMM:
            return image_.widthMM();
        case PdmHeightMM:
            return image_.heightMM();
        case PdmNumColors:
            return image_.colorCount();
        case PdmDepth:
            return image_.depth();
        case PdmDpiX:
            return image_.logicalDpiX();
        case PdmDpiY:
            return image_.logicalDpiY();
        case PdmPhysicalDpiX:
            return image_.physicalDpiX();
        case PdmPhysicalDpiY:
            return image_.physicalDpiY();
        case PdmDevicePixelRatio:
            return static_cast<int>(image_.devicePixelRatio());
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(image_.devicePixelRatio() * devicePixelRatioFScale());
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        // The exact ratio, a double in two halves, which a fractional scale needs.
        case PdmDevicePixelRatioF_EncodedA:
        case PdmDevicePixelRatioF_EncodedB:
            return encodeMetricF(metric, image_.devicePixelRatio());
#endif
        }
        return QPaintDevice::metric(metric);
    }

private:
    QImage &image_;
};

// Whether a widget's text in this font comes out in greys at this device pixel ratio.
bool WidgetTextInGreys(const QFont &font, qreal ratio) {
    QImage probe((QSizeF(16, 16) * ratio).toSize(), QImage::Format_RGB32);
    probe.setDevicePixelRatio(ratio);
    probe.fill(Qt::white);
    ImageAsWidget device(probe);
    QPainter drawing(&device);
    drawing.setFont(font);
    drawing.drawText(QPointF(2, 12), QStringLiteral("W"));
    drawing.end();
    for (int y = 0; y < probe.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(probe.constScanLine(y));
        for (int x = 0; x < probe.width(); ++x) {
            if (qRed(row[x]) != qGreen(row[x]) || qGreen(row[x]) != qBlue(row[x])) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

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

AutoSizeLabel::LaidOut &AutoSizeLabel::Laid() {
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

qreal AutoSizeLabel::PictureRatio(const QPainter &painter) {
    // The picture's pixels must fall on the device's own: a plain scale by
    // the device pixel ratio, and the label's corner on a whole device pixel.
    const QTransform place = painter.deviceTransform();
    const qreal ratio = place.m11();
    if (place.type() > QTransform::TxScale || place.m22() != ratio || ratio <= 0 ||
        place.dx() != std::round(place.dx()) || place.dy() != std::round(place.dy())) {
        return 0;
    }
    // A picture has its text drawn on transparent pixels, in greys: it stands
    // for the text only where the label's own text is in greys too.
    if (ratio != probedRatio_) {
        probedRatio_ = ratio;
        greyText_ = WidgetTextInGreys(font(), ratio);
    }
    return greyText_ ? ratio : 0;
}

void AutoSizeLabel::paintEvent(QPaintEvent *event) {
    LaidOut &laid = Laid();
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
    const QPointF at(left, room.y());
    const QColor pen = palette().color(foregroundRole());
    QPainter painter(this);
    if (const qreal ratio = fromPictures_ ? PictureRatio(painter) : 0; ratio > 0) {
        const QSize pixels(static_cast<int>(std::ceil(width() * ratio)),
                           static_cast<int>(std::ceil(height() * ratio)));
        if (laid.picture.size() != pixels || laid.picture.devicePixelRatio() != ratio) {
            // Unclipped: the label's own clip cuts the picture where it would cut the text.
            laid.picture = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            laid.picture.setDevicePixelRatio(ratio);
            laid.picture.fill(Qt::transparent);
            QPainter drawing(&laid.picture);
            drawing.setPen(pen);
            line.draw(&drawing, at);
        }
        painter.drawImage(QPointF(0, 0), laid.picture);
        return;
    }
    painter.setPen(pen);
    line.draw(&painter, at);
}

void AutoSizeLabel::changeEvent(QEvent *event) {
    // Another font, or another direction, lays every caption out anew.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::LayoutDirectionChange) {
        laidOut_.clear();
        probedRatio_ = 0;
    } else if (event->type() == QEvent::PaletteChange) {
        for (auto &[caption, laid] : laidOut_) {
            laid.picture = QImage(); // in the colour it had
        }
    }
    QLabel::changeEvent(event);
}

} // namespace telvo::platform
