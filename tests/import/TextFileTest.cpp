#include "ImportTestSupport.h"

#include "import/TextFile.h"
#include "import/TextSource.h"

#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace veltro::import;
using veltro::testing::mappingOf;
using veltro::testing::windows1252;
using veltro::testing::writeFile;

namespace {

// Fields that test the splitting: quoted separators and line breaks, doubled quotes, a
// stray quote, letters beyond ASCII and one beyond the 16-bit range.
const QStringList kFields = {
    QStringLiteral("Müller"),
    QStringLiteral("\"a;b\""),
    QStringLiteral("\"Zeile\neins\""),
    QStringLiteral("\"sagte \"\"ja\"\"\""),
    QStringLiteral("Preis €"),
    QStringLiteral("Gruß 😀"),
    QStringLiteral("x\"y"),
    QStringLiteral(""),
    QStringLiteral("\"\""),
    QStringLiteral("Straße 1"),
};

// More than a megabyte of records, so that records straddle the pieces it is read in.
QString manyRecords(const QString& lineEnd, unsigned seed) {
    std::mt19937 random(seed);
    QString text = QStringLiteral("Name;Ort;Notiz") + lineEnd;
    while (text.size() < 1'300'000) {
        for (int field = 0; field < 4; ++field) {
            text += kFields[static_cast<qsizetype>(random() % kFields.size())];
            text += field < 3 ? QStringLiteral(";") : lineEnd;
        }
        if (random() % 50 == 0) {
            text += lineEnd;  // an empty line
        }
    }
    return text;
}

QByteArray encoded(const QString& text, QStringConverter::Encoding encoding, bool mark) {
    QStringEncoder encoder(
        encoding, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode(text);
}

QList<QStringList> rowsOf(std::vector<PreviewRow> rows) {
    QList<QStringList> texts;
    for (const auto& row : rows) {
        QStringList fields;
        for (std::size_t target = 0; target < kTargetCount; ++target) {
            fields << row.text(target);
        }
        texts << fields;
    }
    return texts;
}

TEST(TextFile, ReadsAPieceAtATimeWhatTheWholeTextReads) {
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const QString crLf = manyRecords(QStringLiteral("\r\n"), 1);
    const QString lf = manyRecords(QStringLiteral("\n"), 2);
    QString ansi = manyRecords(QStringLiteral("\r\n"), 3);
    ansi.replace(QStringLiteral("😀"), QStringLiteral("ÿ"));
    const Case cases[] = {
        {"UTF-8, CR LF", encoded(crLf, QStringConverter::Utf8, false)},
        {"UTF-8 with a mark, LF", encoded(lf, QStringConverter::Utf8, true)},
        {"Windows-1252", windows1252(ansi)},
        {"UTF-16 LE with a mark", encoded(crLf, QStringConverter::Utf16LE, true)},
        {"UTF-16 BE without one", encoded(lf, QStringConverter::Utf16BE, false)},
        {"a stray byte and a cut end", encoded(lf, QStringConverter::Utf8, false) + "\xFC\"x"},
    };
    const auto mapping = mappingOf(QStringLiteral("Kunden"),
                                   {{u"Karte", 1}, {u"Ort", 2}, {u"Notizen", 3}, {u"Firma", 4}});
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const QString path = writeFile(dir, QStringLiteral("liste.csv"), c.bytes);
        const auto whole = TextSource::load(path);
        const auto pieces = TextFile::open(path);
        ASSERT_TRUE(whole && pieces) << c.name;
        EXPECT_EQ(pieces->isText(), whole->isText()) << c.name;
        EXPECT_EQ(pieces->invalidLines(), whole->invalidLines()) << c.name;
        for (const SplitOptions options :
             {SplitOptions{u';', true, false}, SplitOptions{u';', false, true}}) {
            EXPECT_EQ(pieces->columns(options), whole->columns(options).columns) << c.name;
            std::vector<PreviewRow> read;
            TextFileRows rows(*pieces, options, mapping);
            for (PreviewRow row; rows.next(row);) {
                read.push_back(row);
            }
            const auto expected = whole->preview(options, mapping).rows;
            ASSERT_GT(expected.size(), 10'000U) << c.name;
            EXPECT_TRUE(rowsOf(read) == rowsOf(expected))
                << c.name << ": " << read.size() << " rows, not " << expected.size();
        }
    }
}

TEST(TextFile, TellsNoTextAnEmptyFileAndAMissingOne) {
    QTemporaryDir dir;
    const auto binary = TextFile::open(writeFile(dir, QStringLiteral("bild.png"),
                                                 QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)));
    ASSERT_TRUE(binary);
    EXPECT_FALSE(binary->isText());

    const auto empty = TextFile::open(writeFile(dir, QStringLiteral("leer.csv"), {}));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isText());
    EXPECT_TRUE(empty->columns({}).isEmpty());
    PreviewRow row;
    EXPECT_FALSE(
        TextFileRows(*empty, {}, mappingOf(QStringLiteral("K"), {{u"Karte", 1}})).next(row));

    EXPECT_FALSE(TextFile::open(dir.filePath(QStringLiteral("fehlt.csv"))));
}

}  // namespace
