#pragma once

#include "backup/BackupSchedule.h"
#include "store/CardStore.h"

#include <functional>
#include <optional>

class QWidget;

namespace veltro::mainwindow {

class CardEditor;
class CardList;
class FullTextSearch;
struct MainWindowUi;

// What the card and category commands work on: the window's widgets, the shown card, the
// card list and the full-text index, and the store once it is open.
struct CommandContext {
    MainWindowUi& ui;
    CardEditor& editor;
    CardList& list;
    FullTextSearch& fullText;
    std::optional<store::CardStore>& store;
    std::function<void()> markChanged;
    QWidget* window;
    // Before the store is written: a backup, where one is due.
    std::function<void(backup::Occasion)> beforeChange;

    // The card index and the full-text index read again after a change to many cards.
    void reloadIndexes() const;
    // One card was added, written or deleted.
    void cardChanged(std::int64_t id) const;
};

}  // namespace veltro::mainwindow
