#include "TestTools.h"

#include "import/TextDecoding.h"
#include "vcard/VcardMapping.h"
#include "vcard/VcardReader.h"
#include "vcard/VcardRows.h"
#include "vcard/VcardText.h"
#include "vcard/VcardWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace veltro::vcard {
namespace {

using import::kTargetCount;
using import::kTargets;
using store::Field;
using namespace Qt::Literals::StringLiterals;

QString dataFile(const char* name) {
    return QStringLiteral(VCARD_TEST_DATA "/") + QString::fromLatin1(name);
}

QString fieldOf(const import::PreviewRow& row, Field field) {
    for (std::size_t target = 0; target < kTargetCount; ++target) {
        if (kTargets[target].field == field) {
            return row.text(target);
        }
    }
    return {};
}

struct FileCase {
    const char* file;
    std::size_t cards;
    std::int64_t skipped;
};

TEST(VcardFiles, EveryUsableCardIsReadAndBrokenOnesAreCounted) {
    const FileCase cases[] = {
        {"android-21-qp.vcf", 2, 0},    {"outlook-21-ansi.vcf", 1, 0},
        {"apple-30-grouped.vcf", 1, 0}, {"google-30-bom-lf.vcf", 2, 0},
        {"thunderbird-40.vcf", 1, 0},   {"broken-middle.vcf", 3, 3},
        {"rfc6350-example.vcf", 1, 0},  {"rfc2426-examples.vcf", 2, 0},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_TRUE(isVcardFile(dataFile(c.file)));
        const auto imported = importFile(dataFile(c.file), QStringLiteral("Kunden"));
        ASSERT_TRUE(imported);
        EXPECT_EQ(imported->rows.size(), c.cards);
        EXPECT_EQ(imported->skipped, c.skipped);
        for (const auto& row : imported->rows) {
            EXPECT_EQ(fieldOf(row, Field::Kategorien), u"Kunden");
        }
    }
}

struct CardCase {
    const char* file;
    std::size_t index;
    std::vector<std::pair<Field, QString>> fields;
};

TEST(VcardFiles, FieldsAreMappedAsOtherProgramsMeantThem) {
    const CardCase cases[] = {
        {"android-21-qp.vcf",
         0,
         {{Field::Schlagworte, u"Müller Günther"_s},
          {Field::Vorname, u"Günther"_s},
          {Field::Nachname, u"Müller"_s},
          {Field::Anrede, u""_s},
          {Field::Strasse, u"Hauptstraße 12"_s},
          {Field::Postleitzahl, u"96047"_s},
          {Field::Ort, u"Bamberg"_s},
          {Field::Vorwahl, u"0951"_s},
          {Field::Telefon, u"8765"_s},
          {Field::Fax, u"0951 8766"_s},
          {Field::Mobiltelefon, u"0171 2345678"_s},
          {Field::EMailAdresse, u"guenther@example.de"_s},
          {Field::Notizen,
           u"Erste Zeile\nZweite Zeile mit Ärger und einem sehr langen Text, der umbrochen wird."_s},
          {Field::Anschrift, u"\nGünther Müller\nHauptstraße 12\n\n96047 Bamberg"_s}}},
        {"android-21-qp.vcf",
         1,
         {{Field::Schlagworte, u"Schneider Eva"_s},
          {Field::Anrede, u"Frau"_s},
          {Field::Vorwahl, u"0911"_s},
          {Field::Telefon, u"445566"_s}}},
        {"outlook-21-ansi.vcf",
         0,
         {{Field::Schlagworte, u"Krüger Jürgen"_s},
          {Field::Anrede, u"Herr"_s},
          {Field::Firma, u"Krüger & Söhne GmbH"_s},
          {Field::Abteilung, u"Einkauf"_s},
          {Field::Strasse, u"Straße des 17. Juni 5"_s},
          {Field::Ort, u"Köln"_s},
          {Field::Postleitzahl, u"50667"_s},
          {Field::Vorwahl, u"0911"_s},
          {Field::Telefon, u"111222"_s},
          {Field::Mobiltelefon, u"0160 9876543"_s},
          {Field::Fax, u"0221 123457"_s},
          {Field::EMailAdresse, u"j.krueger@krueger-soehne.example"_s},
          {Field::Webseite, u"http://www.krueger-soehne.example"_s},
          {Field::Notizen, u"Preise in €, Lieferung frei Haus.\r\nNeue Adresse ab März."_s},
          {Field::Anschrift,
           u"Krüger & Söhne GmbH Einkauf\nHerrn \nJürgen Krüger\nStraße des 17. Juni 5\n\n"
           u"50667 Köln"_s}}},
        {"apple-30-grouped.vcf",
         0,
         {{Field::Schlagworte, u"Schmidt Anna Maria"_s},
          {Field::Vorname, u"Anna Maria"_s},
          {Field::Anrede, u""_s},
          {Field::Firma, u"Beispiel GmbH"_s},
          {Field::Abteilung, u"Vertrieb"_s},
          // The preferred address is the card's own, the other a further one.
          {Field::Strasse, u"Lindenweg 4"_s},
          {Field::Postleitzahl, u"10115"_s},
          {Field::Vorwahl, u"030"_s},
          {Field::Telefon, u"1234567"_s},
          {Field::Mobiltelefon, u"+49 171 1234567"_s},
          {Field::EMailAdresse, u"anna.schmidt@example.com"_s},
          {Field::Webseite, u"http://www.beispiel.example/anna"_s},
          {Field::Notizen,
           u"Kundin seit 2019, bevorzugt Termine am Vormittag.\nRückruf unter der "
           u"Mobilnummer; nicht vor 9 Uhr."_s}}},
        {"google-30-bom-lf.vcf",
         0,
         {{Field::Schlagworte, u"Weber Peter"_s},
          {Field::Firma, u"Weber Bau"_s},
          {Field::Strasse, u"Domstraße 9"_s},
          {Field::Ort, u"Würzburg"_s},
          {Field::Vorwahl, u"0931"_s},
          {Field::Telefon, u"55 66 77"_s},
          {Field::Fax, u"0931 55 66 78"_s}}},
        {"google-30-bom-lf.vcf",
         1,
         {{Field::Schlagworte, u"Stadtwerke Fürth"_s},
          {Field::Firma, u"Stadtwerke Fürth"_s},
          {Field::Vorwahl, u"0911"_s},
          {Field::Telefon, u"9704-0"_s}}},
        {"thunderbird-40.vcf",
         0,
         {{Field::Schlagworte, u"Becker Sophie"_s},
          {Field::EMailAdresse, u"sophie.becker@example.net"_s},
          {Field::Vorwahl, u"09561"_s},
          {Field::Telefon, u"12345"_s},
          {Field::Mobiltelefon, u"0152 33344455"_s},
          {Field::Strasse, u"Ketschengasse 7"_s},
          {Field::Webseite, u"https://sophie.example.net"_s},
          {Field::Notizen, u"Chor montags, 19 Uhr"_s}}},
        {"broken-middle.vcf", 1, {{Field::Schlagworte, u"Zwei Berta"_s}}},
        {"broken-middle.vcf", 2, {{Field::Schlagworte, u"Drei Cäsar"_s}}},
        {"rfc6350-example.vcf",
         0,
         {{Field::Schlagworte, u"Perreault Simon"_s},
          {Field::Firma, u"Viagenie"_s},
          {Field::Strasse, u"2875 Laurier"_s},
          {Field::Ort, u"Quebec"_s},
          {Field::Postleitzahl, u"G1V 2M2"_s},
          {Field::Vorwahl, u""_s},
          {Field::Telefon, u"+1-418-656-9254;ext=102"_s},
          {Field::Mobiltelefon, u"+1-418-262-6501"_s},
          {Field::EMailAdresse, u"simon.perreault@viagenie.ca"_s},
          {Field::Webseite, u"http://nomis80.org"_s}}},
        {"rfc2426-examples.vcf",
         0,
         {{Field::Schlagworte, u"Frank Dawson"_s},
          {Field::Firma, u"Lotus Development Corporation"_s},
          {Field::Strasse, u"6544 Battleford Drive"_s},
          {Field::Ort, u"Raleigh"_s},
          {Field::Postleitzahl, u"27613-3502"_s},
          {Field::Telefon, u"+1-919-676-9515"_s},
          {Field::Fax, u"+1-919-676-9564"_s},
          {Field::EMailAdresse, u"Frank_Dawson@Lotus.com"_s},
          {Field::Webseite, u"http://home.earthlink.net/~fdawson"_s}}},
        {"rfc2426-examples.vcf",
         1,
         {{Field::Schlagworte, u"Tim Howes"_s},
          {Field::Ort, u"Mountain View"_s},
          {Field::Postleitzahl, u"94043"_s}}},
    };
    for (const CardCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.file << " #" << c.index);
        const auto imported = importFile(dataFile(c.file), QStringLiteral("Kunden"));
        ASSERT_TRUE(imported);
        ASSERT_LT(c.index, imported->rows.size());
        for (const auto& [field, value] : c.fields) {
            EXPECT_EQ(fieldOf(imported->rows[c.index], field), value)
                << store::columnName(field).toStdString();
        }
    }
}

