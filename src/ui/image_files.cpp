#include "image_files.h"

namespace telvo::platform {
namespace {

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : bytes_(bytes) {}

    bool Has(qsizetype at, qsizetype length) const {
        return at >= 0 && length >= 0 && at + length <= bytes_.size();
    }
    quint8 U8(qsizetype at) const { return static_cast<quint8>(bytes_[at]); }
    quint16 U16(qsizetype at) const { return static_cast<quint16>(U8(at) | U8(at + 1) << 8); }
    quint32 U32(qsizetype at) const { return U16(at) | quint32(U16(at + 2)) << 16; }

private:
    QByteArrayView bytes_;
};

qsizetype RowBytes(int width, int bits) {
    return (qsizetype(width) * bits + 31) / 32 * 4;
}

enum class Kind { Bitmap, IconImage };

// A device-independent bitmap at `at`: header, palette, pixel rows from the
// bottom up and, in an icon, the mask rows after them.
QImage DecodeImage(const Reader &in, qsizetype at, qsizetype length, Kind kind) {
    constexpr qsizetype kHeader = 40;
    if (!in.Has(at, kHeader) || in.U32(at) != kHeader || in.U32(at + 16) != 0) {
        return {};
    }
    const bool masked = kind == Kind::IconImage;
    const int width = static_cast<qint32>(in.U32(at + 4));
    const int height =
        static_cast<qint32>(in.U32(at + 8)) / (masked ? 2 : 1); // an icon counts its mask rows too
    const int bits = in.U16(at + 14);
    if (width <= 0 || height <= 0 || width > 1024 || height > 1024) {
        return {};
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        return {};
    }
    const quint32 usedColors = in.U32(at + 32);
    const qsizetype colors = bits > 8 ? 0 : (usedColors != 0 ? usedColors : 1u << bits);
    const qsizetype palette = at + kHeader;
    const qsizetype pixels = palette + 4 * colors;
    const qsizetype mask = pixels + RowBytes(width, bits) * height;
    const qsizetype end = masked ? mask + RowBytes(width, 1) * height : mask;
    if (colors > 256 || end > at + length || !in.Has(at, end - at)) {
        return {};
    }

    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const qsizetype row = pixels + RowBytes(width, bits) * (height - 1 - y); // stored bottom up
        const qsizetype maskRow = mask + RowBytes(width, 1) * (height - 1 - y);
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb color;
            if (bits >= 24) {
                const qsizetype p = row + qsizetype(x) * (bits / 8);
                color = qRgba(in.U8(p + 2), in.U8(p + 1), in.U8(p), bits == 32 ? in.U8(p + 3) : 255);
            } else {
                const qsizetype bit = qsizetype(x) * bits;
                const int index = (in.U8(row + bit / 8) >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
                if (index >= colors) {
                    return {};
                }
                const qsizetype p = palette + 4 * index;
                color = qRgb(in.U8(p + 2), in.U8(p + 1), in.U8(p));
            }
            const bool transparent = masked && (in.U8(maskRow + x / 8) & (0x80 >> (x % 8)));
            out[x] = transparent ? 0 : color;
        }
    }
    return image;
}

} // namespace

QList<QImage> DecodeIcon(QByteArrayView file) {
    const Reader in(file);
    if (!in.Has(0, 6) || in.U16(0) != 0 || in.U16(2) != 1) {
        return {};
    }
    const int count = in.U16(4);
    QList<QImage> images;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * qsizetype(i);
        if (!in.Has(entry, 16)) {
            return {};
        }
        QImage image = DecodeImage(in, in.U32(entry + 12), in.U32(entry + 8), Kind::IconImage);
        if (image.isNull()) {
            return {};
        }
        images.append(std::move(image));
    }
    return images;
}

} // namespace telvo::platform

namespace telvo::platform {

QImage DecodeBitmap(QByteArrayView file) {
    constexpr qsizetype kFileHeader = 14;
    const Reader in(file);
    if (!in.Has(0, kFileHeader) || in.U8(0) != 'B' || in.U8(1) != 'M' || in.U32(10) != kFileHeader + 40) {
        return {};
    }
    const QImage image = DecodeImage(in, kFileHeader, file.size() - kFileHeader, Kind::Bitmap);
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

} // namespace telvo::platform
