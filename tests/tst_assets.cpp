// The committed pictures, read back from their files: formats, sizes and
// colour depths, and what they show.

#include "image_files.h"

#include <QFile>
#include <QImage>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

QByteArray ReadAsset(const QString &name) {
    QFile file(QStringLiteral(TELVO_ASSETS_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", qPrintable(file.fileName()));
    }
    return file.readAll();
}

quint32 U32(const QByteArray &bytes, qsizetype at) {
    return quint8(bytes[at]) | quint8(bytes[at + 1]) << 8 | quint8(bytes[at + 2]) << 16 |
           quint32(quint8(bytes[at + 3])) << 24;
}
quint16 U16(const QByteArray &bytes, qsizetype at) {
    return quint16(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8);
}

int RowBytes(int width, int bits) {
    return (width * bits + 31) / 32 * 4;
}

// Rows for a picture as designed and as drawn at two and three times the resolution.
void AtEveryScale(const char *name, const char *extension) {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("scale");
    QTest::newRow("designed") << QString("%1.%2").arg(name, extension) << 1;
    for (int scale : {2, 3}) {
        QTest::addRow("%dx", scale) << QString("%1@%3x.%2").arg(name, extension).arg(scale) << scale;
    }
}

} // namespace

class TestAssets : public QObject {
    Q_OBJECT

private slots:
    void ballBitmapLayout_data();
    void ballBitmapLayout();
    void ballPicture_data();
    void ballPicture();
    void iconImages_data();
    void iconImages();
    void handPointer_data();
    void handPointer();
    void iconsDecode();
    void malformedIconsGiveNoImages();
};

// The designed picture, and the same drawn for screens at two and three
// times the resolution.
void TestAssets::ballBitmapLayout_data() {
    AtEveryScale("ball", "bmp");
}

void TestAssets::ballBitmapLayout() {
    QFETCH(QString, file);
    QFETCH(int, scale);
    const QByteArray bmp = ReadAsset(file);
    const int size = 54 + RowBytes(120 * scale, 24) * 113 * scale;
    QCOMPARE(bmp.size(), size);
    QCOMPARE(bmp.left(2), "BM");
    QCOMPARE(U32(bmp, 2), quint32(size));
    QCOMPARE(U32(bmp, 10), 54u); // pixels straight after the two headers: no colour table
    QCOMPARE(U32(bmp, 14), 40u);
    QCOMPARE(qint32(U32(bmp, 18)), 120 * scale);
    QCOMPARE(qint32(U32(bmp, 22)), 113 * scale); // positive: rows from the bottom up
    QCOMPARE(U16(bmp, 28), 24);
    QCOMPARE(U32(bmp, 30), 0u); // uncompressed
    if (scale == 1) {
        QCOMPARE(size, 40734);
    }
}

void TestAssets::ballPicture_data() {
    ballBitmapLayout_data();
}

