#include "ImportTestSupport.h"
#include "TestHome.h"

#include "export/ExportColumns.h"
#include "export/ExportFile.h"
#include "import/ImportRun.h"
#include "import/TextSource.h"
#include "store/CardExtrasTable.h"
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

namespace presettrip {

using veltro::exporting::CsvPreset;
using veltro::store::CardExtras;
using veltro::store::Entry;
using veltro::store::PartialDate;
using K = veltro::store::EntryKind;
using T = veltro::store::EntryType;

// What each layout carries beyond the birthday and the job title, its entries in the order
// of its columns.
struct PresetTrip {
    CsvPreset preset;
    bool nickname;
    bool anniversaryAndNoDayOnly;
    std::vector<Entry> entries;
};

const Field kCarried[] = {Field::Vorname,      Field::Nachname,     Field::Firma,
                          Field::Abteilung,    Field::Strasse,      Field::Ort,
                          Field::Telefon,      Field::Fax,          Field::Postleitzahl,
                          Field::Mobiltelefon, Field::EMailAdresse, Field::Webseite};

TEST(PresetRoundTrip, OurOwnExportInEachLayoutGivesBackTheCardsAndTheirFurtherDetails) {
    const Entry home{K::Anschrift, T::Privat, "Gartenweg 3", "90762", "Fürth", "Deutschland"};
    const Entry phone{K::Telefon, T::Privat, "0911 200"};
    const Entry pager{K::Telefon, T::Pager, "0161 1"};
    const Entry mail{K::EMail, T::Andere, "a@privat.example"};
    const Entry web{K::Webseite, T::Privat, "https://anna.example"};
    const PresetTrip trips[] = {
        {CsvPreset::Thunderbird, true, false, {phone, pager, mail, home, web}},
        {CsvPreset::Outlook,
         false,
         true,
         {{K::Telefon, T::Geschaeftlich, "0911 101"},
          {K::Telefon, T::Fax, "0911 300"},
          phone,
          {K::Telefon, T::Privat, "0911 201"},
          {K::Telefon, T::Andere, "0800 1"},
          pager,
          mail,
          {K::EMail, T::Andere, "a@verein.example"},
          home,
          {K::Anschrift, T::Andere, "Am See 1", "82319", "Starnberg"}}},
        {CsvPreset::Google,
         true,
         false,
         {{K::Telefon, T::Mobil, "0171 2"},
          {K::Telefon, T::Fax, "0911 300"},
          {K::EMail, T::Privat, "a@privat.example"},
          {K::EMail, T::Geschaeftlich, "a@2.example"},
          home,
          web}},
    };
    // One card with every field the layouts carry, one with only its names.
    GivenCard full{"Vorname Nachname", "Privat"};
    for (const Field field : kCarried) {
        full.fields.emplace_back(field, veltro::store::columnName(field));
    }
    const GivenCard names{
        "Ben Kurz", "Privat", {{Field::Vorname, "Ben"}, {Field::Nachname, "Kurz"}}};
    for (const PresetTrip& trip : trips) {
        SCOPED_TRACE(static_cast<int>(trip.preset));
        TestHome sourceHome;
        veltro::testing::makeStore(sourceHome.dir(), {"Privat"}, {full, names});
        auto source = CardStore::open(sourceHome.storeFile());
        CardExtras extras;
        extras.birthday = PartialDate{1980, 2, 29};
        extras.nickname = trip.nickname ? "Anni" : "";
        extras.title = "Leiterin";
        extras.entries = trip.entries;
        CardExtras few;
        few.entries = {{K::Telefon, T::Privat, "030 1"}};
        if (trip.anniversaryAndNoDayOnly) {
            extras.anniversary = PartialDate{2008, 6, 21};
        } else {
            few.birthday = PartialDate{0, 5, 3};
        }
        veltro::store::writeCardExtras(source.db(), 1, extras);
        veltro::store::writeCardExtras(source.db(), 2, few);
        const QTemporaryDir dir;
        const QString file = dir.filePath("p.csv");
        ASSERT_EQ(veltro::exporting::exportToFile(sourceHome.storeFile(), file,
                                                  veltro::exporting::presetOptions(trip.preset))
                      .status,
                  veltro::exporting::ExportStatus::Written);

        auto rows = veltro::testing::presetRows(file, "Import");
        TestHome targetHome;
        veltro::testing::makeStore(targetHome.dir(), {"Import"}, {});
        runImport(targetHome.storeFile(), rows);

        auto target = CardStore::open(targetHome.storeFile());
        ASSERT_EQ(target.cardCount(), 2);
        target.forEachCard([&](const Card& after) {
            const auto id = source.findByHeading(after.text(Field::Vorname) + u' ' +
                                                 after.text(Field::Nachname));
            ASSERT_TRUE(id.has_value()) << after.text(Field::Schlagworte).toStdString();
            const Card before = *source.loadCard(*id);
            for (const Field field : kCarried) {
                const QString was = before.text(field);
                EXPECT_EQ(after.text(field), was.isEmpty() ? QStringLiteral("-") : was)
                    << veltro::store::columnName(field).toStdString();
            }
            EXPECT_EQ(veltro::store::loadCardExtras(target.db(), after.id),
                      veltro::store::loadCardExtras(source.db(), *id))
                << before.text(Field::Schlagworte).toStdString();
        });
    }
}

}  // namespace presettrip
