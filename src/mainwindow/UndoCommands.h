#pragma once

#include "mainwindow/CommandContext.h"

#include "store/UndoLog.h"

class QAction;

namespace veltro::mainwindow {

// Undo and redo of the run's commands ("Bearbeiten"): the store turns a step back or
// forth, then the card list, the category selector and the card view follow it.
class UndoCommands {
public:
    UndoCommands(CommandContext context, QAction* undo, QAction* redo);

    void undo();
    void redo();
    // The entries name the step they would take back or do again, or are off.
    void refresh();
    // Shows the card in its category, selected in the list.
    void showCard(std::int64_t id);

private:
    void turn(const std::function<std::optional<store::StepChanges>(store::Database&)>& step);
    void follow(const store::StepChanges& changes);
    void updateCards(const std::vector<std::int64_t>& ids);
    [[nodiscard]] std::optional<std::int64_t> firstListed(
        const std::vector<std::int64_t>& ids) const;
    void reloadAll();

    CommandContext c_;
    QAction* undo_;
    QAction* redo_;
};

}  // namespace veltro::mainwindow
