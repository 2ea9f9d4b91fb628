#include "mainwindow/CardEditor.h"
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
    const auto entry = listModel_->entry(current.row());
    if (storeLoaded_) {
        // When the shown card cannot be saved or the next one not read, the view keeps
        // what it showed, and the list its line.
        const auto keepShown = [this] {
            if (const auto shown = editor_->shownCardId()) {
                selectCard(*shown);
            }
        };
        if (!editor_->commit()) {
            keepShown();
            return;
        }
        std::optional<store::Card> card;
        guarded(QStringLiteral("Karte anzeigen"), [&] { card = store_->loadCard(entry.id); });
        if (!card || !editor_->showCard(*card)) {
            keepShown();
            return;
        }
    }
    ui_.label[6]->setText(QStringLiteral("Notizen zu:  ") + entry.heading);
    ui_.panel[3]->setText(QStringLiteral("Kategorie: ") + ui_.box(19)->text());
}

int MainWindow::rowOfCard(std::int64_t id) const {
    for (int row = 0; row < listModel_->count(); ++row) {
        if (listModel_->id(row) == id) {
            return row;
        }
    }
    return -1;
}

// Moves the list's current line to this card without showing it again.
void MainWindow::selectCard(std::int64_t id) {
    const int row = rowOfCard(id);
    const QSignalBlocker quiet(ui_.List1->selectionModel());
    ui_.List1->setCurrentIndex(row >= 0 ? listModel_->index(row) : QModelIndex());
    ui_.List1->viewport()->update();
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
