#include "mainwindow/CardList.h"

#include "mainwindow/CardEditor.h"
#include "mainwindow/CardListModel.h"
#include "mainwindow/MainWindowUi.h"
#include "store/CardStore.h"
#include "store/Categories.h"
#include "store/LikePattern.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>

#include <utility>

namespace veltro::mainwindow {

namespace {
const QString kNoCard = QStringLiteral("Keine Karte vorhanden !");
}  // namespace

CardList::CardList(MainWindowUi& ui, CardEditor& editor, session::Session& session, QObject* parent)
    : ui_(ui),
      editor_(editor),
      session_(session),
      model_(new CardListModel(session.index(), parent)) {}

void CardList::fillCategorySelector() {
    ui_.Combo1->clear();
    ui_.Combo1->addItem(store::kAllCategories);
    for (const QString& name : session_.store().categories()) {
        ui_.Combo1->addItem(name);
    }
}

void CardList::showCategory() {
    {
        const QSignalBlocker quiet(ui_.Text1);
        ui_.Text1->clear();
    }
    filter();
}

void CardList::filter() {
    if (!session_.isOpen()) {
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
    auto rows = index().filter(store::CategoryFilter(category), *pattern);
    editor_.unlockBoxes();
    if (rows.empty()) {
        model_->clear();
        editor_.showNoCard();
        setCountPanel(0, total());
        ui_.label[6]->setText(kNoCard);
        ui_.panel[4]->setText(kNoCard);
        return;
    }
    showRows(std::move(rows));
    selectFirstLine();
    ui_.label[6]->setText(QStringLiteral("Notizen zu:  ") + model_->entry(0).heading);
    setCountPanel(model_->count(), total());
    ui_.panel[3]->setText(QStringLiteral("Kategorie: ") + ui_.box(19)->text());
    ui_.panel[4]->setText(QStringLiteral(" "));
}

void CardList::showCount() {
    setCountPanel(model_->count(), total());
}

void CardList::setCountPanel(int lines, std::int64_t cards) {
    ui_.panel[2]->setText(QStringLiteral("Karten: %1/%2").arg(lines).arg(cards));
}

void CardList::showRows(std::vector<std::int32_t> rows) {
    model_->setRows(std::move(rows));
}

void CardList::showHeadingsUpTo(std::int64_t lastId) {
    std::vector<std::int32_t> rows;
    for (std::int32_t i = 0; i < index().size(); ++i) {
        if (index().id(i) <= lastId) {
            rows.push_back(i);
        }
    }
    model_->setRows(std::move(rows));
}

void CardList::selectFirstLine() {
    ui_.List1->setCurrentIndex(QModelIndex());
    ui_.List1->setCurrentIndex(model_->index(0));
}

void CardList::clear() {
    model_->clear();
}

void CardList::aroundReload(const std::function<void()>& change) {
    clear();
    try {
        change();
    } catch (...) {
        filter();
        throw;
    }
}

std::optional<store::CardIndex::Entry> CardList::selectedEntry() const {
    const QModelIndex selected = ui_.List1->currentIndex();
    if (!selected.isValid()) {
        return std::nullopt;
    }
    return model_->entry(selected.row());
}

int CardList::rowOfCard(std::int64_t id) const {
    for (int row = 0; row < model_->count(); ++row) {
        if (model_->id(row) == id) {
            return row;
        }
    }
    return -1;
}

void CardList::selectCard(std::int64_t id) {
    const int row = rowOfCard(id);
    const QSignalBlocker quiet(ui_.List1->selectionModel());
    ui_.List1->setCurrentIndex(row >= 0 ? model_->index(row) : QModelIndex());
    ui_.List1->viewport()->update();
}

void CardList::removeLastCharacter(QLineEdit* box) {
    QString text = box->text();
    text.chop(1);
    box->setText(text);  // its change step runs again with the shorter text
    box->setCursorPosition(static_cast<int>(text.size()));
}

}  // namespace veltro::mainwindow
