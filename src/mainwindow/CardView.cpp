#include "mainwindow/CardEditor.h"
#include "mainwindow/CardList.h"
#include "mainwindow/CardListModel.h"
#include "mainwindow/MainWindow.h"
#include "store/StoreError.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace veltro::mainwindow {

std::optional<std::int64_t> MainWindow::shownCardId() const {
    return editor_->shownCardId();
}

void MainWindow::List1_Click() {
    const QModelIndex current = ui_.List1->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const auto entry = list_->model().entry(current.row());
    if (storeLoaded_) {
        // When the shown card cannot be saved or the next one not read, the view keeps
        // what it showed, and the list its line.
        const auto keepShown = [this] {
            if (const auto shown = editor_->shownCardId()) {
                list_->selectCard(*shown);
            }
        };
        if (!editor_->commit()) {
            keepShown();
            return;
        }
        std::optional<store::Card> card;
        guarded(QStringLiteral("Karte anzeigen"),
                [&] { card = session_->store().loadCard(entry.id); });
        if (!card || !editor_->showCard(*card)) {
            keepShown();
            return;
        }
    }
    ui_.label[6]->setText(QStringLiteral("Notizen zu:  ") + entry.heading);
    ui_.panel[3]->setText(QStringLiteral("Kategorie: ") + ui_.box(19)->text());
}

void MainWindow::EingabefelderEinschalten() {
    editor_->unlockBoxes();
}

void MainWindow::KeineKarteAnzeigen() {
    editor_->showNoCard();
}

store::Card MainWindow::shownCardForPrint() const {
    return editor_->viewedCard();
}

void MainWindow::Command2_Click() {
    editor_->save();
}

}  // namespace veltro::mainwindow
