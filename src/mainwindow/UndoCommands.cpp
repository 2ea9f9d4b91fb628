#include "mainwindow/UndoCommands.h"

#include "mainwindow/CardEditor.h"
#include "mainwindow/CardList.h"
#include "mainwindow/CardListModel.h"
#include "mainwindow/MainWindowUi.h"
#include "platform/Platform.h"
#include "store/CaseFold.h"
#include "store/Categories.h"
#include "store/StoreError.h"

#include <QAction>
#include <QComboBox>
#include <QListView>

#include <unordered_set>

namespace veltro::mainwindow {

namespace {

// Beyond this many cards the indexes are read again rather than changed card by card.
constexpr std::size_t kCardByCard = 200;

void name(QAction* entry, const QString& text, const std::optional<QString>& step) {
    entry->setText(step ? text + QStringLiteral(": ") + *step : text);
    entry->setEnabled(step.has_value());
}

}  // namespace

UndoCommands::UndoCommands(CommandContext context, QAction* undo, QAction* redo)
    : c_(context), undo_(undo), redo_(redo) {
    refresh();
}

void UndoCommands::refresh() {
    std::optional<QString> undoName;
    std::optional<QString> redoName;
    if (c_.storeOpen()) {
        try {
            undoName = c_.session.undoName();
            redoName = c_.session.redoName();
        } catch (const store::StoreError&) {
            // Both stay off; the next command says what is wrong with the store.
        }
    }
    // What is typed into the shown card becomes a step of its own before any command.
    if (c_.editor.hasPendingEdit()) {
        undoName = kEditStep;
        redoName.reset();
    }
    name(undo_, QStringLiteral("&Rückgängig"), undoName);
    name(redo_, QStringLiteral("&Wiederholen"), redoName);
}

// The list lets go of the index first: a step over many cards reads it again.
void UndoCommands::undo() {
    std::optional<store::StepChanges> changes;
    if (c_.storeOpen() && c_.session.undoName()) {
        c_.list.aroundReload([&] { changes = c_.session.undo(); });
    }
    turn(changes);
}

void UndoCommands::redo() {
    std::optional<store::StepChanges> changes;
    if (c_.storeOpen() && c_.session.redoName()) {
        c_.list.aroundReload([&] { changes = c_.session.redo(); });
    }
    turn(changes);
}

void UndoCommands::turn(const std::optional<store::StepChanges>& changes) {
    if (changes) {
        follow(*changes);
    } else {
        platform::current().beep();
    }
    refresh();
}

// The first card of the step that is there now is shown: a deleted card comes back into
// view; a step that only removed cards leaves the view on its category.
void UndoCommands::follow(const store::StepChanges& changes) {
    if (changes.categories || changes.cards.size() > kCardByCard) {
        showCategories();
    }
    if (const auto id = firstListed(changes.cards)) {
        showCard(*id);
    } else {
        c_.list.showCategory();
    }
}

// The card of the lowest row id among these that the list holds now.
std::optional<std::int64_t> UndoCommands::firstListed(const std::vector<std::int64_t>& ids) const {
    const store::CardIndex& index = c_.list.index();
    if (ids.size() <= kCardByCard) {
        for (const std::int64_t id : ids) {
            if (index.positionOf(id)) {
                return id;
            }
        }
        return std::nullopt;
    }
    // Many cards: one pass over the list instead of a search for each.
    const std::unordered_set<std::int64_t> wanted(ids.begin(), ids.end());
    std::optional<std::int64_t> first;
    for (std::int32_t i = 0; i < index.size(); ++i) {
        const std::int64_t id = index.id(i);
        if ((!first || id < *first) && wanted.contains(id)) {
            first = id;
        }
    }
    return first;
}

// The category selector as the store has it now, on the category it showed if that is left.
void UndoCommands::showCategories() {
    const QString category = c_.ui.Combo1->currentText();
    c_.list.fillCategorySelector();
    const int kept = c_.ui.Combo1->findText(category, Qt::MatchExactly);
    c_.ui.Combo1->setCurrentIndex(kept >= 0 ? kept : 0);
}

void UndoCommands::showCard(std::int64_t id) {
    const auto entry = c_.list.index().at(*c_.list.index().positionOf(id));
    QComboBox* selector = c_.ui.Combo1;
    if (!store::CategoryFilter(selector->currentText()).matches(entry.category)) {
        int found = 0;
        for (int i = 1; i < selector->count() && found == 0; ++i) {
            found = store::equalsIgnoringCase(selector->itemText(i), entry.category) ? i : 0;
        }
        selector->setCurrentIndex(found);
    }
    c_.list.showCategory();
    if (const int row = c_.list.rowOfCard(id); row >= 0) {
        const QModelIndex line = c_.list.model().index(row);
        c_.ui.List1->setCurrentIndex(line);
        c_.ui.List1->scrollTo(line);
    }
}

}  // namespace veltro::mainwindow
