// The labels, envelope and list dialogs: what they offer, what they print, and when they refuse.
#include "RecordingPlatform.h"
#include "TestTools.h"

#include "labels/EnvelopeDialog.h"
#include "labels/LabelsDialog.h"
#include "labels/ListColumns.h"
#include "labels/ListPrintDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace veltro;
using namespace veltro::labels;
using namespace Qt::Literals::StringLiterals;
using store::Field;
using veltro::testing::childNamed;
using veltro::testing::fileBytes;

namespace {

store::Card card(const QString& heading, const QString& address) {
    store::Card made;
    made.set(Field::Schlagworte, heading);
    made.set(Field::Anschrift, address);
    return made;
}

CardSet someCards(int count) {
    CardSet set{u"Kategorie „Privat“"_s, {}};
    for (int i = 0; i < count; ++i) {
        set.cards.push_back(card(u"Karte %1"_s.arg(i), u"Frau\nAnna %1\n96047 Bamberg"_s.arg(i)));
    }
    return set;
}

class Dialogs : public ::testing::Test {
protected:
    veltro::testing::ScopedRecordingPlatform platform_;
    QPrinter printer_;
    QTemporaryDir dir_;
};

TEST_F(Dialogs, LabelsComeFromTheChosenCardsAndSayWhatWasCut) {
    CardSet category = someCards(5);
    category.cards.push_back(card(u"Lang"_s, QString(200, u'x')));
    CardSet found{u"Karten der Liste"_s, {category.cards[1]}};
    LabelsDialog dialog(category, found, printer_, nullptr);
    // The list narrowed by a search is what the user most likely means.
    EXPECT_EQ(dialog.chosenCards().size(), 1u);
    auto* cards = childNamed<QComboBox>(dialog, "cmbKarten");
    cards->setCurrentIndex(0);
    EXPECT_EQ(dialog.chosenCards().size(), 6u);
    EXPECT_TRUE(dialog.note().contains(u"Lang"_s)) << dialog.note().toStdString();

    cards->setCurrentIndex(2);
    EXPECT_TRUE(dialog.chosenCards().empty());
    EXPECT_FALSE(childNamed<QPushButton>(dialog, "cmdPdf")->isEnabled());
    auto* ticks = childNamed<QListWidget>(dialog, "lstKarten");
    ticks->item(0)->setCheckState(Qt::Checked);
    ticks->item(3)->setCheckState(Qt::Checked);
    const auto ticked = dialog.chosenCards();
    ASSERT_EQ(ticked.size(), 2u);
    EXPECT_EQ(ticked[1].text(Field::Schlagworte), u"Karte 3"_s);
    EXPECT_TRUE(childNamed<QPushButton>(dialog, "cmdPdf")->isEnabled());
    EXPECT_EQ(dialog.note(), u"2 Etiketten auf 1 Bogen."_s);

    childNamed<QSpinBox>(dialog, "spnStart")->setValue(24);
    EXPECT_EQ(dialog.note(), u"2 Etiketten auf 2 Bogen."_s);
    EXPECT_EQ(dialog.options().start, 24);
}

TEST_F(Dialogs, ThePreviewOfAGreatManyLabelsShowsTheFirstSheetsOnly) {
    LabelsDialog dialog(someCards(700), someCards(700), printer_, nullptr);
    EXPECT_EQ(dialog.note(), u"700 Etiketten. Die Vorschau zeigt die ersten 20 Bogen."_s);
    childNamed<QComboBox>(dialog, "cmbBogen")->setCurrentIndex(6);  // 4780: 40 a sheet
    EXPECT_EQ(dialog.note(), u"700 Etiketten auf 18 Bogen."_s);
}

TEST_F(Dialogs, AnOwnSheetThatDoesNotFitCannotBePrinted) {
    LabelsDialog dialog(someCards(3), someCards(3), printer_, nullptr);
    auto* sheets = childNamed<QComboBox>(dialog, "cmbBogen");
    sheets->setCurrentIndex(sheets->count() - 1);
    EXPECT_EQ(dialog.options().sheet.id, kCustomSheetId);
    childNamed<QSpinBox>(dialog, "spnSpalten")->setValue(4);
    EXPECT_TRUE(dialog.note().contains(u"rechts über das Blatt"_s)) << dialog.note().toStdString();
    EXPECT_FALSE(childNamed<QPushButton>(dialog, "cmdDrucken")->isEnabled());
    childNamed<QDoubleSpinBox>(dialog, "spnBreite")->setValue(50.0);
    EXPECT_TRUE(childNamed<QPushButton>(dialog, "cmdDrucken")->isEnabled());
    EXPECT_EQ(dialog.options().sheet.count(), 32);
    // The start position cannot go past the last label of the sheet.
    EXPECT_EQ(childNamed<QSpinBox>(dialog, "spnStart")->maximum(), 32);
}

TEST_F(Dialogs, SavedAndPrintedPagesLeaveThePrinterAsItWas) {
    LabelsDialog dialog(someCards(30), someCards(30), printer_, nullptr);
    const QString pdf = dir_.filePath(u"etiketten"_s);
    platform_->files.push_back(platform::FileResult{pdf, 0});
    dialog.savePdf();
    EXPECT_TRUE(fileBytes(pdf + u".pdf"_s).startsWith("%PDF-"));

    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(dir_.filePath(u"gedruckt.pdf"_s));
    printer_.setPageSize(QPageSize(QPageSize::Letter));
    dialog.printPages();
    EXPECT_EQ(platform_->printerSetups, 1);
    EXPECT_TRUE(QFile::exists(dir_.filePath(u"gedruckt.pdf"_s)));
    EXPECT_EQ(printer_.pageLayout().pageSize().id(), QPageSize::Letter);

    // A file that cannot be written is said so.
    platform_->files.push_back(platform::FileResult{dir_.filePath(u"fehlt/x.pdf"_s), 0});
    dialog.savePdf();
    ASSERT_EQ(platform_->messages.size(), 1u);
    EXPECT_TRUE(platform_->messages[0].text.contains(u"lässt sich nicht schreiben"_s));
}

TEST_F(Dialogs, EnvelopesOfferFormsOnlyWhereTheyExistAndTheSenderOnlyWhenSet) {
    CardSet shown{u"Angezeigte Karte"_s, {card(u"A"_s, u"Frau\nAnna"_s)}};
    EnvelopeDialog without(shown, someCards(2), QString(), printer_, nullptr);
    EXPECT_FALSE(childNamed<QCheckBox>(without, "chkAbsender")->isEnabled());
    EXPECT_TRUE(without.options().sender.isEmpty());
    EXPECT_FALSE(childNamed<QRadioButton>(without, "optFormA")->isEnabled());

    EnvelopeDialog dialog(shown, someCards(2), u"  Max  Muster, Bamberg "_s, printer_, nullptr);
    EXPECT_EQ(dialog.options().sender, u"Max Muster, Bamberg"_s);
    auto* formats = childNamed<QComboBox>(dialog, "cmbFormat");
    formats->setCurrentIndex(formats->findData(u"C5"_s));
    EXPECT_TRUE(childNamed<QRadioButton>(dialog, "optFormA")->isEnabled());
    childNamed<QRadioButton>(dialog, "optFormA")->setChecked(true);
    EXPECT_EQ(dialog.options().form, LetterForm::A);
    childNamed<QCheckBox>(dialog, "chkGedreht")->setChecked(true);
    EXPECT_EQ(envelopePage(dialog.options()), (SizeMm{162, 229}));
    EXPECT_EQ(dialog.note(), u"1 Umschlag."_s);
    childNamed<QComboBox>(dialog, "cmbKarten")->setCurrentIndex(1);
    EXPECT_EQ(dialog.note(), u"2 Umschläge."_s);
}

TEST_F(Dialogs, TheListPrintsTheTickedColumnsInTheirOrder) {
    ListPrintDialog dialog(someCards(120), printer_, nullptr);
    EXPECT_EQ(dialog.options().columns, defaultListColumns());
    auto* columns = childNamed<QListWidget>(dialog, "lstSpalten");
    for (int row = 0; row < columns->count(); ++row) {
        columns->item(row)->setCheckState(Qt::Unchecked);
    }
    EXPECT_FALSE(childNamed<QPushButton>(dialog, "cmdPdf")->isEnabled());
    EXPECT_EQ(dialog.note(), u"Keine Spalte gewählt."_s);
    columns->item(0)->setCheckState(Qt::Checked);
    EXPECT_TRUE(dialog.note().startsWith(u"120 Karten auf "_s)) << dialog.note().toStdString();
    childNamed<QRadioButton>(dialog, "optQuer")->setChecked(true);
    EXPECT_TRUE(dialog.options().landscape);
}

}  // namespace
