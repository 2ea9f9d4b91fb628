#include "ImportTestSupport.h"
#include "TestHome.h"

#include "import/ImportRun.h"
#include "import/TextSource.h"
#include "store/CardStore.h"
#include "store/SampleCards.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

using namespace veltro::import;
using veltro::store::Card;
using veltro::store::CardStore;
using veltro::store::Field;
using veltro::testing::CardSpec;
using veltro::testing::TestHome;

namespace {

// The columns of a CSV export, in file order.
constexpr std::array<Field, 19> kExportFields = {
    Field::Schlagworte,  Field::Kategorien, Field::Nr,        Field::Anrede,
    Field::Vorname,      Field::Nachname,   Field::Abteilung, Field::Firma,
    Field::Postleitzahl, Field::Ort,        Field::Strasse,   Field::Webseite,
    Field::EMailAdresse, Field::Vorwahl,    Field::Telefon,   Field::Fax,
    Field::Mobiltelefon, Field::Anschrift,  Field::Notizen,
};

QString quoted(const QString& text) {
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

// A CSV export as the export writes it with the rich text kept: a header line, then every
// field in double quotes (a quote inside doubled), CR LF after every line, Windows-1252.
QByteArray exportedCsv(CardStore& store, QChar separator) {
    static const QStringList header = {
        "Karte",   "Kategorie", "Kartennummer", "Anrede",    "Vorname",  "Nachname", "Abteilung",
        "Firma",   "PLZ",       "Ort",          "Straße",    "Webseite", "EMail",    "Vorwahl",
        "Telefon", "Telefax",   "Mobil",        "Anschrift", "Notizen"};
    QStringList lines;
    QStringList columns;
    for (const auto& name : header) {
        columns << quoted(name);
    }
    lines << columns.join(separator);
    for (const auto& row : store.headings()) {
        const auto card = store.loadCard(row.id);
        columns.clear();
        for (const Field field : kExportFields) {
            columns << quoted(card->text(field));
        }
        lines << columns.join(separator);
    }
    return veltro::testing::windows1252(lines.join(QStringLiteral("\r\n")) +
                                        QStringLiteral("\r\n"));
}

std::vector<CardSpec> sourceCards() {
    using veltro::store::simpleRtf;
    return {
        {"Müller, Anna",
         "Privat",
         {{Field::Nr, "1"},
          {Field::Anrede, "Frau"},
          {Field::Vorname, "Anna"},
          {Field::Nachname, "Müller"},
          {Field::Firma, "Bäckerei Müller, Söhne & Co."},
          {Field::Strasse, "Hauptstraße 5"},
          {Field::Postleitzahl, "96047"},
          {Field::Ort, "Bamberg"},
          {Field::Telefon, "0951 123;45"},
          {Field::EMailAdresse, "anna@example.de"},
          {Field::Anschrift,
           simpleRtf({"Frau", "Anna Müller", "Hauptstraße 5", "96047 Bamberg"}, true)},
          {Field::Notizen, simpleRtf({"Sagt \"Grüß Gott\", immer.", "Zweiter Absatz\tmit Tab."})}}},
        {"Firma \"Holz\" GmbH",
         "Geschäftlich",
         {{Field::Nr, "2"},
          {Field::Abteilung, "Einkauf"},
          {Field::Webseite, "https://holz.example/"},
          {Field::Vorwahl, "0911"},
          {Field::Fax, "4711"},
          {Field::Mobiltelefon, "0170 1"},
          {Field::Notizen, "schlichter Text\r\nohne RTF"}}},
        {"Leer", "Privat", {}},
    };
}

TEST(ExportImportRoundTrip, GivesBackEveryCardWithEveryField) {
    for (const QChar separator : {QChar(u','), QChar(u'\t')}) {
        TestHome sourceHome;
        veltro::testing::makeStore(sourceHome.dir(), {"Privat", "Geschäftlich"}, sourceCards());
        auto source = CardStore::open(sourceHome.storeFile());
        const QTemporaryDir dir;
        const QString file =
            veltro::testing::writeFile(dir, "export.csv", exportedCsv(source, separator));

        const auto text = TextSource::load(file);
        ASSERT_TRUE(text.has_value());
        const SplitOptions options{separator, true, false};
        ASSERT_EQ(text->columns(options).columns.size(), 19);
        FieldMapping mapping("Import");
        for (std::size_t target = kHeadingTarget; target < kTargetCount; ++target) {
            const auto at =
                std::find(kExportFields.begin(), kExportFields.end(), kTargets[target].field);
            mapping.assign(target, static_cast<int>(at - kExportFields.begin()), {});
        }
        auto rows = text->preview(options, mapping).rows;

        TestHome targetHome;
        veltro::testing::makeStore(targetHome.dir(), {"Import"}, {});
        runImport(targetHome.storeFile(), rows);

        auto target = CardStore::open(targetHome.storeFile());
        const auto originals = source.headings();
        ASSERT_EQ(target.cardCount(), static_cast<std::int64_t>(originals.size()));
        for (const auto& original : originals) {
            const auto id = target.findByHeading(original.heading);
            ASSERT_TRUE(id.has_value()) << original.heading.toStdString();
            const Card before = *source.loadCard(original.id);
            const Card after = *target.loadCard(*id);
            for (const Field field : kExportFields) {
                const QString expected = field == Field::Kategorien     ? QStringLiteral("Import")
                                         : before.text(field).isEmpty() ? QStringLiteral("-")
                                                                        : before.text(field);
                EXPECT_EQ(after.text(field), expected)
                    << original.heading.toStdString() << " / "
                    << veltro::store::columnName(field).toStdString();
            }
        }
    }
}

}  // namespace
