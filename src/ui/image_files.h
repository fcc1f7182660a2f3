#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QList>

namespace telvo::platform {

// The images of an icon file (uncompressed 1, 4, 8, 24 or 32 bits per pixel,
// each with its 1-bit transparency mask), as ARGB images in the file's
// order. Qt's own reader ignores the mask of 24-bit images, which would give
// the ball icon an opaque black ground. Malformed data gives no images.
QList<QImage> DecodeIcon(QByteArrayView file);

// The image of an uncompressed BMP file with no colour table beyond its
// header's (1 to 32 bits per pixel), or a null image for anything else.
// Reading it here spares the program the search for Qt's image plugins.
QImage DecodeBitmap(QByteArrayView file);

} // namespace telvo::platform
