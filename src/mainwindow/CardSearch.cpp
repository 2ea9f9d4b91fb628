#include "mainwindow/CardEditor.h"
#include "mainwindow/CardListModel.h"
#include "mainwindow/FullTextSearch.h"
#include "mainwindow/MainWindow.h"
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

namespace {
const QString kNoCard = QStringLiteral("Keine Karte vorhanden !");
}  // namespace

void MainWindow::Combo1_Click() {
    {
        const QSignalBlocker quiet(ui_.Text1);
        ui_.Text1->clear();
    }
    Text1_Change();
}

void MainWindow::setCountPanel(int lines, std::int64_t total) {
    ui_.panel[2]->setText(QStringLiteral("Karten: %1/%2").arg(lines).arg(total));
}

void MainWindow::selectFirstLine() {
    ui_.List1->setCurrentIndex(QModelIndex());
    ui_.List1->setCurrentIndex(listModel_->index(0));
}

void MainWindow::showRows(std::vector<std::int32_t> rows) {
    listModel_->setRows(std::move(rows));
}

void MainWindow::Text1_Change() {
    if (!store_) {
        return;
    }
    {
        const QSignalBlocker quiet(ui_.Text16);
        ui_.Text16->clear();
    }
    const auto pattern = store::LikePattern::compile(u'*' + ui_.Text1->text() + u'*');
    if (!pattern) {
        removeLastCharacter(ui_.Text1);
        return;
    }
    const QString category = ui_.Combo1->currentText();
    auto rows = index_.filter(
        category == store::kAllCategories ? std::nullopt : std::optional<QString>(category),
        *pattern);
    EingabefelderEinschalten();
    cardTotal_ = index_.size();
    if (rows.empty()) {
        listModel_->clear();
        KeineKarteAnzeigen();
        setCountPanel(0, cardTotal_);
        ui_.label[6]->setText(kNoCard);
        ui_.panel[4]->setText(kNoCard);
        return;
    }
    showRows(std::move(rows));
    selectFirstLine();
    ui_.label[6]->setText(QStringLiteral("Notizen zu:  ") + listModel_->entry(0).heading);
    setCountPanel(listModel_->count(), cardTotal_);
    ui_.panel[3]->setText(QStringLiteral("Kategorie: ") + ui_.box(19)->text());
    ui_.panel[4]->setText(QStringLiteral(" "));
}

void MainWindow::Text1_KeyUp() {
    setCountPanel(listModel_->count(), index_.size());
}

void MainWindow::removeLastCharacter(QLineEdit* box) {
    QString text = box->text();
    text.chop(1);
    box->setText(text);  // its change step runs again with the shorter text
    box->setCursorPosition(static_cast<int>(text.size()));
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
            removeLastCharacter(ui_.Text16);
            return;
        }
        fullTextPartial_ = !answer.complete;
        ui_.List1->setVisible(false);
        listModel_->clear();
        std::vector<std::int32_t> rows;
        for (std::int32_t i = 0; i < index_.size(); ++i) {
            if (ids->contains(index_.id(i))) {
                rows.push_back(i);
            }
        }
        EingabefelderEinschalten();
        const bool found = !rows.empty();
        showRows(std::move(rows));
        ui_.List1->setVisible(true);
        if (!found) {
            KeineKarteAnzeigen();
        } else {
            selectFirstLine();
        }
        setCountPanel(listModel_->count(), index_.size());
        Q_EMIT fullTextShown(answer.complete);
    }
    if (ui_.Text16->text().isEmpty()) {
        setCountPanel(listModel_->count(), index_.size());
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
    listModel_->clear();
    loadCardIndex();
    fullText_->restart(store_->file());
    if (ui_.Combo1->count() > 0) {
        ui_.Combo1->setCurrentIndex(0);
        Combo1_Click();
    }
    ui_.Text1->clear();
}

}  // namespace veltro::mainwindow
