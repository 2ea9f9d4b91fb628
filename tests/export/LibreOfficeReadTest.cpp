#include "ExportFixture.h"
#include "TestHome.h"
#include "export/ExportFile.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// LibreOffice Calc as an independent reader: it imports our CSV and writes it back in its
// own form (UTF-8, comma, text cells quoted); its cells must be those of the expected file.
namespace veltro::exporting {
namespace {

using namespace Qt::Literals::StringLiterals;

using Table = std::vector<QStringList>;

Table parseCsv(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Table rows(1);
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"' && quoted && text.mid(i + 1, 1) == u"\"") {
            cell += c;
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && (c == u',' || c == u'\n')) {
            rows.back() << std::exchange(cell, {});
            if (c == u'\n') {
                rows.emplace_back();
            }
        } else {
            cell += c;
        }
    }
    rows.pop_back();  // after the last line end
    return rows;
}

TEST(LibreOfficeReadTest, CalcReadsEveryCellOfOurCsv) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    ASSERT_FALSE(soffice.isEmpty())
        << "LibreOffice (soffice) fehlt; scripts/install-deps installiert libreoffice-calc-nogui";
    testing::TestHome home;
    testing::makeExportStore(home.dir());
    QTemporaryDir work;
    QStringDecoder windows1252("windows-1252");
    const Table expected =
        parseCsv(windows1252(testing::expectedFile(QStringLiteral("comma_plain.csv"))));
    ASSERT_EQ(expected.size(), 3U);
    // Every column as text (format 2), so the postcode "09123" keeps its zero.
    QStringList textColumns;
    for (int column = 1; column <= 19; ++column) {
        textColumns << QString::number(column) << QStringLiteral("2");
    }

    const struct {
        QString separator;
        TextEncoding encoding;
        const char* separatorCode;
        const char* charsetCode;  // 1 = Windows-1252, 76 = UTF-8
    } cases[] = {
        {QStringLiteral(","), TextEncoding::Windows1252, "44", "1"},
        {QStringLiteral(";"), TextEncoding::Windows1252, "59", "1"},
        {kTabSeparator, TextEncoding::Utf8WithBom, "9", "76"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.separatorCode);
        const QString name = QStringLiteral("karten-%1.csv").arg(QLatin1String(c.separatorCode));
        ExportOptions options;
        options.separator = c.separator;
        options.encoding = c.encoding;
        ASSERT_EQ(exportToFile(home.storeFile(), work.filePath(name), options).status,
                  ExportStatus::Written);
        QProcess calc;
        calc.setProcessChannelMode(QProcess::MergedChannels);
        calc.start(
            soffice,
            {u"-env:UserInstallation=file://"_s + work.filePath(u"profile"_s), u"--headless"_s,
             u"--infilter=Text - txt - csv (StarCalc):%1,34,%2,1,%3,1031,true"_s.arg(
                 QLatin1String(c.separatorCode), QLatin1String(c.charsetCode),
                 textColumns.join(u'/')),
             u"--convert-to"_s, u"csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true"_s,
             u"--outdir"_s, work.filePath(u"out"_s), work.filePath(name)});
        ASSERT_TRUE(calc.waitForFinished(180000));
        const QByteArray converted = testing::fileBytes(work.filePath(u"out/"_s + name));
        ASSERT_FALSE(converted.isEmpty()) << calc.readAll().toStdString();
        EXPECT_EQ(parseCsv(QString::fromUtf8(converted)), expected);
    }
}

}  // namespace
}  // namespace veltro::exporting
