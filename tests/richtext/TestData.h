#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace veltro::richtext::test {

inline QString dataPath(const QString& name) {
    return QStringLiteral(RICHTEXT_TEST_DATA "/") + name;
}

inline QByteArray readData(const QString& name) {
    QFile file(dataPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QString u8(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace veltro::richtext::test
