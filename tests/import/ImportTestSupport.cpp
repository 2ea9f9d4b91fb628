#include "ImportTestSupport.h"

#include "import/TargetFields.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <gtest/gtest.h>

namespace veltro::testing {

QString testDataFile(const QString& name) {
    const QString dir =
        qEnvironmentVariable("VELTRO_TEST_DATA", QStringLiteral(VELTRO_TEST_DATA_DIR));
    return QDir::cleanPath(dir + u'/' + name);
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
    return path;
}

QByteArray windows1252(const QString& text) {
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
}

import::FieldMapping mappingOf(const QString& category,
                               std::initializer_list<std::pair<const char16_t*, int>> pairs){
    import::FieldMapping mapping(category);
for (const auto& [name, column] : pairs) {
    const auto target = import::targetByName(QString::fromUtf16(name));
    EXPECT_TRUE(target.has_value()) << QString::fromUtf16(name).toStdString();
    mapping.assign(*target, column - 1, QStringLiteral("Spalte %1").arg(column));
}
return mapping;
}  // namespace veltro::testing

}  // namespace veltro::testing
