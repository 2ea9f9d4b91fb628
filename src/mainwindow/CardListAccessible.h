#pragma once

#include <QAccessible>
#include <QAccessibleWidget>

#include <unordered_map>

namespace veltro::mainwindow {

class CardListView;

// The card list as screen readers see it: a list whose children are its lines, named by
// the card's heading. A line's interface is made only when someone asks for it, so a
// million cards cost nothing until a reader walks them.
class CardListAccessible final : public QAccessibleWidget {
public:
    explicit CardListAccessible(CardListView* view);
    ~CardListAccessible() override;
    CardListAccessible(const CardListAccessible&) = delete;
    CardListAccessible& operator=(const CardListAccessible&) = delete;

    // Makes Qt ask this class for every card list; once per program.
    static void install();
    // The interface of the view, when one was made.
    [[nodiscard]] static CardListAccessible* of(const CardListView* view);

    [[nodiscard]] int childCount() const override;
    [[nodiscard]] QAccessibleInterface* child(int index) const override;
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override;
    [[nodiscard]] QAccessibleInterface* childAt(int x, int y) const override;
    [[nodiscard]] QAccessibleInterface* focusChild() const override;
    [[nodiscard]] QString text(QAccessible::Text kind) const override;

    // The lines changed: every line's interface goes.
    void forgetLines();
    // Tells the readers which line is current now.
    void announceCurrent(int row, bool focused) const;
    void announceSelected(int row, bool selected) const;

private:
    [[nodiscard]] CardListView* view() const;
    void trimCache() const;

    const QWidget* key_;  // the view, also while it is being destroyed
    mutable std::unordered_map<int, QAccessible::Id> lines_;
};

}  // namespace veltro::mainwindow
