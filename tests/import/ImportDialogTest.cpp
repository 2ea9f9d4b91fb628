#include "ImportDialogFixture.h"

#include "store/CardStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDragMoveEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

using namespace veltro::import;
using veltro::platform::FileResult;
using veltro::platform::Icon;
using veltro::store::CardStore;
using veltro::testing::FakeHost;
using veltro::testing::ImportDialogTest;
using veltro::testing::ScopedRecordingPlatform;
using veltro::testing::testDataFile;
using veltro::testing::TestHome;

namespace {

TEST(ImportDialogOpen, WithAllCategoriesShownOnlyAHintAppears) {
    TestHome home;
    ScopedRecordingPlatform platform;
    FakeHost host(home.storeFile(), "-Alle-");
    EXPECT_EQ(ImportDialog::open(host, nullptr), nullptr);
    ASSERT_EQ(platform->messages.size(), 1U);
    const auto& message = platform->messages.front();
    EXPECT_EQ(message.text,
              "Bitte wählen Sie erst eine Kategorie aus\nin der Sie die importierten "
              "Daten speichern wollen.");
    EXPECT_EQ(message.icon, Icon::Information);
    EXPECT_EQ(host.changed, 0);
}

TEST_F(ImportDialogTest, OpensOnTheFilePageWithOnlyTheCategoryAssigned) {
    EXPECT_EQ(host.changed, 1);
    EXPECT_EQ(dialog->windowTitle(), "Datei importieren in Kategorie 'Kunden'");
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(visiblePage(), 1);
    EXPECT_FALSE(widget<QGroupBox>("Frame7")->isHidden());
    EXPECT_TRUE(widget<QGroupBox>("Frame8")->isHidden());
    EXPECT_FALSE(backEnabled());
    EXPECT_FALSE(nextEnabled());
    EXPECT_EQ(widget<QLineEdit>("Text3")->text(), ";");
    EXPECT_TRUE(widget<QCheckBox>("Check1")->isChecked());
    EXPECT_FALSE(widget<QCheckBox>("Check2")->isChecked());
    EXPECT_EQ(widget<TargetFieldList>("ListView2")->topLevelItemCount(), 19);
    EXPECT_EQ(targetColumns(u"Kategorie"), QStringList({"Kunden", "1", "1"}));
    EXPECT_EQ(targetColumns(u"Notizen"), QStringList({"-", "-", "-"}));
}

TEST_F(ImportDialogTest, NextFollowsThePathTheMappingAndThePage) {
    auto* path = widget<QLineEdit>("Text1");
    QTest::keyClicks(path, "x");
    EXPECT_TRUE(nextEnabled());
    path->clear();
    EXPECT_FALSE(nextEnabled()) << "an empty path field disables it";

    browse(testDataFile("kunden-ansi.csv"), 0);
    EXPECT_EQ(path->text(), testDataFile("kunden-ansi.csv"));
    EXPECT_EQ(widget<QLabel>("Label5")->text(), "Datentyp: CSV-Datei (*.csv)");
    EXPECT_EQ(widget<QLabel>("Label3")->text(), "Zu importierende &Datei:    ");
    EXPECT_EQ(status(), " Gefundene Datensätze: 4");
    EXPECT_EQ(widget<SourceColumnList>("ListView3")->topLevelItemCount(), 4);
    EXPECT_TRUE(nextEnabled());

    click("Command8");
    EXPECT_EQ(visiblePage(), 2);
    EXPECT_TRUE(backEnabled());
    EXPECT_FALSE(nextEnabled()) << "no column lies on Karte";
    drag(0, u"Kategorie");
    EXPECT_EQ(targetColumns(u"Kategorie"), QStringList({"Kunden", "1", "1"}));
    EXPECT_FALSE(nextEnabled());
    drag(0, u"Karte");
    EXPECT_EQ(targetColumns(u"Karte"), QStringList({"\"Firma\"", "1", "2"}));
    EXPECT_TRUE(nextEnabled());
    widget<TargetFieldList>("ListView2")->setCurrentItem(target(u"Karte"));
    click("Command4");
    EXPECT_EQ(targetColumns(u"Karte"), QStringList({"-", "-", "-"}));
    EXPECT_FALSE(nextEnabled());
    drag(0, u"Karte");
    drag(2, u"Ort");
    drag(2, u"Ort");
    drag(1, u"Ort");
    EXPECT_EQ(targetColumns(u"Ort"), QStringList({"\"Vorname\"", "2", "10"}));
    widget<TargetFieldList>("ListView2")->setCurrentItem(target(u"Kategorie"));
    click("Command4");
    EXPECT_EQ(targetColumns(u"Kategorie"), QStringList({"Kunden", "1", "1"}));
    click("Command6");
    EXPECT_FALSE(nextEnabled()) << "Alle löschen";
    EXPECT_EQ(targetColumns(u"Ort"), QStringList({"-", "-", "-"}));
    drag(0, u"Karte");
    EXPECT_TRUE(nextEnabled());

    click("Command8");
    EXPECT_EQ(visiblePage(), 3);
    EXPECT_EQ(previewRows(), 4) << "the first line is used";
    EXPECT_TRUE(nextEnabled());
    click("Command8");
    EXPECT_EQ(visiblePage(), 4);
    EXPECT_FALSE(nextEnabled());
    EXPECT_TRUE(backEnabled());

    click("Command7");
    EXPECT_EQ(visiblePage(), 3);
    EXPECT_TRUE(nextEnabled());
    click("Command7");
    EXPECT_EQ(visiblePage(), 2);
    EXPECT_TRUE(nextEnabled());
    click("Command7");
    EXPECT_EQ(visiblePage(), 1);
    EXPECT_FALSE(backEnabled());
    EXPECT_TRUE(nextEnabled()) << "the path field holds text";
}

TEST_F(ImportDialogTest, ASecondFileEmptiesTheMapping) {
    browse(testDataFile("kunden-ansi.csv"), 0);
    click("Command8");
    drag(0, u"Karte");
    drag(2, u"Ort");
    click("Command7");
    browse(testDataFile("kunden-utf8.txt"), 1);
    EXPECT_EQ(widget<QLabel>("Label5")->text(), "Datentyp: Textdatei (*.txt)");
    for (std::size_t target = 1; target < kTargetCount; ++target) {
        EXPECT_FALSE(dialog->mapping().isAssigned(target)) << target;
    }
    EXPECT_EQ(targetColumns(u"Kategorie"), QStringList({"Kunden", "1", "1"}));
    click("Command8");
    EXPECT_FALSE(nextEnabled());
}

TEST_F(ImportDialogTest, AColumnCaptionedWithADashShowsAsAssigned) {
    const QTemporaryDir dir;
    browse(veltro::testing::writeFile(dir, "strich.csv", "Name;;-\nMüller;Bamberg;0951\n"), 0);
    click("Command8");
    drag(0, u"Karte");
    drag(1, u"Ort");
    drag(2, u"Telefon");
    EXPECT_EQ(targetColumns(u"Ort"), QStringList({"- (Spalte 2)", "2", "10"}));
    EXPECT_EQ(targetColumns(u"Telefon"), QStringList({"- (Spalte 3)", "3", "15"}));
    EXPECT_EQ(targetColumns(u"Vorname"), QStringList({"-", "-", "-"}));
}

TEST_F(ImportDialogTest, TheFormatOptionsListTheColumnsAgain) {
    browse(testDataFile("kunden-utf8.txt"), 1);
    auto* sources = widget<SourceColumnList>("ListView3");
    EXPECT_EQ(sources->topLevelItemCount(), 1) << "no ';' in a tab separated file";
    widget<QRadioButton>("Option2")->click();
    ASSERT_EQ(sources->topLevelItemCount(), 4);
    EXPECT_EQ(sources->topLevelItem(0)->text(0), "Firma");
    widget<QCheckBox>("Check1")->click();
    EXPECT_EQ(sources->topLevelItem(0)->text(0), "Gärtnerei Grün");
    auto* separator = widget<QLineEdit>("Text3");
    separator->setFocus();
    separator->selectAll();
    QTest::keyClick(separator, Qt::Key_Backspace);
    EXPECT_EQ(sources->topLevelItemCount(), 0) << "typing selects option 1; empty: no columns";
    QTest::keyClicks(separator, "i");
    EXPECT_EQ(sources->topLevelItem(0)->text(0), "Gärtnere");
}

TEST_F(ImportDialogTest, ImportsTheMappedCsvColumnsAndReloadsTheCards) {
    browse(testDataFile("kunden-ansi.csv"), 0);
    widget<QCheckBox>("Check2")->click();
    widget<QCheckBox>("Check1")->click();
    click("Command8");
    drag(0, u"Karte");
    drag(1, u"Vorname");
    // Keyboard: select the field, then Enter on the source column.
    auto* targets = widget<TargetFieldList>("ListView2");
    auto* sources = widget<SourceColumnList>("ListView3");
    targets->setCurrentItem(target(u"Ort"));
    sources->setFocus();
    sources->setCurrentItem(sources->topLevelItem(2));
    QTest::keyClick(sources, Qt::Key_Return);
    EXPECT_EQ(targetColumns(u"Ort"), QStringList({"Fürth", "3", "10"})) << "captions of line 2";
    EXPECT_EQ(visiblePage(), 2) << "Enter assigns and stays on the page";
    targets->setFocus();
    QTest::keyClick(targets, Qt::Key_Delete);
    EXPECT_EQ(targetColumns(u"Ort"), QStringList({"-", "-", "-"}));
    drag(2, u"Ort");
    click("Command8");
    EXPECT_EQ(previewRows(), 3);
    click("Command8");
    platform->files.clear();
    runImport();
    EXPECT_EQ(host.reloads, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull()) << "the dialog closes after the import";

    // Renaming and the texts of unmapped and empty fields are the import run's tests.
    auto store = CardStore::open(home.storeFile());
    EXPECT_EQ(store.cardCount(), 4);
    const auto renamed = store.loadCard(*store.findByHeading(u"Gärtnerei Grün_1"));
    ASSERT_TRUE(renamed.has_value());
    EXPECT_EQ(renamed->text(veltro::store::Field::Ort), "Fürth");
    EXPECT_TRUE(store.findByHeading(u"Bäckerei Müller; Söhne").has_value()) << "quoted";
}

TEST_F(ImportDialogTest, ImportsTheCustomersOfAnAccessFile) {
    browse(testDataFile("nwind.mdb"), 2);
    EXPECT_TRUE(widget<QGroupBox>("Frame7")->isHidden());
    EXPECT_FALSE(widget<QGroupBox>("Frame8")->isHidden());
    EXPECT_EQ(widget<QLabel>("Label5")->text(), "Datentyp: MS-Access Datenbank(*.mdb)");
    auto* tables = widget<QComboBox>("Combo1");
    EXPECT_EQ(tables->currentText(), "Categories");
    tables->setFocus();
    QTest::keyClick(tables, Qt::Key_Down);
    EXPECT_EQ(tables->currentText(), "Customers");
    auto* sources = widget<SourceColumnList>("ListView3");
    ASSERT_EQ(sources->topLevelItemCount(), 11);
    EXPECT_EQ(sources->topLevelItem(1)->text(0), "CompanyName");

    click("Command8");
    drag(1, u"Karte");
    click("Command8");
    EXPECT_EQ(status(), " Gefundene Datensätze: 91");
    EXPECT_EQ(previewRows(), 91);
    click("Command8");
    runImport();
    EXPECT_EQ(host.reloads, 1);
    EXPECT_EQ(CardStore::open(home.storeFile()).cardCount(), 92);
    EXPECT_TRUE(platform->messages.empty());
}

TEST_F(ImportDialogTest, ADamagedAccessTableSaysHowManyRecordsItRead) {
    const QTemporaryDir dir;
    browse(veltro::testing::writeFile(dir, "gekippt.mdb", veltro::testing::flippedNorthwind()), 2);
    auto* tables = widget<QComboBox>("Combo1");
    tables->setFocus();
    QTest::keyClick(tables, Qt::Key_Down);
    ASSERT_EQ(tables->currentText(), "Customers");
    click("Command8");
    drag(1, u"Karte");
    click("Command8");
    EXPECT_EQ(previewRows(), 90);
    ASSERT_EQ(platform->messages.size(), 1U);
    EXPECT_EQ(platform->messages.back().text,
              "Die Tabelle ist beschädigt: 90 von 91 Datensätzen gelesen.\nDie Vorschau zeigt "
              "die Datensätze, die gelesen werden konnten.");
}

TEST_F(ImportDialogTest, AnUnreadableFileIsReportedAndTheDialogStaysOnPageOne) {
    const QTemporaryDir dir;
    browse(dir.filePath("fehlt.csv"), 0);
    ASSERT_EQ(platform->messages.size(), 1U);
    EXPECT_TRUE(platform->messages.back().text.contains("lässt sich nicht lesen"));
    const QString broken = veltro::testing::writeFile(dir, "kaputt.mdb", "kein Access");
    browse(broken, 2);
    ASSERT_EQ(platform->messages.size(), 2U);
    EXPECT_TRUE(platform->messages.back().text.contains("Access-Datenbank"));
    EXPECT_EQ(widget<QComboBox>("Combo1")->count(), 0);
    auto* path = widget<QLineEdit>("Text1");
    path->setText(dir.filePath("auch-fehlt.txt"));
    click("Command8");
    EXPECT_EQ(visiblePage(), 1) << "a typed path that cannot be read";
    EXPECT_EQ(platform->messages.size(), 3U);
    path->setText(testDataFile("kunden-mac.txt"));
    click("Command8");
    EXPECT_EQ(visiblePage(), 2) << "a typed path is listed on the way";
    EXPECT_EQ(widget<SourceColumnList>("ListView3")->topLevelItemCount(), 4);
}

TEST_F(ImportDialogTest, ABinaryFileIsRefusedAndStrayBytesAreCounted) {
    const QTemporaryDir dir;
    QByteArray random(4096, Qt::Uninitialized);
    for (qsizetype i = 0; i < random.size(); ++i) {
        random[i] = static_cast<char>((i * 7919) % 251);
    }
    browse(veltro::testing::writeFile(dir, "bild.csv", random), 0);
    ASSERT_EQ(platform->messages.size(), 1U);
    EXPECT_EQ(platform->messages.back().text, "Die Datei ist keine Textdatei.");
    EXPECT_EQ(widget<SourceColumnList>("ListView3")->topLevelItemCount(), 0);
    click("Command8");
    EXPECT_EQ(visiblePage(), 1) << "Next reads the file again and refuses it again";
    EXPECT_EQ(platform->messages.size(), 2U);

    browse(testDataFile("kunden-utf8-ein-fehler.txt"), 1);
    EXPECT_EQ(status(),
              " Gefundene Datensätze: 4 – 1 Zeile enthält ungültige Zeichen "
              "(durch \uFFFD ersetzt)");
    EXPECT_EQ(platform->messages.size(), 2U);
}

TEST_F(ImportDialogTest, AFailedRunIsReportedAndLeavesTheStoreAsItWas) {
    CardStore::open(home.storeFile())
        .db()
        .exec(
            "CREATE TRIGGER refuse BEFORE INSERT ON Kontakte "
            "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END");
    browse(testDataFile("kunden-ansi.csv"), 0);
    click("Command8");
    drag(0, u"Karte");
    click("Command8");
    click("Command8");
    runImport();
    ASSERT_EQ(platform->messages.size(), 1U);
    // The engine's own text stays out of the German message.
    EXPECT_TRUE(platform->messages.back().text.startsWith(u"Die Daten konnten nicht importiert"));
    EXPECT_FALSE(platform->messages.back().text.contains("Datenträger voll"));
    EXPECT_EQ(host.reloads, 0);
    EXPECT_EQ(visiblePage(), 4);
    EXPECT_EQ(status(), " ");
    EXPECT_EQ(CardStore::open(home.storeFile()).cardCount(), 1);
}

TEST_F(ImportDialogTest, CancelClosesWithoutImporting) {
    browse(testDataFile("kunden-ansi.csv"), 0);
    click("Command8");
    drag(0, u"Karte");
    click("Command8");
    click("Command2");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(host.reloads, 0);
    EXPECT_EQ(CardStore::open(home.storeFile()).cardCount(), 1);
}

}  // namespace

TEST_F(ImportDialogTest, AfterARunThatBroughtDuplicatesTheFinishingPageOffersThem) {
    host.duplicates = 2;
    browse(testDataFile("kunden-ansi.csv"), 0);
    widget<QCheckBox>("Check2")->click();
    widget<QCheckBox>("Check1")->click();
    click("Command8");
    drag(0, u"Karte");
    click("Command8");
    click("Command8");
    EXPECT_TRUE(button("Command9")->isHidden());
    runImport();
    EXPECT_EQ(host.reloads, 1);
    ASSERT_FALSE(dialog.isNull()) << "the dialog stays open to say so";
    EXPECT_EQ(visiblePage(), 4);
    EXPECT_EQ(widget<QLabel>("Label13")->text(),
              "2 der importierten Karten gleichen Karten, die schon in der Kartei waren.");
    EXPECT_TRUE(button("Command1")->isHidden()) << "the run is not offered again";
    EXPECT_FALSE(backEnabled());
    EXPECT_EQ(button("Command2")->text(), "&Schließen");
    click("Command9");
    EXPECT_EQ(host.duplicatesShown, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}
