#pragma once

#include "store/CardIndex.h"
#include "store/CardStore.h"

#include <cstdint>
#include <optional>
#include <vector>

class QLineEdit;
class QObject;

namespace veltro::mainwindow {

class CardEditor;
class CardListModel;
struct MainWindowUi;

// The card list and its keyword search: the headings of every card in memory, the lines
// the category and the search text leave in the list, and the count panel.
class CardList {
public:
    // The store is the window's, open or not.
    CardList(MainWindowUi& ui, CardEditor& editor, std::optional<store::CardStore>& store,
             QObject* parent);
    CardList(const CardList&) = delete;
    CardList& operator=(const CardList&) = delete;

    [[nodiscard]] store::CardIndex& index() { return index_; }
    [[nodiscard]] const store::CardIndex& index() const { return index_; }
    [[nodiscard]] CardListModel& model() const { return *model_; }
    [[nodiscard]] std::int64_t total() const { return index_.size(); }

    // Reads every heading from the store again, or takes those read on another thread.
    void load();
    void adopt(store::CardIndex index) { index_ = std::move(index); }
    void fillCategorySelector();

    // The shown category from its first card on, the search text cleared.
    void showCategory();
    // The cards of the shown category whose heading holds the search text.
    void filter();
    void showCount();
    void setCountPanel(int lines, std::int64_t total);
    void showRows(std::vector<std::int32_t> rows);
    void showHeadingsUpTo(std::int64_t lastId);
    void selectFirstLine();
    void clear();

    [[nodiscard]] std::optional<store::CardIndex::Entry> selectedEntry() const;
    [[nodiscard]] int rowOfCard(std::int64_t id) const;
    // Moves the list's current line to this card without showing it again.
    void selectCard(std::int64_t id);

    // Takes back the last character typed, whose text cannot be searched for.
    static void removeLastCharacter(QLineEdit* box);

private:
    MainWindowUi& ui_;
    CardEditor& editor_;
    std::optional<store::CardStore>& store_;
    store::CardIndex index_;
    CardListModel* model_;  // child of the window
};

}  // namespace veltro::mainwindow
