#pragma once

#include "session/Session.h"

#include <cstdint>
#include <functional>
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
    // The session's index, shown; its store open or not.
    CardList(MainWindowUi& ui, CardEditor& editor, session::Session& session, QObject* parent);
    CardList(const CardList&) = delete;
    CardList& operator=(const CardList&) = delete;

    [[nodiscard]] store::CardIndex& index() { return session_.index(); }
    [[nodiscard]] const store::CardIndex& index() const { return session_.index(); }
    [[nodiscard]] CardListModel& model() const { return *model_; }
    [[nodiscard]] std::int64_t total() const { return index().size(); }

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
    // Runs a change that may read the index again; the list lets go of it meanwhile and
    // shows what it showed when the change fails.
    void aroundReload(const std::function<void()>& change);

    [[nodiscard]] std::optional<store::CardIndex::Entry> selectedEntry() const;
    [[nodiscard]] int rowOfCard(std::int64_t id) const;
    // Moves the list's current line to this card without showing it again.
    void selectCard(std::int64_t id);

    // Takes back the last character typed, whose text cannot be searched for.
    static void removeLastCharacter(QLineEdit* box);

private:
    MainWindowUi& ui_;
    CardEditor& editor_;
    session::Session& session_;
    CardListModel* model_;  // child of the window
};

}  // namespace veltro::mainwindow