struct HostileCase {
    const char* name;
    QByteArray bytes;
    std::size_t cards;
    std::int64_t skipped;
};

TEST(VcardReader, HostileInputNeverTakesTheFileDown) {
    const QByteArray longFold = QByteArray("BEGIN:VCARD\r\nNOTE:x") +
                                QByteArray(" y\r\n").repeated(20000) + "END:VCARD\r\n";
    const HostileCase cases[] = {
        {"empty", "", 0, 0},
        {"begin only", "BEGIN:VCARD", 0, 1},
        {"end only", "END:VCARD\r\n", 0, 0},
        {"soft break at the end", "BEGIN:VCARD\r\nN;QUOTED-PRINTABLE:A=", 0, 1},
        {"quote never closed", "BEGIN:VCARD\r\nTEL;TYPE=\"work:1\r\nEND:VCARD\r\n", 0, 1},
        {"no name before colon", "BEGIN:VCARD\r\n:x\r\nEND:VCARD\r\n", 0, 1},
        {"nul bytes", QByteArray("BEGIN:VCARD\r\nN:a\0b;c\r\nEND:VCARD\r\n", 32), 1, 0},
        {"long fold", longFold, 1, 0},
        {"lone CR line ends", "BEGIN:VCARD\rN:A;B\rEND:VCARD\r", 1, 0},
        {"junk between cards", "hello\r\nBEGIN:VCARD\r\nN:A\r\nEND:VCARD\r\n;;;\r\n", 1, 0},
        {"nested begin", "BEGIN:VCARD\r\nBEGIN:VCARD\r\nN:A\r\nEND:VCARD\r\nEND:VCARD\r\n", 1, 1},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult read = readVcards(c.bytes);
        EXPECT_EQ(read.cards.size(), c.cards);
        EXPECT_EQ(read.skipped, c.skipped);
    }
}

