// Writes the window icon's images as PNG files for the desktop's icon theme:
//
//     telvo-export-icons ICON.ico OUTPUT-FOLDER NAME
//
// gives OUTPUT-FOLDER/16x16/apps/NAME.png and so on, one a size; of two
// images of one size, the one with more colours.

#include "image_files.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: telvo-export-icons ICON.ico OUTPUT-FOLDER NAME\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "telvo-export-icons: cannot read %s\n", argv[1]);
        return 1;
    }
    const QList<QImage> images = telvo::platform::DecodeIcon(file.readAll());
    if (images.isEmpty()) {
        std::fprintf(stderr, "telvo-export-icons: %s holds no icon images\n", argv[1]);
        return 1;
    }
    // Later images of a size come in more colours in this icon; keep the last.
    QMap<int, QImage> bySize;
    for (const QImage &image : images) {
        bySize[image.width()] = image;
    }
    const QDir output(QString::fromLocal8Bit(argv[2]));
    for (auto it = bySize.cbegin(); it != bySize.cend(); ++it) {
        const QString folder = QString("%1x%1/apps").arg(it.key());
        const QString path = output.filePath(folder + "/" + QString::fromLocal8Bit(argv[3]) + ".png");
        if (!output.mkpath(folder) || !it.value().save(path, "PNG")) {
            std::fprintf(stderr, "telvo-export-icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
