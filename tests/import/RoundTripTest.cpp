#include "ImportTestSupport.h"
#include "TestHome.h"

#include "export/ExportColumns.h"
#include "export/ExportFile.h"
#include "import/ImportRun.h"
#include "import/TextSource.h"
#include "store/CardStore.h"
#include "store/SampleCards.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace veltro::import;
using veltro::store::Card;
using veltro::store::CardStore;
using veltro::store::Field;
using veltro::testing::GivenCard;
using veltro::testing::TestHome;

namespace {

// Every target but the category mapped to its column of the CSV export.
FieldMapping mappingOfExport(const QString& category) {
    FieldMapping mapping(category);
    const auto columns = veltro::exporting::exportColumns(veltro::exporting::ExportFormat::Csv);
    for (std::size_t target = kHeadingTarget; target < kTargetCount; ++target) {
        const auto at = std::find_if(columns.begin(), columns.end(), [&](const auto& column) {
            return column.field == kTargets[target].field;
        });
        mapping.assign(target, static_cast<int>(at - columns.begin()), at->header.toString());
    }
    return mapping;
}

std::vector<GivenCard> sourceCards() {
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

struct RoundTripCase {
    const char* name;
    const char16_t* separator;
    veltro::exporting::TextEncoding encoding;
};

TEST(ExportImportRoundTrip, GivesBackEveryCardWithEveryField) {
    using veltro::exporting::TextEncoding;
    const RoundTripCase cases[] = {
        {"comma, Windows-1252", u",", TextEncoding::Windows1252},
        {"tab, Windows-1252", u"\t", TextEncoding::Windows1252},
        {"semicolon, UTF-8", u";", TextEncoding::Utf8WithBom},
    };
    for (const auto& c : cases) {
        TestHome sourceHome;
        veltro::testing::makeStore(sourceHome.dir(), {"Privat", "Geschäftlich"}, sourceCards());
        const QTemporaryDir dir;
        const QString file = dir.filePath("export.csv");
        const QString separator = QString::fromUtf16(c.separator);
        const auto exported = veltro::exporting::exportToFile(
            sourceHome.storeFile(), file,
            {veltro::exporting::ExportFormat::Csv, separator, true, c.encoding});
        ASSERT_EQ(exported.status, veltro::exporting::ExportStatus::Written) << c.name;

        const auto text = TextSource::load(file);
        ASSERT_TRUE(text.has_value());
        const SplitOptions options{separator.front(), true, false};
        ASSERT_EQ(text->columns(options).columns.size(), 19) << c.name;
        auto rows = text->preview(options, mappingOfExport("Import")).rows;
        TestHome targetHome;
        veltro::testing::makeStore(targetHome.dir(), {"Import"}, {});
        runImport(targetHome.storeFile(), rows);

        auto source = CardStore::open(sourceHome.storeFile());
        auto target = CardStore::open(targetHome.storeFile());
        const auto originals = source.headings();
        ASSERT_EQ(target.cardCount(), static_cast<std::int64_t>(originals.size())) << c.name;
        for (const auto& original : originals) {
            const auto id = target.findByHeading(original.heading);
            ASSERT_TRUE(id.has_value()) << c.name << ": " << original.heading.toStdString();
            const Card before = *source.loadCard(original.id);
            const Card after = *target.loadCard(*id);
            for (std::size_t i = 0; i < veltro::store::kFieldCount; ++i) {
                const auto field = static_cast<Field>(i);
                const QString expected = field == Field::Kategorien     ? QStringLiteral("Import")
                                         : before.text(field).isEmpty() ? QStringLiteral("-")
                                                                        : before.text(field);
                EXPECT_EQ(after.text(field), expected)
                    << c.name << ": " << original.heading.toStdString() << " / "
                    << veltro::store::columnName(field).toStdString();
            }
        }
    }
}

}  // namespace