QString lineBreaksAsLf(QString text) {
    return text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
}

// What the fuzzer checks, on the inputs it found wanting: a card read from any file and
// written again reads back with the same fields.
TEST(VcardReader, RewritingAMappedCardGivesItBack) {
    std::vector<QByteArray> inputs = {
        "BEGIN:VCARD\r\nN:A;B\r\nX-VELTRO-VORWAHL:0911 \r\nX-VELTRO-NR: 7\r\nEND:VCARD\r\n"};
    for (const char* name : {"fuzz/own-area-code-with-cr.vcf", "fuzz/rtf-looking-note.vcf"}) {
        inputs.push_back(testing::fileBytes(dataFile(name)));
        ASSERT_FALSE(inputs.back().isEmpty()) << name;
    }
    for (const QByteArray& input : inputs) {
        for (const Vcard& vcard : readVcards(input).cards) {
            const auto card = toCard(vcard, u"K"_s);
            if (!card) {
                continue;
            }
            const ReadResult again = readVcards(cardToVcard(*card, u"uid"_s));
            ASSERT_EQ(again.cards.size(), 1U);
            const auto back = toCard(again.cards.front(), u"K"_s);
            ASSERT_TRUE(back);
            for (std::size_t field = 0; field < store::kFieldCount; ++field) {
                const auto f = static_cast<Field>(field);
                EXPECT_EQ(lineBreaksAsLf(back->text(f)), lineBreaksAsLf(card->text(f)))
                    << store::columnName(f).toStdString();
            }
        }
    }
}

