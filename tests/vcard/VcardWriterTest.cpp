#include "VcardFixture.h"

#include "import/ImportRun.h"
#include "store/CardStore.h"
#include "store/Sqlite.h"
#include "vcard/VcardExport.h"
#include "vcard/VcardMapping.h"
#include "vcard/VcardReader.h"
#include "vcard/VcardWriter.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace veltro::vcard {
namespace {

using namespace Qt::Literals::StringLiterals;
using store::Field;
using testing::TestHome;

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString normalised(QString text) {
    return text.replace(u"\r\n"_s, u"\n"_s);
}

// Exports the exchange store and imports the file into a fresh store.
std::vector<store::Card> roundTrip(Version version) {
    TestHome source;
    testing::makeExchangeStore(source.dir());
    QTemporaryDir work;
    const QString file = work.filePath(u"karten.vcf"_s);
    const auto result = exportToFile(source.storeFile(), file, {version, {}});
    EXPECT_EQ(result.status, exporting::ExportStatus::Written);
    EXPECT_EQ(result.summary.cards, 4);

    TestHome target;
    testing::makeStore(target.dir(), {u"Import"_s}, {});
    auto imported = importFile(file, u"Import"_s);
    EXPECT_TRUE(imported);
    EXPECT_EQ(imported->skipped, 0);
    import::runImport(target.storeFile(), imported->rows);
    return testing::plainCards(target.storeFile());
}

TEST(VcardRoundTrip, ExportThenImportGivesBackEveryField) {
    TestHome home;
    testing::makeExchangeStore(home.dir());
    const auto original = testing::plainCards(home.storeFile());
    for (const Version version : {Version::V3, Version::V4}) {
        SCOPED_TRACE(version == Version::V3 ? "3.0" : "4.0");
        const auto back = roundTrip(version);
        ASSERT_EQ(back.size(), original.size());
        for (std::size_t i = 0; i < back.size(); ++i) {
            for (std::size_t field = 0; field < store::kFieldCount; ++field) {
                const auto f = static_cast<Field>(field);
                if (f == Field::Kategorien) {
                    continue;
                }
                EXPECT_EQ(normalised(back[i].text(f)), normalised(original[i].text(f)))
                    << original[i].text(Field::Schlagworte).toStdString() << ": "
                    << store::columnName(f).toStdString();
            }
        }
    }
}

TEST(VcardWriter, LinesAreFoldedAt75OctetsWithoutCuttingACharacter) {
    qsizetype folded = 0;
    for (const auto& spec : testing::exchangeCards()) {
        store::Card card;
        card.set(Field::Schlagworte, spec.heading);
        for (const auto& [field, value] : spec.fields) {
            card.set(field, value);
        }
        const QByteArray vcard = cardToVcard(card, u"x"_s);
        ASSERT_TRUE(vcard.endsWith("END:VCARD\r\n"));
        const QList<QByteArray> lines = vcard.chopped(1).split('\n');
        folded += std::count_if(lines.begin(), lines.end(),
                                [](const QByteArray& line) { return line.startsWith(' '); });
        for (const QByteArray& line : lines) {
            ASSERT_TRUE(line.endsWith('\r')) << "line without CR LF: " << line.toStdString();
            EXPECT_LE(line.size() - 1, 75) << line.toStdString();
            QStringDecoder utf8(QStringConverter::Utf8);
            (void)QString(utf8.decode(line));
            EXPECT_FALSE(utf8.hasError()) << "cut character: " << line.toStdString();
        }
    }
    EXPECT_GT(folded, 4);
}

struct OwnPropertyCase {
    const char* name;
    std::vector<std::pair<Field, QString>> fields;
    QStringList present;
    QStringList absent;
};

TEST(VcardWriter, OwnPropertiesOnlyWhereTheStandardOnesFallShort) {
    const std::vector<std::pair<Field, QString>> plain = {
        {Field::Schlagworte, u"Müller Hans"_s},
        {Field::Anrede, u"Herr"_s},
        {Field::Vorname, u"Hans"_s},
        {Field::Nachname, u"Müller"_s},
        {Field::Vorwahl, u"0951"_s},
        {Field::Telefon, u"123"_s},
        {Field::Anschrift, u"Herrn \nHans Müller\n\n"_s}};
    const auto with = [&](std::vector<std::pair<Field, QString>> changes) {
        auto fields = plain;
        fields.insert(fields.end(), changes.begin(), changes.end());
        return fields;
    };
    const OwnPropertyCase cases[] = {
        {"plain card", plain, {}, {u"X-VELTRO"_s}},
        {"own heading",
         with({{Field::Schlagworte, u"Müller Hans (Bäcker)"_s}}),
         {u"X-VELTRO-KARTE:Müller Hans (Bäcker)"_s},
         {u"X-VELTRO-ANREDE"_s}},
        {"card number", with({{Field::Nr, u"42"_s}}), {u"X-VELTRO-NR:42"_s}, {u"X-VELTRO-KARTE"_s}},
        {"other salutation",
         with({{Field::Anrede, u"Dr."_s}, {Field::Anschrift, u"Dr. \nHans Müller\n\n"_s}}),
         {u"N:Müller;Hans;;Dr.;"_s, u"X-VELTRO-ANREDE:Dr."_s},
         {u"X-VELTRO-ANSCHRIFT"_s}},
        {"foreign area code",
         with({{Field::Vorwahl, u"+49 951"_s}}),
         {u"X-VELTRO-VORWAHL:+49 951"_s, u"X-VELTRO-TELEFON:123"_s},
         {}},
        {"own address block",
         with({{Field::Anschrift, u"Hans\nBamberg"_s}}),
         {u"X-VELTRO-ANSCHRIFT:Hans\\nBamberg"_s},
         {}},
    };
    for (const OwnPropertyCase& c : cases) {
        SCOPED_TRACE(c.name);
        store::Card card;
        for (const auto& [field, value] : c.fields) {
            card.set(field, value);
        }
        const QString text = QString::fromUtf8(cardToVcard(card, u"id"_s));
        for (const QString& line : c.present) {
            EXPECT_TRUE(text.contains(line + u"\r\n"_s)) << line.toStdString() << "\n"
                                                         << text.toStdString();
        }
        for (const QString& part : c.absent) {
            EXPECT_FALSE(text.contains(part)) << part.toStdString() << "\n" << text.toStdString();
        }
    }
}

TEST(VcardExport, UidsStayTheSameAndComeFromTheStoreWhereItHasThem) {
    TestHome home;
    testing::makeExchangeStore(home.dir());
    QTemporaryDir work;
    const QString first = work.filePath(u"a.vcf"_s);
    const QString second = work.filePath(u"b.vcf"_s);
    ASSERT_EQ(exportToFile(home.storeFile(), first, {}).status, exporting::ExportStatus::Written);
    ASSERT_EQ(exportToFile(home.storeFile(), second, {}).status, exporting::ExportStatus::Written);
    EXPECT_EQ(fileBytes(first), fileBytes(second));
    EXPECT_TRUE(fileBytes(first).contains(
        (u"UID:"_s + derivedUid(home.storeFile(), 1) + u"\r\n"_s).toUtf8()));
    EXPECT_NE(derivedUid(home.storeFile(), 1), derivedUid(home.storeFile(), 2));

    {
        auto db = store::Database::open(home.storeFile());
        db.exec(
            "CREATE TABLE KartenInfo (KarteId INTEGER PRIMARY KEY, Uid TEXT, Angelegt TEXT, "
            "Geaendert TEXT)");
        db.exec(
            "INSERT INTO KartenInfo VALUES (1, 'a1b2c3d4-0000-4000-8000-000000000001', "
            "'2024-01-01 10:00:00', '2024-03-05 14:30:00')");
    }
    ASSERT_EQ(exportToFile(home.storeFile(), first, {Version::V4, {}}).status,
              exporting::ExportStatus::Written);
    const QByteArray withIdentity = fileBytes(first);
    EXPECT_TRUE(withIdentity.contains("UID:urn:uuid:a1b2c3d4-0000-4000-8000-000000000001\r\n"));
    EXPECT_TRUE(withIdentity.contains("REV:20240305T143000Z\r\n"));
    // A card without an entry keeps its derived UID.
    EXPECT_TRUE(
        withIdentity.contains((u"UID:urn:uuid:"_s + derivedUid(home.storeFile(), 2)).toUtf8()));
}

TEST(VcardExport, OneCategoryOrAll) {
    TestHome home;
    testing::makeExchangeStore(home.dir());
    QTemporaryDir work;
    const QString file = work.filePath(u"k.vcf"_s);
    const std::pair<QString, std::int64_t> cases[] = {
        {u"privat"_s, 2}, {u"Kunden"_s, 2}, {u"-Alle-"_s, 4}, {QString(), 4}};
    for (const auto& [category, count] : cases) {
        const auto result = exportToFile(home.storeFile(), file, {Version::V3, category});
        ASSERT_EQ(result.status, exporting::ExportStatus::Written) << category.toStdString();
        EXPECT_EQ(result.summary.cards, count);
        EXPECT_EQ(readVcards(fileBytes(file)).cards.size(), static_cast<std::size_t>(count));
    }
    const auto unknown = exportToFile(home.storeFile(), file, {Version::V3, u"Fehlt"_s});
    EXPECT_EQ(unknown.status, exporting::ExportStatus::Failed);
    EXPECT_EQ(unknown.error, u"Die Kategorie „Fehlt“ gibt es in der Kartei nicht.");
}

TEST(VcardExport, ChangeTimesInEveryStoredForm) {
    const std::pair<QString, QString> cases[] = {
        {u"1709649000"_s, u"2024-03-05T14:30:00Z"_s},
        {u"1709649000000"_s, u"2024-03-05T14:30:00Z"_s},
        {u"2024-03-05 14:30:00"_s, u"2024-03-05T14:30:00Z"_s},
        {u"2024-03-05T15:30:00+01:00"_s, u"2024-03-05T14:30:00Z"_s},
        {QString(), QString()},
    };
    for (const auto& [stored, expected] : cases) {
        const QDateTime time = changeTime(stored);
        EXPECT_EQ(time.isValid() ? time.toUTC().toString(Qt::ISODate) : QString(), expected)
            << stored.toStdString();
    }
}

}  // namespace
}  // namespace veltro::vcard