void TestAssets::ballPicture() {
    QFETCH(QString, file);
    QFETCH(int, scale);
    const QImage ball = telvo::platform::DecodeBitmap(ReadAsset(file));
    QCOMPARE(ball.size(), QSize(120, 113) * scale);
    // The program's reader and Qt's agree on every pixel.
    QCOMPARE(ball, QImage::fromData(ReadAsset(file), "BMP").convertToFormat(QImage::Format_RGB32));
    const QRect frame = ball.rect();
    for (QPoint corner : {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()}) {
        QCOMPARE(ball.pixelColor(corner), QColor(35, 31, 28));
    }
    // The ball reaches almost to every edge.
    for (QPoint nearEdge : {QPoint(60, 3), QPoint(60, 109), QPoint(3, 56), QPoint(116, 56)}) {
        QVERIFY2(ball.pixelColor(nearEdge * scale) != QColor(35, 31, 28),
                 qPrintable(QString::number(nearEdge.x())));
    }
    // The same shading as the designed picture, point for point.
    const QImage designed = telvo::platform::DecodeBitmap(ReadAsset("ball.bmp"));
    for (int y = 8; y < 113; y += 8) {
        for (int x = 8; x < 120; x += 8) {
            if (std::hypot((x - 60) / 58.5, (y - 56.5) / 55.0) > 0.95) {
                continue; // the edge blends into the ground at each resolution on its own
            }
            const QColor want = designed.pixelColor(x, y);
            const QColor got = ball.pixelColor(x * scale + scale / 2, y * scale + scale / 2);
            const int off = std::max({qAbs(want.red() - got.red()), qAbs(want.green() - got.green()),
                                      qAbs(want.blue() - got.blue())});
            QVERIFY2(
                off <= 24,
                qPrintable(QString("at %1,%2: %3, designed %4").arg(x).arg(y).arg(got.name(), want.name())));
        }
    }
    if (scale > 1) {
        return;
    }
    // Orange lit side, pink shade, a white highlight to the upper left.
    const QColor lit = ball.pixelColor(30, 22);
    QVERIFY2(lit.red() > 230 && lit.green() > 120 && lit.blue() < 120, qPrintable(lit.name()));
    const QColor shade = ball.pixelColor(90, 90);
    QVERIFY2(shade.red() > 120 && shade.blue() > shade.green(), qPrintable(shade.name()));
    QPoint brightest;
    int best = 0;
    for (int y = 0; y < ball.height(); ++y) {
        for (int x = 0; x < ball.width(); ++x) {
            const QColor c = ball.pixelColor(x, y);
            if (c.red() + c.green() + c.blue() > best) {
                best = c.red() + c.green() + c.blue();
                brightest = {x, y};
            }
        }
    }
    QVERIFY(best > 3 * 240);
    QVERIFY(brightest.x() < 60 && brightest.y() < 56);
}

void TestAssets::iconImages_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("count");
    QTest::newRow("pointer 32x32x4") << "hand.ico" << 0 << 32 << 4 << 1;
    QTest::newRow("pointer at 2x, 64x64x4") << "hand@2x.ico" << 0 << 64 << 4 << 1;
    QTest::newRow("pointer at 3x, 96x96x4") << "hand@3x.ico" << 0 << 96 << 4 << 1;
    const int sizes[] = {16, 32, 32, 48, 64, 72};
    const int bits[] = {24, 4, 24, 24, 24, 24};
    for (int i = 0; i < 6; ++i) {
        QTest::addRow("window icon %dx%dx%d", sizes[i], sizes[i], bits[i])
            << "telvo.ico" << i << sizes[i] << bits[i] << 6;
    }
}

void TestAssets::iconImages() {
    QFETCH(QString, file);
    QFETCH(int, index);
    QFETCH(int, size);
    QFETCH(int, bits);
    QFETCH(int, count);
    const QByteArray ico = ReadAsset(file);
    QCOMPARE(U16(ico, 0), 0);
    QCOMPARE(U16(ico, 2), 1); // an icon, not a cursor
    QCOMPARE(int(U16(ico, 4)), count);

    const qsizetype entry = 6 + 16 * index;
    QCOMPARE(int(quint8(ico[entry])), size);
    QCOMPARE(int(quint8(ico[entry + 1])), size);
    QCOMPARE(int(quint8(ico[entry + 2])), bits == 4 ? 16 : 0);
    QCOMPARE(int(U16(ico, entry + 6)), bits);
    const quint32 length = U32(ico, entry + 8);
    const quint32 offset = U32(ico, entry + 12);
    QVERIFY(offset + length <= quint32(ico.size()));

    // Header, palette, colour bits, and a 1-bit mask of the full height.
    QCOMPARE(U32(ico, offset), 40u);
    QCOMPARE(qint32(U32(ico, offset + 4)), size);
    QCOMPARE(qint32(U32(ico, offset + 8)), 2 * size);
    QCOMPARE(int(U16(ico, offset + 14)), bits);
    const int palette = bits == 4 ? 16 * 4 : 0;
    QCOMPARE(length, quint32(40 + palette + (RowBytes(size, bits) + RowBytes(size, 1)) * size));
}

