#include "mainwindow/CardCommands.h"

#include "duplicates/DuplicateFinder.h"
#include "maintenance/AssignCategoryDialog.h"
#include "maintenance/CardOperations.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/CardList.h"
#include "mainwindow/CardListModel.h"
#include "mainwindow/MainWindowUi.h"
#include "platform/Platform.h"
#include "store/CardExtrasTable.h"
#include "store/Categories.h"
#include "vcard/VcardExport.h"
#include "vcard/VcardWriter.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalBlocker>

namespace veltro::mainwindow {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

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

}  // namespace

bool CardCommands::newCardFromMenu() {
    c_.session.markChanged();
    const int entries = c_.ui.Combo1->count();
    if (c_.ui.Combo1->currentIndex() == 0 && entries > 1) {
        platform::current().beep();
        tell(
            QStringLiteral("Wählen Sie bitte zuerst eine Kategorie aus!\nIn der Kategorie  -Alle-  "
                           "kann keine Karte/Adresse angelegt werden.\n"),
            kCannotCreate, Icon::Exclamation);
        return false;
    }
    if (entries <= 1) {
        tell(QStringLiteral("Es ist noch keine Kategorie angelegt!\nEin Karte/Adresse kann nur in "
                            "einer Kategorie gepeichert werden.\nWählen Sie deshalb aus dem [Menü, "
                            "Kategorie, Neu] und erstellen Sie\neine Kategorie!\n"),
             kCannotCreate, Icon::Exclamation);
        return false;
    }
    c_.ui.Text16->clear();
    c_.ui.Text1->clear();
    newCard();
    return true;
}

void CardCommands::newCard() {
    // A new card is a change of the run, whichever way it was made.
    c_.session.markChanged();
    const QString category = c_.ui.Combo1->currentText();
    const QString heading = platform::current().input(
        {newCardPrompt(category), QStringLiteral("Neue Karte/Adresse "), QString()});
    if (!store::isTargetCategory(category) || heading.isEmpty() || !c_.storeOpen() ||
        !c_.editor.commit()) {
        return;
    }
    if (!confirmSimilarHeading(heading)) {
        return;
    }
    // The store first: when it fails, list and view stay as they were.
    const maintenance::NewCard result = c_.session.addCard(heading, category);
    c_.editor.emptyView();
    c_.list.clear();
    if (!result.id) {
        if (result.clash) {
            c_.list.showHeadingsUpTo(*result.clash);
        }
        tell(QStringLiteral("Vergeben Sie bitte für die neue Karte einen anderen Namen.  "),
             QStringLiteral("Karte schon vorhanden"), Icon::Information);
        return;
    }
    c_.ui.Text1->setText(heading);
    // The search text may match other cards first; the new card is the one shown.
    if (const int row = c_.list.rowOfCard(*result.id); row >= 0) {
        c_.ui.List1->setCurrentIndex(c_.list.model().index(row));
    }
    c_.ui.box(18)->setFocus();
    c_.ui.panel[2]->setText(
        QStringLiteral("Karten: %1/%2").arg(c_.list.model().count()).arg(c_.ui.box(13)->text()));
}

bool CardCommands::confirmSimilarHeading(const QString& heading) {
    // An equal heading is refused below; one that differs only in spelling is asked about.
    if (c_.list.index().idOfHeading(heading)) {
        return true;
    }
    const auto similar = duplicates::cardWithSimilarHeading(c_.list.index(), heading);
    if (!similar) {
        return true;
    }
    const auto position = c_.list.index().positionOf(*similar);
    const QString existing = position ? c_.list.index().heading(*position) : QString();
    return tell(QStringLiteral("Es gibt schon eine Karte mit fast gleicher Überschrift:\n\n"
                               "„%1“\n\nSoll die neue Karte „%2“ trotzdem angelegt werden?")
                    .arg(existing, heading),
                QStringLiteral("Neue Karte/Adresse "), Icon::Question,
                Buttons::YesNo) == Answer::Yes;
}

void CardCommands::tellNoneSelected() {
    tell(QStringLiteral("Bitte markieren Sie eine Karte in der Liste!      "),
         QStringLiteral("Keine Karte ausgewählt."), Icon::Information);
}

