#pragma once

#include "search/SearchHost.h"

#include <QStringList>

#include <vector>

namespace veltro::testing {

// A main window as the search window sees it: headings filtered by "contains", the first
// line selected after each search, as the card list does.
class FakeSearchHost final : public search::SearchHost {
public:
    struct Card {
        QString heading;
        QString lastName;
        QString postcode;
        QString town;
        QString address;
        QString notes;
    };

    explicit FakeSearchHost(std::vector<Card> cards);

    void setSearchText(const QString& text) override;
    [[nodiscard]] int lineCount() const override { return static_cast<int>(lines_.size()); }
    [[nodiscard]] QString lineText(int row) const override;
    [[nodiscard]] int selectedLine() const override { return selected_; }
    void selectLine(int row) override;
    [[nodiscard]] search::ShownCard shownCard() const override;
    void copyAddress() override;
    void copyNotes() override;
    void minimizeMainWindow() override { minimized = true; }
    void restoreMainWindow() override { minimized = false; }
    [[nodiscard]] bool reactivateOnClose() const override { return reactivate; }

    QString searchText;
    QStringList copied;  // "Anschrift: heading" or "Notizen: heading"
    bool minimized = false;
    bool reactivate = true;

private:
    std::vector<Card> cards_;
    std::vector<std::size_t> lines_;  // indices into cards_
    int selected_ = -1;
    std::size_t shown_ = 0;  // the card view keeps the last card shown
};

}  // namespace veltro::testing
