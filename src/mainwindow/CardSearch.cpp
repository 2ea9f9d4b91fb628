#include "mainwindow/CardEditor.h"
#include "mainwindow/CardList.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/UndoCommands.h"
#include "store/Categories.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "store/StoreError.h"

#include <unordered_set>
#include <utility>

namespace veltro::mainwindow {

void MainWindow::Combo1_Click() {
    list_->showCategory();
}

void MainWindow::Text1_Change() {
    list_->filter();
}

void MainWindow::Text1_KeyUp() {
    list_->showCount();
}

void MainWindow::startFullTextBuild() {
    if (session_->isOpen()) {
        session_->fullText().start(session_->storeFile());
    }
}

void MainWindow::cancelFullTextBuild() {
    session_->fullText().cancel();
}

void MainWindow::fullTextChanged(std::int64_t id) {
    session_->cardWritten(id);
    undo_->refresh();
}

// The build has read every card: a list that showed the hits of a part is completed.
void MainWindow::fullTextBuilt() {
    Q_EMIT fullTextReady();
    if (fullTextPartial_ && fullTextArmed_ && session_->isOpen() && !ui_.Text16->text().isEmpty()) {
        guarded(QStringLiteral("Volltextsuche"), [this] { VolltextSuchen(); });
    }
}

void MainWindow::VolltextSuchen() {
    // The search finds what was just typed into the shown card too.
    if (!session_->isOpen() || !editor_->commit()) {
        return;
    }
    if (fullTextArmed_ && !showFullTextHits(ui_.Text16->text())) {
        CardList::removeLastCharacter(ui_.Text16);
        return;
    }
    if (ui_.Text16->text().isEmpty()) {
        list_->showCount();
    }
}

void MainWindow::findCardsHolding(const QString& text) {
    if (session_->isOpen() && editor_->commit()) {
        showFullTextHits(text);
    }
}

bool MainWindow::showFullTextHits(const QString& text) {
    // Never waits for the build: until it is done, the hits among the cards read so far.
    const auto answer = session_->fullText().search(session_->store(), text);
    const auto& ids = answer.ids;
    if (!ids) {
        return false;
    }
    fullTextPartial_ = !answer.complete;
    ui_.List1->setVisible(false);
    list_->clear();
    std::vector<std::int32_t> rows;
    for (std::int32_t i = 0; i < list_->index().size(); ++i) {
        if (ids->contains(list_->index().id(i))) {
            rows.push_back(i);
        }
    }
    EingabefelderEinschalten();
    const bool found = !rows.empty();
    list_->showRows(std::move(rows));
    ui_.List1->setVisible(true);
    if (!found) {
        KeineKarteAnzeigen();
    } else {
        list_->selectFirstLine();
    }
    list_->showCount();
    Q_EMIT fullTextShown(answer.complete);
    return true;
}

void MainWindow::Text16_GotFocus() {
    if (ui_.Combo1->count() > 0) {
        ui_.Combo1->setCurrentIndex(0);
        Combo1_Click();
    }
}

void MainWindow::ImportCommand1() {
    if (!session_->isOpen()) {
        return;
    }
    list_->clear();
    session_->reloadIndexes();
    showReloadedCards();
}

void MainWindow::showReloadedCards() {
    list_->clear();
    if (ui_.Combo1->count() > 0) {
        ui_.Combo1->setCurrentIndex(0);
        Combo1_Click();
    }
    ui_.Text1->clear();
    undo_->refresh();
}

}  // namespace veltro::mainwindow