void CardCommands::rename() {
    c_.session.markChanged();
    const QModelIndex selected = c_.ui.List1->currentIndex();
    const auto entry = c_.list.selectedEntry();
    if (!entry) {
        tellNoneSelected();
        return;
    }
    const QString name = platform::current().input(
        {QStringLiteral("Geben Sie einen neuen Namen, Schlagworte, Begriffe etc. ein \n"
                        "mit denen Sie diese Karte wiederfinden wollen"),
         QStringLiteral("Karte umbenennen"), entry->heading});
    if (name.isEmpty() || !c_.storeOpen()) {
        return;
    }
    // Exactly the selected card is renamed; the store first, then the list.
    if (!c_.session.renameCard(entry->id, name)) {
        platform::current().beep();
        return;
    }
    c_.ui.List1->setVisible(false);
    {
        const QSignalBlocker quietText16(c_.ui.Text16);
        const QSignalBlocker quietText1(c_.ui.Text1);
        c_.ui.Text16->clear();
        c_.ui.Text1->clear();
    }
    c_.list.filter();
    const int row = std::min(selected.row(), c_.list.model().count() - 1);
    if (row >= 0) {
        const QModelIndex line = c_.list.model().index(row);
        c_.ui.List1->setCurrentIndex(line);
        c_.ui.List1->scrollTo(line, QAbstractItemView::PositionAtTop);
    }
    c_.ui.List1->setVisible(true);
    c_.ui.List1->setFocus();
}

void CardCommands::remove() {
    // A deletion is a change of the run, whichever way it was made.
    c_.session.markChanged();
    const auto entry = c_.list.selectedEntry();
    if (!entry) {
        tell(QStringLiteral("Keine Karte markiert\nBitte wählen Sie eine Karte aus der Liste."),
             QStringLiteral("Hinweis"), Icon::Information);
        return;
    }
    if (tell(QStringLiteral("Soll die Karte '") + entry->heading +
                 QStringLiteral("' gelöscht werden?"),
             QStringLiteral("Karte löschen."), Icon::Question, Buttons::YesNo) != Answer::Yes) {
        return;
    }
    const int category = c_.ui.Combo1->currentIndex();
    if (!c_.storeOpen() || !c_.editor.commit()) {
        return;
    }
    c_.session.deleteCard(entry->id);  // by its id: exactly the shown card; the store first
    c_.editor.emptyView();
    c_.list.clear();
    {
        const QSignalBlocker quiet(c_.ui.Text1);
        c_.ui.Text1->clear();
    }
    c_.ui.Combo1->setCurrentIndex(category);
    c_.list.showCategory();
    c_.list.showCount();
    c_.ui.box(2)->setFocus();
}

void CardCommands::copyAsVcard() {
    const auto entry = c_.list.selectedEntry();
    if (!entry || !c_.storeOpen()) {
        tellNoneSelected();
        return;
    }
    store::CardStore& store = c_.session.store();
    const auto card = store.loadCard(entry->id);
    if (!card) {
        return;
    }
    const auto identity = vcard::cardIdentity(store.db(), store.file(), entry->id);
    const QByteArray bytes =
        vcard::cardToVcard(*card, identity.uid, identity.rev, vcard::Version::V3,
                           store::loadCardExtras(store.db(), entry->id));
    auto mime = std::make_unique<QMimeData>();
    mime->setData(QStringLiteral("text/vcard"), bytes);
    mime->setText(QString::fromUtf8(bytes));
    QApplication::clipboard()->setMimeData(mime.release());  // the clipboard owns it
}

void CardCommands::assignCategory() {
    c_.session.markChanged();
    if (!c_.storeOpen()) {
        return;
    }
    const auto entry = c_.list.selectedEntry();
    maintenance::AssignCategoryDialog dialog(c_.session.storeFile(),
                                             entry ? entry->heading : QString(), c_.window);
    const bool chosen = dialog.exec() == QDialog::Accepted && entry &&
                        store::isTargetCategory(dialog.chosenCategory());
    c_.list.aroundReload([&] {
        if (chosen) {
            c_.session.assignCategory(entry->heading, dialog.chosenCategory());
        } else {
            c_.session.reloadIndexes();
        }
    });
    c_.list.showCategory();
}

}  // namespace veltro::mainwindow
