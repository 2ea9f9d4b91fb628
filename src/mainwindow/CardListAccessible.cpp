#include "mainwindow/CardListAccessible.h"

#include "mainwindow/CardListView.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QItemSelectionModel>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <vector>

namespace veltro::mainwindow {

namespace {

// Lines kept beyond the visible ones before those out of sight are let go.
constexpr std::size_t kKeptLines = 2000;

// One line of the card list.
class CardLine final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CardLine(CardListView* view, int row) : view_(view), row_(row) {}

    [[nodiscard]] int row() const { return row_; }
    [[nodiscard]] const CardListView* view() const { return view_; }

    [[nodiscard]] bool isValid() const override {
        return view_ != nullptr && view_->model() != nullptr &&
               row_ < view_->model()->rowCount(view_->rootIndex());
    }
    [[nodiscard]] QObject* object() const override { return nullptr; }
    [[nodiscard]] QWindow* window() const override {
        return view_ != nullptr ? view_->window()->windowHandle() : nullptr;
    }
    [[nodiscard]] QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_);
    }
    [[nodiscard]] QAccessibleInterface* child(int) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    [[nodiscard]] QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    [[nodiscard]] QString text(QAccessible::Text kind) const override {
        if (!isValid() || (kind != QAccessible::Name && kind != QAccessible::Value)) {
            return {};
        }
        return index().data(Qt::DisplayRole).toString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    [[nodiscard]] QRect rect() const override {
        if (!isValid() || !view_->rowVisible(row_)) {
            return {};
        }
        const QRect line = view_->visualRect(index());
        return {view_->viewport()->mapToGlobal(line.topLeft()), line.size()};
    }
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::ListItem; }
    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        const QItemSelectionModel* selection = view_->selectionModel();
        state.selected = selection != nullptr && selection->isSelected(index());
        state.focused = view_->hasFocus() && view_->currentIndex().row() == row_;
        state.offscreen = !view_->rowVisible(row_);
        state.disabled = !view_->isEnabled();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    // Pressing a line shows its card; taking the focus puts the keyboard there too.
    [[nodiscard]] QStringList actionNames() const override {
        return {pressAction(), setFocusAction()};
    }
    void doAction(const QString& name) override {
        if (!isValid() || !view_->isEnabled()) {
            return;
        }
        if (name == setFocusAction()) {
            view_->setFocus(Qt::OtherFocusReason);
        } else if (name != pressAction()) {
            return;
        }
        view_->setCurrentIndex(index());
    }
    [[nodiscard]] QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    [[nodiscard]] QModelIndex index() const {
        return view_->model()->index(row_, 0, view_->rootIndex());
    }

    QPointer<CardListView> view_;
    int row_;
};

// The interfaces made so far, by their view: events go only to lists a reader asked about.
QHash<const QWidget*, CardListAccessible*>& made() {
    static QHash<const QWidget*, CardListAccessible*> interfaces;
    return interfaces;
}

QAccessibleInterface* cardListFactory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<CardListView*>(object)) {
        return new CardListAccessible(view);
    }
    return nullptr;
}

}  // namespace

CardListAccessible::CardListAccessible(CardListView* view)
    : QAccessibleWidget(view, QAccessible::List), key_(view) {
    made().insert(key_, this);
}

CardListAccessible::~CardListAccessible() {
    made().remove(key_);
    for (const auto& [row, id] : lines_) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

void CardListAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(cardListFactory);
        return true;
    }();
    static_cast<void>(installed);
}

CardListAccessible* CardListAccessible::of(const CardListView* view) {
    return made().value(view);
}

CardListView* CardListAccessible::view() const {
    return static_cast<CardListView*>(widget());
}

int CardListAccessible::childCount() const {
    const CardListView* list = view();
    return list->model() != nullptr ? list->model()->rowCount(list->rootIndex()) : 0;
}

QAccessibleInterface* CardListAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) {
        return nullptr;
    }
    if (const auto found = lines_.find(index); found != lines_.end()) {
        return QAccessible::accessibleInterface(found->second);
    }
    trimCache();
    auto* line = new CardLine(view(), index);
    lines_.emplace(index, QAccessible::registerAccessibleInterface(line));
    return line;
}

int CardListAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* line = dynamic_cast<const CardLine*>(child);
    return line != nullptr && line->view() == view() && line->isValid() ? line->row() : -1;
}

QAccessibleInterface* CardListAccessible::childAt(int x, int y) const {
    const CardListView* list = view();
    const QModelIndex index = list->indexAt(list->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? child(index.row()) : nullptr;
}

QAccessibleInterface* CardListAccessible::focusChild() const {
    const CardListView* list = view();
    return list->hasFocus() && list->currentIndex().isValid() ? child(list->currentIndex().row())
                                                              : nullptr;
}

QString CardListAccessible::text(QAccessible::Text kind) const {
    QString text = QAccessibleWidget::text(kind);
    if (kind == QAccessible::Name && text.isEmpty()) {
        text = QStringLiteral("Karten");
    }
    return text;
}

void CardListAccessible::forgetLines() {
    for (const auto& [row, id] : lines_) {
        QAccessible::deleteAccessibleInterface(id);
    }
    lines_.clear();
}

void CardListAccessible::trimCache() const {
    if (lines_.size() < kKeptLines) {
        return;
    }
    std::vector<int> gone;
    for (const auto& [row, id] : lines_) {
        if (!view()->rowVisible(row) && row != view()->currentIndex().row()) {
            gone.push_back(row);
        }
    }
    for (const int row : gone) {
        QAccessible::deleteAccessibleInterface(lines_.at(row));
        lines_.erase(row);
    }
}

void CardListAccessible::announceCurrent(int row, bool focused) const {
    if (focused) {
        QAccessibleEvent event(view(), QAccessible::Focus);
        event.setChild(row);
        QAccessible::updateAccessibility(&event);
    }
}

void CardListAccessible::announceSelected(int row, bool selected) const {
    QAccessibleEvent event(view(),
                           selected ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
}

}  // namespace veltro::mainwindow
