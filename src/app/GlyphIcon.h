#pragma once

#include <QIcon>
#include <QImageReader>
#include <QPixmap>

namespace tavrin {

// An icon from one of the program's own PNG images. Read as PNG outright: left to guess, Qt
// first loads every image-format plugin to ask whether it knows the data, and given a file name
// for the icon, it looks for icon-engine plugins too; together most of a millisecond at
// start-up.
inline QIcon GlyphIcon(const char* resource) {
    QImageReader reader(QString::fromUtf8(resource), "png");
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImage(reader.read()));
}

}  // namespace tavrin