TEST(VcardReader, Utf16WithByteOrderMarkIsRead) {
    const QString text = u"BEGIN:VCARD\r\nVERSION:3.0\r\nN:Öztürk;Ayşe;;;\r\nEND:VCARD\r\n"_s;
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray bytes = utf16.encode(text);
    EXPECT_TRUE(looksLikeVcard(bytes));
    const auto imported = importRows(readVcards(bytes), QStringLiteral("Kunden"));
    ASSERT_EQ(imported.rows.size(), 1U);
    EXPECT_EQ(fieldOf(imported.rows[0], Field::Schlagworte), u"Öztürk Ayşe");
}

TEST(VcardReader, ContentDecidesWhatIsAVcard) {
    const std::pair<QByteArray, bool> cases[] = {
        {"BEGIN:VCARD\r\n", true},
        {"\xEF\xBB\xBF\r\n\r\n  begin:vcard\n", true},
        {"Karte;Vorname\r\nBEGIN:VCARD\r\n", false},
        {"BEGIN:VCALENDAR\r\n", false},
        {"", false},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(looksLikeVcard(bytes), expected) << bytes.toStdString();
    }
}

TEST(VcardText, EscapesAndComponents) {
    EXPECT_EQ(unescapeText(u"a\\,b\\;c\\\\d\\ne\\Nf\\:g\\x"), u"a,b;c\\d\ne\nf:g\\x");
    EXPECT_EQ(escapeText(u"a,b;c\\d\r\ne\nf"_s), u"a\\,b\\;c\\\\d\\ne\\nf");
    EXPECT_EQ(splitComponents(u"Müller\\;Meier;Hans;;Herr;"),
              QStringList({u"Müller;Meier"_s, u"Hans"_s, {}, u"Herr"_s, {}}));
    EXPECT_EQ(splitComponents(u"a\\"), QStringList({u"a\\"_s}));
    EXPECT_EQ(decodeQuotedPrintable("G=C3=BCnther=3D=ZZ="), QByteArray("G\xC3\xBCnther==ZZ="));
}

TEST(VcardText, UndeclaredValuesDecodeAsAWholeFileWould) {
    const QByteArray cases[] = {
        "Hans M\xC3\xBCller",           // UTF-8
        "Hans\tM\xC3\xBCller",          // with a tab
        "M\xFCller",                    // Windows-1252
        "M\xC3\xBCller und M\xFCller",  // mostly UTF-8, one stray byte
        "Stra\xC3\x9F"
        "e 1",
        "\xEF\xBB\xBFMarke",  // a byte-order mark
        "a\x01\x02\x03",      // control characters
        "a\x7F",
        "\xC2\x85 \xC2\x90",  // C1 controls in UTF-8
        "\xF0\x9F\x98\x80",   // outside the basic plane
        "",
        // Longer values, read eight bytes at a time as far as they are printable ASCII.
        "Hauptstrasse 12, 50667 Koeln am Rhein",
        "Hauptstrasse 12, 50667 K\xC3\xB6ln am Rhein",
        "Hauptstrasse 12\t50667 Koeln am Rhein",
        "Hauptstrasse 12, 50667\x7F Koeln",
        "Hauptstrasse 12, 50667\x1F Koeln",
        "Hauptstrasse 12, 50667 K\xF6ln am Rhein",
    };
    for (const QByteArray& bytes : cases) {
        EXPECT_EQ(decodeCharset(bytes, {}), import::decodeText(bytes).text)
            << bytes.toHex().toStdString();
        EXPECT_EQ(decodeCharset(bytes, "utf-8"), import::decodeText(bytes).text);
    }
}

