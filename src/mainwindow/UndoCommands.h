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
    void turn(const std::optional<store::StepChanges>& changes);
    void follow(const store::StepChanges& changes);
    [[nodiscard]] std::optional<std::int64_t> firstListed(
        const std::vector<std::int64_t>& ids) const;
    void showCategories();

    CommandContext c_;
    QAction* undo_;
    QAction* redo_;
};

}  // namespace veltro::mainwindow
