#include "mainwindow/CardListModel.h"
#include "mainwindow/FullTextIndex.h"
#include "mainwindow/MainWindow.h"
#include "richtext/RichTextBlock.h"
#include "store/StoreError.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>

namespace veltro::mainwindow {

using store::Field;

namespace {

// Box number → field, in the order the card view fills them.
struct BoxField {
    int box;
    Field field;
};
constexpr BoxField kShownFields[] = {
    {2, Field::Vorname},      {3, Field::Telefon},       {4, Field::Fax},
    {5, Field::Mobiltelefon}, {7, Field::Nachname},      {8, Field::Firma},
    {9, Field::Abteilung},    {10, Field::Strasse},      {11, Field::Postleitzahl},
    {12, Field::Ort},         {13, Field::Nr},           {14, Field::Vorwahl},
    {15, Field::Webseite},    {17, Field::EMailAdresse}, {18, Field::Anrede},
    {19, Field::Kategorien},
};

// The boxes a save writes back, with their fields; the two blocks follow.
constexpr BoxField kSavedFields[] = {
    {2, Field::Vorname},      {3, Field::Telefon},       {4, Field::Fax},
    {5, Field::Mobiltelefon}, {7, Field::Nachname},      {8, Field::Firma},
    {9, Field::Abteilung},    {10, Field::Strasse},      {11, Field::Postleitzahl},
    {12, Field::Ort},         {13, Field::Nr},           {14, Field::Vorwahl},
    {15, Field::Webseite},    {17, Field::EMailAdresse}, {18, Field::Anrede},
};

// Boxes locked while no card is shown (Text19 stays open for a new category's name).
constexpr int kLockableBoxes[] = {2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18};

}  // namespace

void MainWindow::List1_Click() {
    const QModelIndex current = ui_.List1->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const auto& entry = listModel_->entry(current.row());
    if (storeLoaded_) {
        std::optional<store::Card> card;
        try {
            card = store_->loadCard(entry.id);
        } catch (const store::StoreError&) {
        }
        if (!card) {
            return;  // the view keeps what it showed
        }
        shownCardId_ = card->id;
        showingCard_ = true;
        for (const auto& [box, field] : kShownFields) {
            ui_.box(box)->clear();
            ui_.box(box)->setText(card->text(field));
        }
        showingCard_ = false;
        ui_.RichTextBox1->setRtfText(card->text(Field::Anschrift));
        ui_.RichTextBox2->setRtfText(card->text(Field::Notizen));
    }
    ui_.label[6]->setText(QStringLiteral("Notizen zu:  ") + entry.heading);
    ui_.panel[3]->setText(QStringLiteral("Kategorie: ") + ui_.box(19)->text());
}

void MainWindow::EingabefelderEinschalten() {
    for (const int box : kLockableBoxes) {
        ui_.box(box)->setReadOnly(false);
    }
    ui_.box(19)->setReadOnly(false);
    ui_.RichTextBox1->setReadOnly(false);
    ui_.RichTextBox2->setReadOnly(false);
}

void MainWindow::KeineKarteAnzeigen() {
    shownCardId_.reset();
    for (const int box : kLockableBoxes) {
        ui_.box(box)->clear();
        ui_.box(box)->setReadOnly(true);
    }
    ui_.box(19)->clear();
    ui_.RichTextBox1->clear();
    ui_.RichTextBox1->setReadOnly(true);
    ui_.RichTextBox2->clear();
    ui_.RichTextBox2->setReadOnly(true);
}

store::Card MainWindow::shownCardForPrint() const {
    store::Card card;
    for (const auto& [box, field] : kShownFields) {
        card.set(field, ui_.box(box)->text());
    }
    card.set(Field::Anschrift, ui_.RichTextBox1->rtfText());
    card.set(Field::Notizen, ui_.RichTextBox2->rtfText());
    return card;
}

std::vector<std::pair<Field, QString>> MainWindow::shownFields() const {
    std::vector<std::pair<Field, QString>> values;
    for (const auto& [box, field] : kSavedFields) {
        values.emplace_back(field, ui_.box(box)->text());
    }
    values.emplace_back(Field::Anschrift, ui_.RichTextBox1->rtfText());
    values.emplace_back(Field::Notizen, ui_.RichTextBox2->rtfText());
    return values;
}

void MainWindow::Command2_Click() {
    // Only a shown card is written; a no-card state must never blank a stored card.
    if (!storeLoaded_ || !shownCardId_ || !store_) {
        return;
    }
    changeFlag_ = true;
    const auto values = shownFields();
    try {
        store_->writeFields(*shownCardId_, values);
        fullTextChanged(*shownCardId_);
    } catch (const store::StoreError&) {
        // Saving reports nothing; the fields stay as typed.
    }
}

}  // namespace veltro::mainwindow
