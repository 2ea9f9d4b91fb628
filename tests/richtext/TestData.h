#pragma once

#include "QtPrinters.h"
#include "TestTools.h"

#include <QByteArray>
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

}  // namespace veltro::richtext::test
