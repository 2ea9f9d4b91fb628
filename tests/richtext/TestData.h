#pragma once

#include "QtPrinters.h"
#include "TestTools.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>

namespace veltro::richtext::test {

inline QString dataPath(const QString& name) {
    return QStringLiteral(RICHTEXT_TEST_DATA "/") + name;
}

inline QByteArray readData(const QString& name) {
    return testing::fileBytes(dataPath(name));
}

inline QString u8(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// An image of one colour.
inline QImage filled(QSize size, Qt::GlobalColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The image's file in the format ("PNG", "JPEG").
inline QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

}  // namespace veltro::richtext::test