void TestAssets::handPointer_data() {
    AtEveryScale("hand", "ico");
}

void TestAssets::handPointer() {
    QFETCH(QString, file);
    QFETCH(int, scale);
    const QList<QImage> pointer = telvo::platform::DecodeIcon(ReadAsset(file));
    QCOMPARE(pointer.size(), 1);
    const QImage &hand = pointer.front();
    const int size = 32 * scale, area = scale * scale;
    // White hand, black outline, transparent around it.
    int white = 0, black = 0, clear = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QColor c = hand.pixelColor(x, y);
            clear += c.alpha() == 0;
            white += c.alpha() == 255 && c == Qt::white;
            black += c.alpha() == 255 && c == Qt::black;
        }
    }
    QCOMPARE(white + black + clear, size * size);
    QVERIFY(white > 150 * area && black > 80 * area && clear > 300 * area);
    // The fingers point to the lower left: more of the hand lies there than upper right.
    auto handPixels = [&](QRect area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += hand.pixelColor(x, y).alpha() != 0;
        return n;
    };
    const int half = 16 * scale;
    QVERIFY(handPixels(QRect(0, half, half, half)) > handPixels(QRect(half, 0, half, half)));
    // Qt's own reader honours the mask of a 16-colour icon: the two agree on
    // every pixel, see-through ones included, so a mask read upside down or
    // shifted shows.
    const QImage byQt = QImage::fromData(ReadAsset(file), "ICO").convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(hand.convertToFormat(QImage::Format_ARGB32), byQt);
}

void TestAssets::iconsDecode() {
    const QList<QImage> icon = telvo::platform::DecodeIcon(ReadAsset("telvo.ico"));
    QCOMPARE(icon.size(), 6);
    for (const QImage &image : icon) {
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0); // transparent ground
        const QColor middle = image.pixelColor(image.width() / 2, image.height() * 3 / 4);
        QVERIFY2(middle.blue() > middle.red() && middle.alpha() == 255, qPrintable(middle.name()));
    }
    // The 16-colour image carries yellow digits across the ball.
    const QImage &small = icon[1];
    int yellow = 0;
    for (int x = 0; x < 32; ++x) {
        yellow += small.pixelColor(x, 15) == QColor(255, 255, 0);
    }
    QVERIFY(yellow >= 6);
}

void TestAssets::malformedIconsGiveNoImages() {
    const QByteArray icon = ReadAsset("telvo.ico");
    // Every cut short of the whole file loses at least the last image's mask.
    for (qsizetype length = 0; length < icon.size(); length += 97) {
        QVERIFY(telvo::platform::DecodeIcon(icon.left(length)).isEmpty());
    }
    QVERIFY(telvo::platform::DecodeIcon(icon.left(icon.size() - 1)).isEmpty());

    QByteArray tooMany = icon;
    tooMany[4] = char(7); // a seventh directory entry that is not there
    QVERIFY(telvo::platform::DecodeIcon(tooMany).isEmpty());

    QByteArray hugeOffset = icon;
    hugeOffset[6 + 12 + 3] = char(0x7f);
    QVERIFY(telvo::platform::DecodeIcon(hugeOffset).isEmpty());

    const QByteArray bitmap = ReadAsset("ball.bmp");
    QVERIFY(telvo::platform::DecodeBitmap(bitmap.left(bitmap.size() - 1)).isNull());
    QVERIFY(telvo::platform::DecodeBitmap(bitmap.left(20)).isNull());
    QVERIFY(telvo::platform::DecodeBitmap(icon).isNull());

    QByteArray badDepth = icon;
    badDepth[U32(icon, 6 + 12) + 14] = char(3);
    QVERIFY(telvo::platform::DecodeIcon(badDepth).isEmpty());
}

QTEST_MAIN(TestAssets)
#include "tst_assets.moc"
