#include "ImportTestSupport.h"

#include "import/TextSource.h"

#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace veltro::import;
using veltro::testing::mappingOf;
using veltro::testing::testDataFile;
using veltro::testing::windows1252;
using veltro::testing::writeFile;

namespace {

struct EncodingCase {
    const char* name;
    QByteArray bytes;
    TextEncoding encoding;
    const char16_t* text;
    std::int64_t invalidLines = 0;
};

QByteArray bytes(const char* data, qsizetype size) {
    return QByteArray(data, size);
}

TEST(TextDecoding, DecidesTheEncodingByWhatTheBytesShow) {
    const EncodingCase cases[] = {
        {"UTF-8 umlauts", QByteArray("M\xC3\xBCller;K\xC3\xB6ln"), TextEncoding::Utf8,
         u"Müller;Köln"},
        {"byte-order mark", QByteArray("\xEF\xBB\xBFPeter"), TextEncoding::Utf8, u"Peter"},
        {"Windows-1252 umlauts", QByteArray("M\xFCller;K\xF6ln \x80"), TextEncoding::Windows1252,
         u"Müller;Köln €"},
        {"plain ASCII", QByteArray("Peter;Hof"), TextEncoding::Windows1252, u"Peter;Hof"},
        {"UTF-8 with one stray ANSI byte", QByteArray("M\xC3\xBCller \xE4"), TextEncoding::Utf8,
         u"Müller \uFFFD", 1},
        {"stray bytes counted per line",
         QByteArray("\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xA4\xC3\xB6\xC3\xBC\r\nx\xE4\xE4\ry\nz\xFC"),
         TextEncoding::Utf8, u"äöüäöü\r\nx\uFFFD\uFFFD\ry\nz\uFFFD", 2},
        {"a second mark is text", QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx"), TextEncoding::Utf8,
         u"\uFEFFx"},
        {"a stray byte in a mark-led file", QByteArray("\xEF\xBB\xBF\xFC"), TextEncoding::Utf8,
         u"\uFFFD", 1},
        {"more stray bytes than UTF-8", QByteArray("\xC3\xBC \xE4\xF6"), TextEncoding::Windows1252,
         u"Ã¼ äö"},
        {"four-byte UTF-8", QByteArray("Gru\xC3\x9F \xF0\x9F\x98\x80"), TextEncoding::Utf8,
         u"Gruß 😀"},
        {"overlong form is no UTF-8", QByteArray("a\xC0\xAF"), TextEncoding::Windows1252, u"aÀ¯"},
        {"surrogate is no UTF-8", QByteArray("\xED\xA0\x80"), TextEncoding::Windows1252,
         u"í\u00A0€"},
        {"cut sequence at the end", QByteArray("M\xC3"), TextEncoding::Windows1252, u"MÃ"},
        {"UTF-16 LE with mark", bytes("\xFF\xFEM\0\xFC\0;\0\xAC\x20", 10), TextEncoding::Utf16LE,
         u"Mü;€"},
        {"UTF-16 BE with mark", bytes("\xFE\xFF\0M\0\xFC\0;\x20\xAC", 10), TextEncoding::Utf16BE,
         u"Mü;€"},
        {"UTF-16 LE by its NULs", bytes("H\0o\0f\0\r\0\n\0", 10), TextEncoding::Utf16LE,
         u"Hof\r\n"},
        {"UTF-16 BE by its NULs", bytes("\0H\0o\0f", 6), TextEncoding::Utf16BE, u"Hof"},
        {"UTF-16 cut in a character", bytes("\xFF\xFEH\0o", 5), TextEncoding::Utf16LE, u"H\uFFFD",
         1},
    };
    for (const auto& c : cases) {
        const auto decoded = decodeText(c.bytes);
        EXPECT_FALSE(decoded.binary) << c.name;
        EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
        EXPECT_EQ(decoded.text, QStringView(c.text).toString()) << c.name;
        EXPECT_EQ(decoded.invalidLines, c.invalidLines) << c.name;
    }
}

TEST(TextDecoding, RefusesWhatIsNoText) {
    QByteArray random(64 * 1024, Qt::Uninitialized);
    std::mt19937 rng(17);
    for (char& byte : random) {
        byte = static_cast<char>(rng());
    }
    QByteArray noNul = random;
    noNul.replace('\0', '\x01');
    const std::pair<const char*, QByteArray> cases[] = {
        {"random bytes", random},
        {"random bytes without a NUL", noNul.left(400)},
        {"one NUL in text", bytes("Name;Ort\r\nAnna;H\0f\r\n", 20)},
        {"NULs on both sides", bytes("\0\0\0\0ab", 6)},
        {"a NUL in UTF-16", bytes("\xFF\xFE"
                                  "A\0\0\0",
                                  6)},
        {"control characters", QByteArray("\x01\x02\x03 Kopf \x1B\x1B\x1B")},
    };
    for (const auto& [name, data] : cases) {
        const auto decoded = decodeText(data);
        EXPECT_TRUE(decoded.binary) << name;
        EXPECT_TRUE(decoded.text.isEmpty()) << name;
    }
    const auto withBreaks = decodeText("a\tb\fc\vd\r\n\x1A");
    EXPECT_FALSE(withBreaks.binary) << "tabs, page breaks and the end mark are text";
}

TEST(TextSourceColumns, ListsTheSampleRecordAndCountsEveryRecord) {
    const auto source = TextSource::fromBytes("Name;Ort\r\nAnna;Hof\r\nBen;;\r\n");
    const auto withHeader = source.columns({u';', false, true});
    EXPECT_EQ(withHeader.columns, QStringList({"Name", "Ort"}));
    EXPECT_EQ(withHeader.records, 3);
    const auto skipped = source.columns({u';', false, false});
    EXPECT_EQ(skipped.columns, QStringList({"Anna", "Hof"}));
    EXPECT_EQ(skipped.records, 3);
    const auto tooShort = TextSource::fromBytes("Name;Ort\r\n").columns({u';', false, false});
    EXPECT_TRUE(tooShort.columns.isEmpty());
    EXPECT_EQ(tooShort.records, 1);
    EXPECT_TRUE(TextSource::fromBytes("").columns({u';', false, true}).columns.isEmpty());
}

TEST(TextSourcePreview, BuildsOneRowPerRecordInTargetOrder) {
    const auto source = TextSource::fromBytes("Name;Vorname;Ort\r\nMeier;Anna;Hof\r\nBen\r\n");
    const auto mapping = mappingOf("Kunden", {{u"Karte", 1}, {u"Vorname", 2}, {u"Ort", 3}});
    const auto used = source.preview({u';', false, true}, mapping);
    ASSERT_EQ(used.rows.size(), 3U);
    EXPECT_TRUE(used.complete);
    EXPECT_EQ(used.rows[0].text(kHeadingTarget), "Name");  // the header line is a card, too

    const auto table = source.preview({u';', false, false}, mapping);
    ASSERT_EQ(table.rows.size(), 2U);
    const PreviewRow& meier = table.rows[0];
    EXPECT_EQ(meier.text(kCategoryTarget), "Kunden");
    EXPECT_EQ(meier.text(kHeadingTarget), "Meier");
    EXPECT_EQ(meier.text(*targetByName(u"Vorname")), "Anna");
    EXPECT_EQ(meier.text(*targetByName(u"Ort")), "Hof");
    EXPECT_EQ(meier.text(*targetByName(u"Telefon")), " ");      // not mapped
    EXPECT_EQ(table.rows[1].text(*targetByName(u"Ort")), "-");  // the line lacks the column
}

TEST(TextSourcePreview, StopsWhenThePulseSaysSoAndKeepsWhatItRead) {
    QByteArray bytes;
    for (int i = 0; i < 2000; ++i) {
        bytes += "Karte " + QByteArray::number(i) + "\r\n";
    }
    int pulses = 0;
    const auto table =
        TextSource::fromBytes(bytes).preview({u';', false, true}, mappingOf("K", {{u"Karte", 1}}),
                                             [&](std::int64_t) { return ++pulses < 2; });
    EXPECT_FALSE(table.complete);
    EXPECT_EQ(table.rows.size(), 1024U);
}

TEST(TextSourceFiles, ReadsTheSampleFilesOfOtherPrograms) {
    const SplitOptions tab{u'\t', false, true};
    const QStringList tabbed = {"Bäckerei Müller", "Jürgen", "-"};
    const struct {
        const char* file;
        SplitOptions options;
        QStringList fields;  // Karte, Vorname, Ort of the second record
    } cases[] = {
        {"kunden-ansi.csv", {u';', true, true}, {"Bäckerei Müller; Söhne", "-", "Würzburg"}},
        {"kunden-mac.txt", {u';', false, true}, {"Gärtnerei Grün", "Eva", "Fürth"}},
        {"kunden-utf8.txt", tab, tabbed},
        {"kunden-utf16le.txt", tab, tabbed},
        {"kunden-utf16be.txt", tab, tabbed},
        {"kunden-utf16le-ohne-bom.txt", tab, tabbed},
        {"kunden-utf16be-ohne-bom.txt", tab, tabbed},
        {"kunden-utf8-ein-fehler.txt", tab, tabbed},
    };
    for (const auto& c : cases) {
        const auto source = TextSource::load(testDataFile(c.file));
        ASSERT_TRUE(source.has_value()) << c.file;
        EXPECT_TRUE(source->isText()) << c.file;
        EXPECT_EQ(source->invalidLines(), QByteArray(c.file).contains("fehler") ? 1 : 0) << c.file;
        const auto listing = source->columns(c.options);
        EXPECT_EQ(listing.columns, QStringList({"Firma", "Vorname", "Ort", "Telefon"})) << c.file;
        EXPECT_EQ(listing.records, 4) << c.file;
        const auto table = source->preview(
            {c.options.separator, c.options.quoted, false},
            mappingOf("Kunden", {{u"Karte", 1}, {u"Vorname", 2}, {u"Ort", 3}, {u"Telefon", 4}}));
        ASSERT_EQ(table.rows.size(), 3U) << c.file;
        const PreviewRow& row = table.rows[1];
        EXPECT_EQ(QStringList({row.text(kHeadingTarget), row.text(*targetByName(u"Vorname")),
                               row.text(*targetByName(u"Ort"))}),
                  c.fields)
            << c.file;
        EXPECT_EQ(table.rows[2].text(*targetByName(u"Telefon")), "-") << c.file << ": ends in ';'";
    }
}

TEST(TextSourceFiles, AMissingOrUnreadableFileIsNoSource) {
    const QTemporaryDir dir;
    EXPECT_FALSE(TextSource::load(dir.filePath("fehlt.csv")).has_value());
    EXPECT_FALSE(TextSource::load(dir.path()).has_value());
    const QString path = writeFile(dir, "a.csv", windows1252("Grüße"));
    const auto source = TextSource::load(path);
    ASSERT_TRUE(source.has_value());
    EXPECT_FALSE(source->changedOnDisk());
    writeFile(dir, "a.csv", "anders und länger");
    EXPECT_TRUE(source->changedOnDisk());
}

}  // namespace

namespace {

// Every byte reads as the system's own Windows-1252 decoder reads it, where there is one.
TEST(TextDecoding, Windows1252ReadsEveryByteAsTheSystemDoes) {
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte) {
        all.append(static_cast<char>(byte));
    }
    const QString ours = fromWindows1252(all);
    ASSERT_EQ(ours.size(), 256);
    EXPECT_EQ(ours[0x80], QChar(0x20AC));
    EXPECT_EQ(ours[0x9F], QChar(0x0178));
    EXPECT_EQ(ours[0xFC], QChar(u'ü'));
    QStringDecoder system("windows-1252");
    if (system.isValid()) {
        EXPECT_EQ(ours, system.decode(all));
    }
}

}  // namespace
