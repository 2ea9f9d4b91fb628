#include "CliRun.h"
#include "ImportDialogFixture.h"

#include "export/CsvPresets.h"
#include "store/CardStore.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace veltro::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

// Two cards to import, one broken card and one without a name. The company has the
// heading of a card already in the store.
const QByteArray kVcards =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:M\xC3\xBCller;Hans;;Herr;\r\nFN:Hans M\xC3\xBCller\r\n"
    "TEL;TYPE=work,voice:0951 123456\r\nEMAIL:hans@example.de\r\n"
    "ADR;TYPE=home:;;Hauptstra\xC3\x9F"
    "e 1;Bamberg;;96047;\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Kaputt;Karl;;;\r\nkeine Angabe\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:2.1\r\nTEL:0911 1\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:2.1\r\nORG:G\xC3\xA4rtnerei Gr\xC3\xBCn\r\nEND:VCARD\r\n";

std::vector<store::Card> cardsOf(const std::filesystem::path& storeFile) {
    std::vector<store::Card> cards;
    store::CardStore::open(storeFile).forEachCard([&](const store::Card& card) {
        cards.push_back(card);
        cards.back().id = 0;
    });
    return cards;
}

class ImportDialogFormats : public ImportDialogTest {
protected:
    QString previewText(int row, const char16_t* targetName) {
        const auto* model = widget<QTreeView>("ListView1")->model();
        const auto column = static_cast<int>(*import::targetByName(QStringView(targetName)));
        return model->index(row, column).data().toString();
    }

    QTemporaryDir files;
};

TEST_F(ImportDialogFormats, AVcardFileGoesStraightToThePreviewAndImportsLikeTheCommandLine) {
    // Known by its content, under any name and filter.
    const QString path = writeFile(files, u"karten.txt"_s, kVcards);
    browse(path, 1);
    EXPECT_EQ(widget<QLabel>("Label5")->text(), u"Datentyp: vCard-Datei (*.vcf)");
    EXPECT_TRUE(widget<QGroupBox>("Frame7")->isHidden());
    EXPECT_TRUE(widget<QGroupBox>("Frame8")->isHidden());
    EXPECT_TRUE(widget<QCheckBox>("Check1")->isHidden());
    EXPECT_EQ(status(),
              u" Gefundene Karten: 2 – 2 fehlerhafte oder namenlose vCards werden "
              u"übersprungen");

    click("Command8");
    EXPECT_EQ(visiblePage(), 3) << "no mapping page";
    ASSERT_EQ(previewRows(), 2);
    EXPECT_EQ(previewText(0, u"Kategorie"), u"Kunden");
    EXPECT_EQ(previewText(0, u"Karte"), u"Müller Hans");
    EXPECT_EQ(previewText(0, u"Anrede"), u"Herr");
    EXPECT_EQ(previewText(0, u"Vorwahl"), u"0951");
    EXPECT_EQ(previewText(0, u"Telefon"), u"123456");
    EXPECT_EQ(previewText(0, u"Straße"), u"Hauptstraße 1");
    EXPECT_EQ(previewText(1, u"Karte"), u"Gärtnerei Grün");
    click("Command7");
    EXPECT_EQ(visiblePage(), 1) << "back leads past the mapping page too";
    EXPECT_FALSE(backEnabled());
    EXPECT_TRUE(nextEnabled());
    click("Command8");
    EXPECT_EQ(previewRows(), 2);
    click("Command8");
    EXPECT_EQ(visiblePage(), 4);
    runImport();
    EXPECT_EQ(host.reloads, 1);
    EXPECT_TRUE(platform->messages.empty());

    // The command line, given the same file and store, writes the same cards.
    TestHome other;
    makeStore(other.dir(), {u"Kunden"_s, u"Privat"_s}, {{u"Gärtnerei Grün"_s, u"Privat"_s}});
    EXPECT_EQ(runCli({u"import"_s, QString::fromStdString(other.dir().string()), path,
                      u"--category"_s, u"Kunden"_s})
                  .status,
              3)
        << "cards were skipped";
    const auto fromDialog = cardsOf(home.storeFile());
    const auto fromCli = cardsOf(other.storeFile());
    ASSERT_EQ(fromDialog.size(), 3U);
    ASSERT_EQ(fromDialog.size(), fromCli.size());
    for (std::size_t i = 0; i < fromDialog.size(); ++i) {
        EXPECT_EQ(fromDialog[i].values, fromCli[i].values)
            << fromCli[i].text(store::Field::Schlagworte).toStdString();
    }
    EXPECT_EQ(fromDialog.back().text(store::Field::Schlagworte), u"Gärtnerei Grün_1");
}

