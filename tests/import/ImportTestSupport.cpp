#include "ImportTestSupport.h"
#include "TestTools.h"

#include "import/PresetMapping.h"
#include "import/TargetFields.h"
#include "import/TextSource.h"

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
    EXPECT_TRUE(writeBytes(path, bytes)) << path.toStdString();
    return path;
}

QByteArray windows1252(const QString& text) {
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
}

namespace {

QByteArray northwindBytes() {
    return veltro::testing::fileBytes(testDataFile(QStringLiteral("nwind.mdb")));
}

constexpr qsizetype kPageSize = 2048;

}  // namespace

QByteArray flippedNorthwind() {
    QByteArray bytes = northwindBytes();
    // Page 85 holds the last two customers; its first row offset sits at byte 10, and 0x40
    // in its high byte is the deleted mark.
    constexpr qsizetype kCustomerPage = 85;
    constexpr qsizetype kFirstOffsetHigh = kCustomerPage * kPageSize + 11;
    bytes[kFirstOffsetHigh] = static_cast<char>(bytes[kFirstOffsetHigh] ^ 0x40);
    return bytes;
}

QByteArray truncatedNorthwind() {
    return northwindBytes().left(800 * kPageSize);
}

// (Written so that no line starts with "import", which clang-format takes for a module import.)
veltro::import::FieldMapping mappingOf(
    const QString& category, std::initializer_list<std::pair<const char16_t*, int>> pairs) {
    auto mapping = import::FieldMapping(category);
    for (const auto& [name, column] : pairs) {
        const auto target = import::targetByName(QString::fromUtf16(name));
        EXPECT_TRUE(target.has_value()) << QString::fromUtf16(name).toStdString();
        mapping.assign(*target, column - 1, QStringLiteral("Spalte %1").arg(column));
    }
    return mapping;
}

std::vector<import::PreviewRow> presetRows(const QString& file, const QString& category) {
    const auto text = import::TextSource::load(file);
    import::SplitOptions split{u',', true, true};
    const auto match =
        text ? import::presetMapping(text->columns(split).columns, category) : std::nullopt;
    EXPECT_TRUE(match.has_value()) << file.toStdString();
    split.useFirstLine = false;
    return match ? text->preview(split, match->mapping).rows : std::vector<import::PreviewRow>{};
}

}  // namespace veltro::testing
