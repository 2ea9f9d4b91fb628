#include "TestTools.h"
#include "VcardFixture.h"
#include "VersionOneStore.h"

#include "import/ImportRun.h"
#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/Sqlite.h"
#include "vcard/VcardExport.h"
#include "vcard/VcardMapping.h"
#include "vcard/VcardReader.h"
#include "vcard/VcardWriter.h"

#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace veltro::vcard {
namespace {

using namespace Qt::Literals::StringLiterals;
using store::Field;
using testing::fileBytes;
using testing::TestHome;

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
    EXPECT_EQ(store::loadCardExtras(store::CardStore::open(target.storeFile()).db(), 1),
              testing::exchangeExtras());
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
    for (const auto& wanted : testing::exchangeCards()) {
        store::Card card;
        card.set(Field::Schlagworte, wanted.heading);
        for (const auto& [field, value] : wanted.fields) {
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

// The UID lines of an exported file, in card order.
QStringList uidLines(const QByteArray& bytes) {
    QStringList uids;
    for (const QByteArray& line : bytes.split('\n')) {
        if (line.startsWith("UID:")) {
            uids << QString::fromUtf8(line.sliced(4).trimmed());
        }
    }
    return uids;
}

TEST(VcardExport, UidAndRevComeFromTheCardIdentity) {
    TestHome home;
    testing::makeExchangeStore(home.dir());
    QStringList stored;
    {
        auto db = store::Database::open(home.storeFile());
        db.exec("UPDATE KartenInfo SET Geaendert = '2024-03-05T14:30:00Z' WHERE KarteId = 1");
        auto uids = db.prepare("SELECT Uid FROM KartenInfo ORDER BY KarteId");
        while (uids.step()) {
            stored << uids.textOrEmpty(0);
        }
    }
    ASSERT_EQ(stored.size(), 4);
    QTemporaryDir work;
    const QString first = work.filePath(u"a.vcf"_s);
    const QString second = work.filePath(u"b.vcf"_s);
    ASSERT_EQ(exportToFile(home.storeFile(), first, {}).status, exporting::ExportStatus::Written);
    ASSERT_EQ(exportToFile(home.storeFile(), second, {}).status, exporting::ExportStatus::Written);
    EXPECT_EQ(fileBytes(first), fileBytes(second));
    const QStringList uids = uidLines(fileBytes(first));
    EXPECT_EQ(uids, stored);
    EXPECT_EQ(QSet<QString>(uids.begin(), uids.end()).size(), uids.size()) << "one per card";
    EXPECT_TRUE(fileBytes(first).contains("REV:20240305T143000Z\r\n"));

    // A change to the card moves REV on and keeps the UID.
    store::CardStore::open(home.storeFile())
        .db()
        .exec("UPDATE Kontakte SET Vorname = 'Hannes' WHERE rowid = 1");
    ASSERT_EQ(exportToFile(home.storeFile(), second, {Version::V4, {}}).status,
              exporting::ExportStatus::Written);
    const QByteArray changed = fileBytes(second);
    EXPECT_TRUE(changed.contains((u"UID:urn:uuid:"_s + stored.front() + u"\r\n"_s).toUtf8()));
    EXPECT_FALSE(changed.contains("REV:20240305T143000Z"));
}

TEST(VcardExport, AStoreOfTheOldLayoutGetsUidsOfStoreAndRow) {
    TestHome home;
    testing::makeVersionOneStore(home.dir(), {u"Kunden"_s},
                                 {{u"Müller Hans"_s, u"Kunden"_s}, {u"Meier Eva"_s, u"Kunden"_s}});
    QTemporaryDir work;
    const QString first = work.filePath(u"a.vcf"_s);
    const QString second = work.filePath(u"b.vcf"_s);
    ASSERT_EQ(exportToFile(home.storeFile(), first, {}).status, exporting::ExportStatus::Written);
    ASSERT_EQ(exportToFile(home.storeFile(), second, {}).status, exporting::ExportStatus::Written);
    EXPECT_EQ(fileBytes(first), fileBytes(second));
    EXPECT_EQ(uidLines(fileBytes(first)),
              QStringList({derivedUid(home.storeFile(), 1), derivedUid(home.storeFile(), 2)}));
    EXPECT_NE(derivedUid(home.storeFile(), 1), derivedUid(home.storeFile(), 2));
    EXPECT_FALSE(fileBytes(first).contains("REV:"));
    auto version = store::Database::open(home.storeFile()).prepare("PRAGMA user_version");
    ASSERT_TRUE(version.step());
    EXPECT_EQ(version.integer(0), 0) << "the export leaves the store as it was";
}

TEST(VcardExport, BatchesComeOutInStoreOrderAndProgressCanStopTheExport) {
    TestHome home;
    std::vector<testing::GivenCard> cards;
    for (int i = 0; i < 1700; ++i) {
        cards.push_back({u"Karte %1"_s.arg(i, 4, 10, QChar(u'0')), u"Kunden"_s});
    }
    testing::makeStore(home.dir(), {u"Kunden"_s}, cards);
    QTemporaryDir work;
    const QString file = work.filePath(u"k.vcf"_s);
    std::vector<std::int64_t> reported;
    const auto written =
        exportToFile(home.storeFile(), file, {}, [&](std::int64_t done, std::int64_t total) {
            EXPECT_EQ(total, 1700);
            reported.push_back(done);
            return true;
        });
    ASSERT_EQ(written.status, exporting::ExportStatus::Written);
    EXPECT_EQ(written.summary.cards, 1700);
    EXPECT_EQ(reported, (std::vector<std::int64_t>{500, 1000, 1500, 1700}));
    QStringList names;
    for (const QByteArray& line : fileBytes(file).split('\n')) {
        if (line.startsWith("FN:")) {
            names << QString::fromUtf8(line.sliced(3).trimmed());
        }
    }
    ASSERT_EQ(names.size(), 1700);
    for (int i = 0; i < names.size(); ++i) {
        ASSERT_EQ(names[i], cards[static_cast<std::size_t>(i)].heading) << i;
    }

    ASSERT_TRUE(testing::writeBytes(file, "alt"));
    const auto stopped =
        exportToFile(home.storeFile(), file, {}, [](std::int64_t, std::int64_t) { return false; });
    EXPECT_EQ(stopped.status, exporting::ExportStatus::Cancelled);
    EXPECT_EQ(fileBytes(file), "alt");
}

// A category is found without regard to case, on the cards as in the list of categories.
TEST(VcardExport, OneCategoryOrAll) {
    TestHome home;
    testing::makeExchangeStore(home.dir());
    store::Database::open(home.storeFile())
        .exec(
            "UPDATE Kontakte SET Kategorien = 'KUNDEN' WHERE rowid = (SELECT min(rowid) FROM "
            "Kontakte WHERE Kategorien = 'Kunden')");
    QTemporaryDir work;
    const QString file = work.filePath(u"k.vcf"_s);
    const std::pair<QString, std::int64_t> cases[] = {
        {u"privat"_s, 2}, {u"Kunden"_s, 2}, {u"-Alle-"_s, 4}, {u"-alle-"_s, 4}, {QString(), 4}};
    for (const auto& [category, count] : cases) {
        const auto result =
            exportToFile(home.storeFile(), file, {Version::V3, store::CategoryFilter(category)});
        ASSERT_EQ(result.status, exporting::ExportStatus::Written) << category.toStdString();
        EXPECT_EQ(result.summary.cards, count);
        EXPECT_EQ(readVcards(fileBytes(file)).cards.size(), static_cast<std::size_t>(count));
    }
    const auto unknown =
        exportToFile(home.storeFile(), file, {Version::V3, store::CategoryFilter(u"Fehlt"_s)});
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