TEST_F(ImportDialogFormats, AVcardFileWithoutACardToImportIsRefused) {
    // Next tries the file again, as its name says.
    const struct {
        const char* name;
        QString path;
        int filter;
        int pageAfterNext;
    } cases[] = {
        {"no card with a name", writeFile(files, u"leer.vcf"_s, "BEGIN:VCARD\nTEL:1\nEND:VCARD\n"),
         0, 1},
        {"a CSV file chosen as vCard", testDataFile(u"kunden-ansi.csv"_s), 3, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform->messages.clear();
        browse(c.path, c.filter);
        ASSERT_EQ(platform->messages.size(), 1U);
        EXPECT_TRUE(platform->messages.back().text.endsWith(
            u"\nenthält keine vCard, die sich importieren lässt."));
        click("Command8");
        EXPECT_EQ(visiblePage(), c.pageAfterNext);
        click("Command7");
    }
}

// A file in a preset's layout: the header line, then one record whose fields are named
// after their column ("v0", "v1", ...).
QByteArray presetFile(exporting::CsvPreset preset, char separator) {
    QByteArray header;
    QByteArray record;
    int column = 0;
    for (const auto& entry : exporting::presetColumns(preset)) {
        if (column > 0) {
            header += separator;
            record += separator;
        }
        const QString name =
            QString::fromUtf16(entry.header.data(), static_cast<qsizetype>(entry.header.size()));
        header += '"' + name.toUtf8() + '"';
        record += "v" + QByteArray::number(column++);
    }
    return header + "\r\n" + record + "\r\n";
}

// The position of a header among a preset's columns.
int columnOf(exporting::CsvPreset preset, std::u16string_view header) {
    const auto columns = exporting::presetColumns(preset);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].header == header) {
            return static_cast<int>(i);
        }
    }
    ADD_FAILURE() << "no such column";
    return -1;
}

QString valueOf(exporting::CsvPreset preset, std::u16string_view header) {
    return u"v"_s + QString::number(columnOf(preset, header));
}

TEST_F(ImportDialogFormats, OtherProgramsCsvFilesComeWithTheirMapping) {
    using exporting::CsvPreset;
    const struct {
        const char* name;
        CsvPreset preset;
        QByteArray prefix;
        char separator;
        std::u16string_view heading;
        std::u16string_view mail;
    } cases[] = {
        {"Thunderbird", CsvPreset::Thunderbird, {}, ',', u"Display Name", u"Primary Email"},
        {"Outlook", CsvPreset::Outlook, "\xEF\xBB\xBF", ';', u"Last Name", u"E-mail Address"},
        {"Google", CsvPreset::Google, {}, '\t', u"Name", u"E-mail 1 - Value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        browse(writeFile(files, QString::fromLatin1(c.name) + u".csv"_s,
                         c.prefix + presetFile(c.preset, c.separator)),
               0);
        EXPECT_EQ(status(), u" Gefundene Datensätze: 2 – Spalten einer "_s +
                                QString::fromLatin1(c.name) +
                                u"-CSV-Datei erkannt und zugeordnet"_s);
        EXPECT_EQ(widget<QRadioButton>("Option2")->isChecked(), c.separator == '\t');
        if (c.separator != '\t') {
            EXPECT_EQ(widget<QLineEdit>("Text3")->text(), QString(QChar(c.separator)));
        }
        EXPECT_TRUE(widget<QCheckBox>("Check2")->isChecked()) << "quoted";
        EXPECT_FALSE(widget<QCheckBox>("Check1")->isChecked()) << "the header line is skipped";
        const QString heading =
            QString::fromUtf16(c.heading.data(), static_cast<qsizetype>(c.heading.size()));
        EXPECT_EQ(targetColumns(u"Karte").front(), heading);

        click("Command8");
        EXPECT_EQ(visiblePage(), 2) << "the mapping is shown";
        EXPECT_TRUE(nextEnabled());
        EXPECT_FALSE(widget<QLabel>("Label14")->isHidden()) << "further details come along";
        EXPECT_EQ(targetColumns(u"Telefon").front() == u"(nach Typ)"_s,
                  c.preset == CsvPreset::Google);
        click("Command8");
        ASSERT_EQ(previewRows(), 1);
        EXPECT_EQ(previewText(0, u"Karte"), valueOf(c.preset, c.heading));
        EXPECT_EQ(previewText(0, u"E-Mail-Adresse"), valueOf(c.preset, c.mail));
        const auto* preview = widget<QTreeView>("ListView1")->model();
        const auto extras = static_cast<int>(import::kTargetCount);
        EXPECT_EQ(preview->headerData(extras, Qt::Horizontal).toString(), u"Weitere Angaben"_s);
        EXPECT_TRUE(preview->index(0, extras).data().toString().contains(u"Telefonnummer"_s));
        EXPECT_TRUE(status().endsWith(u" – 1 Karte mit Weiteren Angaben (letzte Spalte)"_s));
        click("Command7");
        click("Command7");
        ASSERT_EQ(visiblePage(), 1);
    }
    browse(testDataFile(u"kunden-ansi.csv"_s), 0);
    EXPECT_EQ(targetColumns(u"Karte"), QStringList({u"-"_s, u"-"_s, u"-"_s}))
        << "an own header line gets no mapping, and the last one is gone";
    EXPECT_TRUE(widget<QLabel>("Label14")->isHidden());
}

TEST_F(ImportDialogFormats, TheRecognisedMappingCanBeChanged) {
    using exporting::CsvPreset;
    browse(writeFile(files, u"tb.csv"_s, presetFile(CsvPreset::Thunderbird, ',')), 0);
    click("Command8");
    widget<TargetFieldList>("ListView2")->setCurrentItem(target(u"Karte"));
    click("Command4");
    EXPECT_FALSE(nextEnabled());
    const int lastName = columnOf(CsvPreset::Thunderbird, u"Last Name");
    drag(lastName, u"Karte");
    EXPECT_EQ(targetColumns(u"Karte").front(), valueOf(CsvPreset::Thunderbird, u"Last Name"));
    click("Command8");
    ASSERT_EQ(previewRows(), 1);
    EXPECT_EQ(previewText(0, u"Karte"), valueOf(CsvPreset::Thunderbird, u"Last Name"));
    EXPECT_EQ(previewText(0, u"Vorname"), valueOf(CsvPreset::Thunderbird, u"First Name"));
}

}  // namespace
}  // namespace veltro::testing
