#include "ExportFixture.h"
#include "RecordingPlatform.h"
#include "TestHome.h"
#include "export/ExportDialog.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace veltro::exporting {
namespace {

constexpr int kCsvEntry = 0;
constexpr int kTextEntry = 1;
constexpr int kVcardEntry = 2;
constexpr int kThunderbirdEntry = 3;
constexpr int kOutlookEntry = 4;
constexpr int kGoogleEntry = 5;

class ExportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::makeExportStore(home.dir());
        session.open(home.dir());
        reopen();
    }
    void TearDown() override { delete dialog.data(); }

    void reopen() {
        dialog = ExportDialog::showNew(session, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    }
    template <typename W = QWidget>
    W* child(const char* name) {
        return testing::childNamed<W>(*dialog, QLatin1String(name));
    }
    [[nodiscard]] QString target(const char* name) const {
        return QString::fromStdString((home.dir() / name).string());
    }
    // Clicks "Exportieren" and picks this file and filter entry in the save dialog.
    void exportTo(const char* name, int filterEntry) {
        platform->files.push_back(platform::FileResult{target(name), filterEntry});
        QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
        waitForTheEnd();
    }
    // The export runs on a thread of its own; its end comes through the events.
    void waitForTheEnd() {
        while (dialog && dialog->exporting()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    testing::TestHome home;
    session::Session session;
    testing::ScopedRecordingPlatform platform;
    QPointer<ExportDialog> dialog;
};

TEST_F(ExportDialogTest, CancelledSaveDialogWritesNothing) {
    platform->files.push_back(std::nullopt);
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    ASSERT_EQ(platform->saveRequests.size(), 1U);
    const auto& request = platform->saveRequests.front();
    EXPECT_EQ(request.title, u"Adressbuch exportieren...");
    EXPECT_EQ(request.filters, QStringList({QStringLiteral("Export CSV-Dateien (*.csv)"),
                                            QStringLiteral("Export Textdateien (*.txt)"),
                                            QStringLiteral("vCard (*.vcf)"),
                                            QStringLiteral("CSV für Thunderbird (*.csv)"),
                                            QStringLiteral("CSV für Outlook (*.csv)"),
                                            QStringLiteral("CSV für Google Kontakte (*.csv)")}));
    EXPECT_EQ(request.selectedFilter, kCsvEntry);
    EXPECT_EQ(request.proposedName, u"AdressbuchExport");
    EXPECT_TRUE(request.confirmOverwrite);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(QDir(target(".")).entryList(QDir::Files).size(), 1);  // the store only
}

// The filter entry decides the format, not the name; the dialog closes after writing, and
// opens again with its initial settings.
TEST_F(ExportDialogTest, FilterEntryChoosesTheFormatAndReopeningResets) {
    child<QLineEdit>("Text1")->setText(QStringLiteral(";"));
    child<QRadioButton>("Option2")->setChecked(true);
    child<QCheckBox>("Check1")->setChecked(true);
    child<QComboBox>("Combo1")->setCurrentIndex(1);
    exportTo("liste.csv", kTextEntry);
    EXPECT_FALSE(dialog);
    const QByteArray text = testing::fileBytes(target("liste.csv"));
    EXPECT_EQ(text.left(text.indexOf("\r\n")).count('\t'), 16);

    reopen();
    EXPECT_EQ(child<QLineEdit>("Text1")->text(), u",");
    EXPECT_TRUE(child<QRadioButton>("Option1")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(child<QComboBox>("Combo1")->currentIndex(), 0);
    exportTo("AdressbuchExport", kCsvEntry);
    const QByteArray csv = testing::fileBytes(target("AdressbuchExport"));
    EXPECT_EQ(csv.left(csv.indexOf("\r\n")).count("\",\""), 18);
    EXPECT_TRUE(platform->messages.empty());
}

// vCard and the other programs' layouts ignore separator, encoding and formatting.
TEST_F(ExportDialogTest, VcardAndOtherProgramsLayouts) {
    const struct {
        int entry;
        const char* file;
        QByteArray start;
    } cases[] = {
        {kVcardEntry, "karten.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\n"},
        {kThunderbirdEntry, "tb.csv", "\"First Name\",\"Last Name\",\"Display Name\","},
        {kOutlookEntry, "ol.csv", "\xEF\xBB\xBF\"Title\",\"First Name\",\"Middle Name\","},
        {kGoogleEntry, "g.csv", "\"Name\",\"Given Name\",\"Additional Name\","},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        child<QLineEdit>("Text1")->setText(QStringLiteral(";"));
        child<QCheckBox>("Check1")->setChecked(true);
        exportTo(c.file, c.entry);
        EXPECT_FALSE(dialog);
        const QByteArray bytes = testing::fileBytes(target(c.file));
        EXPECT_TRUE(bytes.startsWith(c.start)) << bytes.left(80).toStdString();
        EXPECT_FALSE(bytes.contains("\\rtf"));
        reopen();
    }
    EXPECT_TRUE(platform->messages.empty());
}

// The two failures the user knows from before stay silent; the dialog stays open.
TEST_F(ExportDialogTest, EmptySeparatorOrNoCardFailSilently) {
    child<QLineEdit>("Text1")->clear();
    exportTo("leer.csv", kCsvEntry);
    delete dialog.data();

    testing::TestHome empty;
    store::createEmptyStore(empty.dir());
    session::Session other;
    other.open(empty.dir());
    dialog = ExportDialog::showNew(other, nullptr);
    exportTo("keine.csv", kCsvEntry);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(platform->messages.empty());
    EXPECT_FALSE(QFile::exists(target("leer.csv")) || QFile::exists(target("keine.csv")));
}

TEST_F(ExportDialogTest, TellsOnceHowManyCharactersWereReplaced) {
    // The separator, one character outside the BMP, stands 18 times in each of three lines.
    child<QLineEdit>("Text1")->setText(QStringLiteral("😀"));
    exportTo("pfeil.csv", kCsvEntry);
    ASSERT_EQ(platform->messages.size(), 1U);
    EXPECT_EQ(platform->messages.front().text,
              u"Die Datei wurde geschrieben.\n54 Zeichen lassen sich im Zeichensatz Windows-1252 "
              u"nicht darstellen und wurden durch „?“ ersetzt.\nMit dem Zeichensatz UTF-8 "
              u"bleiben alle Zeichen erhalten.");

    reopen();
    child<QLineEdit>("Text1")->setText(QStringLiteral("😀"));
    child<QComboBox>("Combo1")->setCurrentIndex(1);
    exportTo("pfeil.csv", kCsvEntry);
    EXPECT_EQ(platform->messages.size(), 1U);
    EXPECT_TRUE(testing::fileBytes(target("pfeil.csv"))
                    .startsWith("\xEF\xBB\xBF\"Karte\"\xF0\x9F\x98\x80\"Kategorie\""));
}

TEST_F(ExportDialogTest, UnwritableTargetIsReported) {
    exportTo("fehlt/out.csv", kCsvEntry);
    ASSERT_TRUE(dialog);
    ASSERT_EQ(platform->messages.size(), 1U);
    EXPECT_TRUE(platform->messages.front().text.contains(u"fehlt/out.csv"));
}

TEST_F(ExportDialogTest, AbbrechenDuringTheExportKeepsTheOldFile) {
    ASSERT_TRUE(testing::writeBytes(target("alt.csv"), "alter Inhalt"));
    // Another program holds the store: the export waits to read while "Abbrechen" is clicked.
    auto other = store::Database::open(home.storeFile());
    other.exec("BEGIN EXCLUSIVE");
    platform->files.push_back(platform::FileResult{target("alt.csv"), kCsvEntry});
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_FALSE(child("Command1")->isEnabled());
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    other.exec("COMMIT");
    waitForTheEnd();
    EXPECT_FALSE(dialog);
    EXPECT_EQ(testing::fileBytes(target("alt.csv")), "alter Inhalt");
}

}  // namespace
}  // namespace veltro::exporting
