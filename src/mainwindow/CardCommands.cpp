#include "maintenance/AssignCategoryDialog.h"
#include "maintenance/CardOperations.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/CardListModel.h"
#include "mainwindow/MainWindow.h"
#include "options/OptionsDialog.h"
#include "platform/Platform.h"
#include "richtext/RichTextBlock.h"
#include "store/Categories.h"
#include "store/StoreError.h"
#include "vcard/VcardExport.h"
#include "vcard/VcardWriter.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QSignalBlocker>

namespace veltro::mainwindow {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using store::Field;

namespace {

const QString kCannotCreate = QStringLiteral("...Karte/Adresse kann nicht angelegt werden !");

Answer tell(const QString& text, const QString& title, Icon icon, Buttons buttons = Buttons::Ok) {
    return platform::current().message({text, title, buttons, icon, 0});
}

QString newCardPrompt(const QString& category) {
    return QStringLiteral("Gewählte Kategorie:  ") + category + u'\n' + QString(36, u'_') +
           QStringLiteral(
               "\n\nGeben Sie hier eine Kartenüberschrift (Kopfzeile) ein. \n"
               "Das sollten Namen, Schlagworte, Begriffe etc. sein, \n"
               "mit denen Sie diese Karte/Adresse wiederfinden wollen.");
}

// Face, size, bold and italic; the text colour stays as it is.
void applyBlockFont(richtext::RichTextBlock* block, const QFont& chosen) {
    QFont font = block->font();
    font.setFamily(chosen.family());
    font.setPointSizeF(chosen.pointSizeF());
    font.setBold(chosen.bold());
    font.setItalic(chosen.italic());
    block->document()->setDefaultFont(font);
    block->setCurrentFont(font);
}

}  // namespace

void MainWindow::mnuNeuekarte() {
    changeFlag_ = true;
    const int entries = ui_.Combo1->count();
    if (ui_.Combo1->currentIndex() == 0 && entries > 1) {
        platform::current().beep();
        tell(
            QStringLiteral("Wählen Sie bitte zuerst eine Kategorie aus!\nIn der Kategorie  -Alle-  "
                           "kann keine Karte/Adresse angelegt werden.\n"),
            kCannotCreate, Icon::Exclamation);
        return;
    }
    if (entries <= 1) {
        tell(QStringLiteral("Es ist noch keine Kategorie angelegt!\nEin Karte/Adresse kann nur in "
                            "einer Kategorie gepeichert werden.\nWählen Sie deshalb aus dem [Menü, "
                            "Kategorie, Neu] und erstellen Sie\neine Kategorie!\n"),
             kCannotCreate, Icon::Exclamation);
        return;
    }
    ui_.Text16->clear();
    ui_.Text1->clear();
    Command1_Click();
    applyNewCardFonts();
}

void MainWindow::applyNewCardFonts() {
    applyBlockFont(ui_.RichTextBox1, optionsDialog().addressFont());
    applyBlockFont(ui_.RichTextBox2, optionsDialog().notesFont());
}

void MainWindow::Command1_Click() {
    // A new card is a change of the run, whichever way it was made.
    changeFlag_ = true;
    const QString category = ui_.Combo1->currentText();
    const QString heading = platform::current().input(
        {newCardPrompt(category), QStringLiteral("Neue Karte/Adresse "), QString()});
    if (category == store::kAllCategories || heading.isEmpty() || !store_ || !editor_->commit()) {
        return;
    }
    // The store first: when it fails, list and view stay as they were.
    const maintenance::NewCard result = maintenance::addCard(*store_, index_, heading, category);
    editor_->emptyView();
    listModel_->clear();
    if (!result.id) {
        if (result.clash) {
            showHeadingsUpTo(*result.clash);
        }
        tell(QStringLiteral("Vergeben Sie bitte für die neue Karte einen anderen Namen.  "),
             QStringLiteral("Karte schon vorhanden"), Icon::Information);
        return;
    }
    index_.insert({*result.id, heading, category});
    cardTotal_ = index_.size();
    fullTextChanged(*result.id);
    ui_.Text1->setText(heading);
    // The search text may match other cards first; the new card is the one shown.
    if (const int row = rowOfCard(*result.id); row >= 0) {
        ui_.List1->setCurrentIndex(listModel_->index(row));
    }
    ui_.box(18)->setFocus();
    ui_.panel[2]->setText(
        QStringLiteral("Karten: %1/%2").arg(listModel_->count()).arg(ui_.box(13)->text()));
}

void MainWindow::showHeadingsUpTo(std::int64_t lastId) {
    std::vector<std::int32_t> rows;
    for (std::int32_t i = 0; i < index_.size(); ++i) {
        if (index_.id(i) <= lastId) {
            rows.push_back(i);
        }
    }
    listModel_->setRows(std::move(rows));
}

void MainWindow::mnukarteRen() {
    changeFlag_ = true;
    const QModelIndex selected = ui_.List1->currentIndex();
    if (!selected.isValid()) {
        tell(QStringLiteral("Bitte markieren Sie eine Karte in der Liste!      "),
             QStringLiteral("Keine Karte ausgewählt."), Icon::Information);
        return;
    }
    const auto entry = listModel_->entry(selected.row());
    const QString name = platform::current().input(
        {QStringLiteral("Geben Sie einen neuen Namen, Schlagworte, Begriffe etc. ein \n"
                        "mit denen Sie diese Karte wiederfinden wollen"),
         QStringLiteral("Karte umbenennen"), entry.heading});
    if (name.isEmpty() || !store_) {
        return;
    }
    if (index_.idOfHeading(name)) {
        platform::current().beep();
        return;
    }
    // Exactly the selected card is renamed; the store first, then the list.
    maintenance::renameCard(*store_, entry.id, name, {});
    ui_.List1->setVisible(false);
    index_.rename(entry.id, name);
    fullTextChanged(entry.id);
    {
        const QSignalBlocker quietText16(ui_.Text16);
        const QSignalBlocker quietText1(ui_.Text1);
        ui_.Text16->clear();
        ui_.Text1->clear();
    }
    Text1_Change();
    const int row = std::min(selected.row(), listModel_->count() - 1);
    if (row >= 0) {
        ui_.List1->setCurrentIndex(listModel_->index(row));
        ui_.List1->scrollTo(listModel_->index(row), QAbstractItemView::PositionAtTop);
    }
    ui_.List1->setVisible(true);
    ui_.List1->setFocus();
}

void MainWindow::Command3_Click() {
    // A deletion is a change of the run, whichever way it was made.
    changeFlag_ = true;
    const QModelIndex selected = ui_.List1->currentIndex();
    if (!selected.isValid()) {
        tell(QStringLiteral("Keine Karte markiert\nBitte wählen Sie eine Karte aus der Liste."),
             QStringLiteral("Hinweis"), Icon::Information);
        return;
    }
    const auto entry = listModel_->entry(selected.row());
    if (tell(QStringLiteral("Soll die Karte '") + entry.heading +
                 QStringLiteral("' gelöscht werden?"),
             QStringLiteral("Karte löschen."), Icon::Question, Buttons::YesNo) != Answer::Yes) {
        return;
    }
    const int category = ui_.Combo1->currentIndex();
    if (!editor_->commit()) {
        return;
    }
    store_->deleteCard(entry.id);  // by its id: exactly the shown card; the store first
    editor_->emptyView();
    index_.remove(entry.id);
    cardTotal_ = index_.size();
    fullTextChanged(entry.id);
    listModel_->clear();
    {
        const QSignalBlocker quiet(ui_.Text1);
        ui_.Text1->clear();
    }
    ui_.Combo1->setCurrentIndex(category);
    Combo1_Click();
    setCountPanel(listModel_->count(), index_.size());
    ui_.box(2)->setFocus();
}

void MainWindow::mnukarteloschen() {
    changeFlag_ = true;
    Command3_Click();
    ui_.Text1->setFocus();
}

void MainWindow::copyCardAsVcard() {
    const QModelIndex selected = ui_.List1->currentIndex();
    if (!selected.isValid() || !store_) {
        tell(QStringLiteral("Bitte markieren Sie eine Karte in der Liste!      "),
             QStringLiteral("Keine Karte ausgewählt."), Icon::Information);
        return;
    }
    const std::int64_t id = listModel_->entry(selected.row()).id;
    const auto card = store_->loadCard(id);
    if (!card) {
        return;
    }
    const auto identity = vcard::cardIdentity(store_->db(), store_->file(), id);
    const QByteArray bytes = vcard::cardToVcard(*card, identity.uid, identity.rev);
    auto mime = std::make_unique<QMimeData>();
    mime->setData(QStringLiteral("text/vcard"), bytes);
    mime->setText(QString::fromUtf8(bytes));
    QApplication::clipboard()->setMimeData(mime.release());  // the clipboard owns it
}

void MainWindow::mnuKarteKategorie() {
    changeFlag_ = true;
    if (!store_) {
        return;
    }
    const QModelIndex selected = ui_.List1->currentIndex();
    const QString heading =
        selected.isValid() ? listModel_->entry(selected.row()).heading : QString();
    maintenance::AssignCategoryDialog dialog(store_->file(), heading, this);
    dialog.exec();
    reloadCardIndex();
    Combo1_Click();
}

}  // namespace veltro::mainwindow