TEST(VcardMapping, AreaCodeIsSplitOnlyWhenSeparated) {
    const std::pair<const char16_t*, PhoneParts> cases[] = {
        {u"0221 123456", {u"0221"_s, u"123456"_s}},
        {u"0221/123456", {u"0221"_s, u"123456"_s}},
        {u"0221 / 12 34 56", {u"0221"_s, u"12 34 56"_s}},
        {u"(0221) 123456", {u"0221"_s, u"123456"_s}},
        {u"(089)1234", {u"089"_s, u"1234"_s}},
        {u"0221-123456", {{}, u"0221-123456"_s}},
        {u"0221123456", {{}, u"0221123456"_s}},
        {u"+49 221 123456", {{}, u"+49 221 123456"_s}},
        {u"0049 221 123456", {{}, u"0049 221 123456"_s}},
        {u"0221", {{}, u"0221"_s}},
    };
    for (const auto& [phone, expected] : cases) {
        const PhoneParts parts = splitAreaCode(QString::fromUtf16(phone));
        EXPECT_EQ(parts.areaCode, expected.areaCode) << QString::fromUtf16(phone).toStdString();
        EXPECT_EQ(parts.number, expected.number) << QString::fromUtf16(phone).toStdString();
    }
}

}  // namespace
}  // namespace veltro::vcard

namespace veltro::vcard {
namespace {

std::vector<QStringList> allRows(VcardRows& rows) {
    std::vector<QStringList> texts;
    for (import::PreviewRow row; rows.next(row);) {
        QStringList fields;
        for (std::size_t target = 0; target < kTargetCount; ++target) {
            fields << row.text(target);
        }
        texts.push_back(fields);
    }
    return texts;
}

std::vector<QStringList> allRows(const VcardImport& imported) {
    std::vector<QStringList> texts;
    for (const auto& row : imported.rows) {
        QStringList fields;
        for (std::size_t target = 0; target < kTargetCount; ++target) {
            fields << row.text(target);
        }
        texts.push_back(fields);
    }
    return texts;
}

// Rows taken while the file is read are those of reading it whole, in the same order, with
// the same count of skipped cards; also for a file of many chunks that the taker lags behind.
TEST(VcardRowsWhileReading, AreTheRowsOfTheWholeFile) {
    QTemporaryDir dir;
    const QString many = dir.filePath(QStringLiteral("viele.vcf"));
    {
        QFile file(many);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 9000; ++i) {
            file.write(i % 1000 == 7 ? "BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD\r\n"
                                     : QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Müller;Eva "
                                                      "%1;;;\r\nFN:Eva Müller\r\nEND:VCARD\r\n")
                                           .arg(i)
                                           .toUtf8());
        }
    }
    for (const QString& path :
         {dataFile("broken-middle.vcf"), dataFile("android-21-qp.vcf"), many}) {
        SCOPED_TRACE(path.toStdString());
        const auto whole = importFile(path, QStringLiteral("Kunden"));
        ASSERT_TRUE(whole);
        VcardRows rows(path, QStringLiteral("Kunden"));
        EXPECT_TRUE(allRows(rows) == allRows(*whole));
        EXPECT_EQ(rows.skipped(), whole->skipped);
    }

    // A taker that leaves after one row does not wait for the rest of the file.
    {
        VcardRows rows(many, QStringLiteral("Kunden"));
        import::PreviewRow row;
        ASSERT_TRUE(rows.next(row));
    }
    VcardRows missing(dir.filePath(QStringLiteral("fehlt.vcf")), QStringLiteral("Kunden"));
    import::PreviewRow row;
    EXPECT_THROW(missing.next(row), VcardUnreadable);
}

}  // namespace
}  // namespace veltro::vcard
