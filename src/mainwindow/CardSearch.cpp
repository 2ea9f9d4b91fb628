#include "mainwindow/CardEditor.h"
#include "mainwindow/CardList.h"
#include "mainwindow/FullTextSearch.h"
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
    if (store_) {
        fullText_->start(store_->file());
    }
}

void MainWindow::cancelFullTextBuild() {
    fullText_->cancel();
}

void MainWindow::fullTextChanged(std::int64_t id) {
    if (store_) {
        fullText_->changed(*store_, id);
    }
    undo_->refresh();
}

// The build has read every card: a list that showed the hits of a part is completed.
void MainWindow::fullTextBuilt() {
    Q_EMIT fullTextReady();
    if (fullTextPartial_ && fullTextArmed_ && store_ && !ui_.Text16->text().isEmpty()) {
        guarded(QStringLiteral("Volltextsuche"), [this] { VolltextSuchen(); });
    }
}

void MainWindow::VolltextSuchen() {
    // The search finds what was just typed into the shown card too.
    if (!store_ || !editor_->commit()) {
        return;
    }
    if (fullTextArmed_) {
        // Never waits for the build: until it is done, the hits among the cards read so far.
        const auto answer = fullText_->search(*store_, ui_.Text16->text());
        const auto& ids = answer.ids;
        if (!ids) {
            CardList::removeLastCharacter(ui_.Text16);
            return;
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
    }
    if (ui_.Text16->text().isEmpty()) {
        list_->showCount();
    }
}

void MainWindow::Text16_GotFocus() {
    if (ui_.Combo1->count() > 0) {
        ui_.Combo1->setCurrentIndex(0);
        Combo1_Click();
    }
}

void MainWindow::ImportCommand1() {
    if (!store_) {
        return;
    }
    list_->clear();
    list_->load();
    fullText_->restart(store_->file());
    if (ui_.Combo1->count() > 0) {
        ui_.Combo1->setCurrentIndex(0);
        Combo1_Click();
    }
    ui_.Text1->clear();
    undo_->refresh();
}

}  // namespace veltro::mainwindow
