#include "ExportFixture.h"
#include "TestHome.h"
#include "export/ExportFile.h"
#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/SampleCards.h"
#include "store/Schema.h"

#include <QDir>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <utility>

namespace veltro::exporting {
namespace {

using namespace Qt::Literals::StringLiterals;

using testing::expectedFile;
using testing::fileBytes;

QByteArray utf8WithBom(const QByteArray& windows1252) {
    QStringDecoder decoder("windows-1252");
    const QString text = decoder(windows1252);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

class ExportFileTest : public ::testing::Test {
protected:
    void SetUp() override { testing::makeExportStore(home.dir()); }
    [[nodiscard]] QString target(const char* name) const {
        return QString::fromStdString((home.dir() / name).string());
    }
    testing::TestHome home;
};

TEST_F(ExportFileTest, WritesTheDocumentedBytes) {
    using F = ExportFormat;
    using E = TextEncoding;
    const QByteArray commaPlain = expectedFile(QStringLiteral("comma_plain.csv"));
    const struct {
        const char* what;
        ExportOptions options;
        QByteArray expected;
    } cases[] = {
        {"comma, plain text, quote doubled, record over two lines",
         {F::Csv, QStringLiteral(","), false, E::Windows1252},
         commaPlain},
        {"first character of \";x\", RTF kept",
         {F::Csv, *separatorFromText(u";x"), true, E::Windows1252},
         expectedFile(QStringLiteral("semicolon_rtf.csv"))},
        {"text export: tab, 17 columns although RTF is ticked",
         {F::Text, kTabSeparator, true, E::Windows1252},
         expectedFile(QStringLiteral("tab_text.txt"))},
        {"UTF-8 with byte-order mark",
         {F::Csv, QStringLiteral(","), false, E::Utf8WithBom},
         utf8WithBom(commaPlain)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.expected.isEmpty());
        const auto result = exportToFile(home.storeFile(), target("out"), c.options);
        ASSERT_EQ(result.status, ExportStatus::Written) << result.error.toStdString();
        EXPECT_EQ(result.summary.cards, 2);
        EXPECT_EQ(fileBytes(target("out")).toStdString(), c.expected.toStdString());
    }
}

// The records of a CSV file as another program reads them: quoted fields, "" for a quote.
std::vector<QStringList> csvRecords(const QString& text) {
    std::vector<QStringList> records(1);
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
            field += c;
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (quoted || (c != u',' && c != u'\n' && c != u'\r')) {
            field += c;
        } else if (c != u'\r') {
            records.back() << std::exchange(field, {});
            if (c == u'\n') {
                records.emplace_back();
            }
        }
    }
    return records;
}

// Birthday, nickname, title and the further entries go into the columns those programs read.
TEST_F(ExportFileTest, OtherProgramsLayoutsCarryWhatACardHoldsBeyondItsFields) {
    {
        auto db = store::Database::open(home.storeFile());
        store::CardExtras extras;
        extras.birthday = store::PartialDate{1980, 2, 29};
        extras.nickname = QStringLiteral("Anni");
        extras.title = QStringLiteral("Leiterin");
        using K = store::EntryKind;
        using T = store::EntryType;
        extras.entries = {
            {K::Telefon, T::Privat, QStringLiteral("0911 123")},
            {K::EMail, T::Andere, QStringLiteral("anna@privat.de")},
            {K::Anschrift, T::Privat, QStringLiteral("Rue 1"), QStringLiteral("75001"),
             QStringLiteral("Paris"), QStringLiteral("Frankreich")}};
        store::writeCardExtras(db, 1, extras);
    }
    const struct {
        CsvPreset preset;
        std::vector<std::pair<QString, QString>> columns;
    } cases[] = {
        {CsvPreset::Google,
         {{u"Birthday"_s, u"1980-02-29"_s},
          {u"Nickname"_s, u"Anni"_s},
          {u"Organization 1 - Title"_s, u"Leiterin"_s},
          {u"E-mail 2 - Type"_s, u"Other"_s},
          {u"E-mail 2 - Value"_s, u"anna@privat.de"_s},
          {u"Phone 4 - Type"_s, u"Home"_s},
          {u"Phone 4 - Value"_s, u"0911 123"_s},
          {u"Address 2 - Formatted"_s, u"Rue 1\r\n75001 Paris\r\nFrankreich"_s},
          {u"Address 2 - City"_s, u"Paris"_s},
          {u"Phone 5 - Value"_s, u""_s}}},
        {CsvPreset::Thunderbird,
         {{u"Birth Year"_s, u"1980"_s},
          {u"Birth Month"_s, u"2"_s},
          {u"Birth Day"_s, u"29"_s},
          {u"Secondary Email"_s, u"anna@privat.de"_s},
          {u"Home Phone"_s, u"0911 123"_s},
          {u"Home ZipCode"_s, u"75001"_s},
          {u"Home Country"_s, u"Frankreich"_s},
          {u"Job Title"_s, u"Leiterin"_s}}},
        {CsvPreset::Outlook,
         {{u"Birthday"_s, u"2/29/1980"_s},
          {u"Home Phone"_s, u"0911 123"_s},
          {u"E-mail 2 Address"_s, u"anna@privat.de"_s},
          {u"E-mail 2 Type"_s, u"SMTP"_s},
          {u"E-mail 3 Type"_s, u""_s},
          {u"Home Street"_s, u"Rue 1"_s},
          {u"Other City"_s, u""_s}}},
    };
    for (const auto& c : cases) {
        const auto result =
            exportToFile(home.storeFile(), target("p.csv"), presetOptions(c.preset));
        ASSERT_EQ(result.status, ExportStatus::Written) << result.error.toStdString();
        QString text = QString::fromUtf8(fileBytes(target("p.csv")));
        const auto records = csvRecords(text.remove(u'\uFEFF'));
        ASSERT_GE(records.size(), 2U);
        for (const auto& [header, value] : c.columns) {
            const auto column = records[0].indexOf(header);
            ASSERT_GE(column, 0) << header.toStdString();
            EXPECT_EQ(records[1].value(column), value) << header.toStdString();
        }
    }
}

// Whatever goes wrong before the export is complete, an existing file stays as it was.
TEST_F(ExportFileTest, LeavesTheTargetAloneUnlessComplete) {
    testing::TestHome empty;
    store::createEmptyStore(empty.dir());
    const ProgressCallback stop = [](auto, auto) { return false; };
    const struct {
        const char* what;
        std::filesystem::path store;
        const char* target;
        ProgressCallback progress;
        ExportStatus status;
    } cases[] = {
        {"no card", empty.storeFile(), "old.csv", {}, ExportStatus::NoCard},
        {"cancelled", home.storeFile(), "old.csv", stop, ExportStatus::Cancelled},
        {"no store", home.dir() / "fehlt.mdb", "old.csv", {}, ExportStatus::Failed},
        {"no directory", home.storeFile(), "fehlt/out.csv", {}, ExportStatus::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(testing::writeBytes(target("old.csv"), "alter Inhalt"));
        const auto result = exportToFile(c.store, target(c.target), {}, c.progress);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.status == ExportStatus::Failed, !result.error.isEmpty());
        EXPECT_EQ(fileBytes(target("old.csv")), "alter Inhalt");
    }
    EXPECT_EQ(QDir(home.dir()).entryList(QDir::Files).size(), 2);  // store and old.csv
}

// Progress comes between batches, and the store is free then: the main window may save a
// card while the export runs.
TEST(ExportProgressTest, ReportsBatchesAndLeavesTheStoreWritable) {
    testing::TestHome home;
    store::SampleSet set{{QStringLiteral("Privat")}, {}};
    for (int i = 0; i < 1201; ++i) {
        store::Card card;
        card.set(store::Field::Schlagworte, QStringLiteral("Karte %1").arg(i));
        set.cards.push_back(card);
    }
    store::writeSampleStore(home.dir(), set);
    auto mainWindowStore = store::CardStore::open(home.storeFile());
    const auto lastCard = mainWindowStore.findByHeading(u"Karte 1200");
    ASSERT_TRUE(lastCard);

    std::vector<std::pair<std::int64_t, std::int64_t>> calls;
    const QString target = QString::fromStdString((home.dir() / "out.csv").string());
    const auto result = exportToFile(home.storeFile(), target, {}, [&](auto done, auto total) {
        calls.emplace_back(done, total);
        mainWindowStore.writeFields(*lastCard, {{store::Field::Ort, QStringLiteral("Hof")}});
        return true;
    });
    ASSERT_EQ(result.status, ExportStatus::Written) << result.error.toStdString();
    const decltype(calls) expected = {{500, 1201}, {1000, 1201}, {1201, 1201}};
    EXPECT_EQ(calls, expected);
    const QByteArray file = fileBytes(target);
    EXPECT_EQ(file.count("\r\n"), 1202);
    EXPECT_TRUE(file.contains("\"Karte 1200\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"Hof\""));
}

}  // namespace
}  // namespace veltro::exporting
