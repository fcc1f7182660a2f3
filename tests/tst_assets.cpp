// The committed pictures, read back from their files: formats, sizes and
// colour depths, and what they show.

#include "image_files.h"

#include <QFile>
#include <QImage>
#include <QTest>

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

} // namespace

class TestAssets : public QObject {
    Q_OBJECT

private slots:
    void ballBitmapLayout();
    void ballPicture();
    void iconImages_data();
    void iconImages();
    void iconsDecode();
    void malformedIconsGiveNoImages();
};

void TestAssets::ballBitmapLayout() {
    const QByteArray bmp = ReadAsset("ball.bmp");
    QCOMPARE(bmp.size(), 40734);
    QCOMPARE(bmp.left(2), "BM");
    QCOMPARE(U32(bmp, 2), 40734u);
    QCOMPARE(U32(bmp, 10), 54u); // pixels straight after the two headers: no colour table
    QCOMPARE(U32(bmp, 14), 40u);
    QCOMPARE(qint32(U32(bmp, 18)), 120);
    QCOMPARE(qint32(U32(bmp, 22)), 113); // positive: rows from the bottom up
    QCOMPARE(U16(bmp, 28), 24);
    QCOMPARE(U32(bmp, 30), 0u); // uncompressed
    QCOMPARE(RowBytes(120, 24), 360);
}

void TestAssets::ballPicture() {
    const QImage ball = telvo::platform::DecodeBitmap(ReadAsset("ball.bmp"));
    QCOMPARE(ball.size(), QSize(120, 113));
    // The program's reader and Qt's agree on every pixel.
    QCOMPARE(ball, QImage::fromData(ReadAsset("ball.bmp"), "BMP").convertToFormat(QImage::Format_RGB32));
    for (QPoint corner : {QPoint(0, 0), QPoint(119, 0), QPoint(0, 112), QPoint(119, 112)}) {
        QCOMPARE(ball.pixelColor(corner), QColor(35, 31, 28));
    }
    // The ball reaches almost to every edge.
    for (QPoint nearEdge : {QPoint(60, 3), QPoint(60, 109), QPoint(3, 56), QPoint(116, 56)}) {
        QVERIFY2(ball.pixelColor(nearEdge) != QColor(35, 31, 28), qPrintable(QString::number(nearEdge.x())));
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

void TestAssets::iconsDecode() {
    const QList<QImage> pointer = telvo::platform::DecodeIcon(ReadAsset("hand.ico"));
    QCOMPARE(pointer.size(), 1);
    const QImage &hand = pointer.front();
    // White hand, black outline, transparent around it.
    int white = 0, black = 0, clear = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QColor c = hand.pixelColor(x, y);
            clear += c.alpha() == 0;
            white += c.alpha() == 255 && c == Qt::white;
            black += c.alpha() == 255 && c == Qt::black;
        }
    }
    QCOMPARE(white + black + clear, 32 * 32);
    QVERIFY(white > 150 && black > 80 && clear > 300);
    // The fingers point to the lower left: more of the hand lies there than upper right.
    auto handPixels = [&](QRect area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += hand.pixelColor(x, y).alpha() != 0;
        return n;
    };
    QVERIFY(handPixels(QRect(0, 16, 16, 16)) > handPixels(QRect(16, 0, 16, 16)));
    // Qt's own reader honours the mask of a 16-colour icon: the two agree on
    // every pixel, see-through ones included, so a mask read upside down or
    // shifted shows.
    const QImage byQt = QImage::fromData(ReadAsset("hand.ico"), "ICO").convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(hand.convertToFormat(QImage::Format_ARGB32), byQt);

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
