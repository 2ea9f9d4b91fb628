#include "mainwindow/CardListView.h"

#include "mainwindow/CardListAccessible.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace veltro::mainwindow {

CardListView::CardListView(QWidget* parent) : QAbstractItemView(parent) {
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CardListAccessible::install();
}

int CardListView::rows() const {
    return model() != nullptr ? model()->rowCount(rootIndex()) : 0;
}

// All lines are as high as the delegate makes the first; without lines, a line of text.
int CardListView::lineHeight() const {
    if (lineHeight_ > 0) {
        return lineHeight_;
    }
    if (rows() == 0) {
        return std::max(1, fontMetrics().height());
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex first = model()->index(0, 0, rootIndex());
    lineHeight_ = std::max(1, itemDelegateForIndex(first)->sizeHint(option, first).height());
    return lineHeight_;
}

int CardListView::firstRow() const {
    return verticalScrollBar()->value();
}

int CardListView::verticalOffset() const {
    return firstRow() * lineHeight();
}

int CardListView::wholeLines() const {
    return std::max(1, viewport()->height() / lineHeight());
}

QRect CardListView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.parent() != rootIndex() || index.column() != 0) {
        return {};
    }
    return {0, (index.row() - firstRow()) * lineHeight(), viewport()->width(), lineHeight()};
}

QModelIndex CardListView::indexAt(const QPoint& point) const {
    if (point.y() < 0 || point.x() < 0 || point.x() >= viewport()->width()) {
        return {};
    }
    const int row = firstRow() + point.y() / lineHeight();
    return row < rows() ? model()->index(row, 0, rootIndex()) : QModelIndex();
}

void CardListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid()) {
        return;
    }
    const int row = index.row();
    const int lines = wholeLines();
    int top = firstRow();
    switch (hint) {
        case PositionAtTop:
            top = row;
            break;
        case PositionAtBottom:
            top = row - lines + 1;
            break;
        case PositionAtCenter:
            top = row - lines / 2;
            break;
        case EnsureVisible:
            if (row < top) {
                top = row;
            } else if (row >= top + lines) {
                top = row - lines + 1;
            }
            break;
    }
    verticalScrollBar()->setValue(top);
}

QModelIndex CardListView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int count = rows();
    if (count == 0) {
        return {};
    }
    const QModelIndex current = currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    int target = row;
    switch (action) {
        case MoveUp:
        case MovePrevious:
            target = row - 1;
            break;
        case MoveDown:
        case MoveNext:
            target = row + 1;
            break;
        case MovePageUp:
            target = row - wholeLines();
            break;
        case MovePageDown:
            target = row + wholeLines();
            break;
        case MoveHome:
            target = 0;
            break;
        case MoveEnd:
            target = count - 1;
            break;
        case MoveLeft:
        case MoveRight:
            break;
    }
    if (row < 0) {
        target = 0;
    }
    return model()->index(std::clamp(target, 0, count - 1), 0, rootIndex());
}

void CardListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const int count = rows();
    if (count == 0 || selectionModel() == nullptr) {
        return;
    }
    const QRect area = rect.normalized();
    const int first = std::clamp(firstRow() + area.top() / lineHeight(), 0, count - 1);
    const int last = std::clamp(firstRow() + area.bottom() / lineHeight(), 0, count - 1);
    const QItemSelection selection(model()->index(first, 0, rootIndex()),
                                   model()->index(last, 0, rootIndex()));
    selectionModel()->select(selection, command);
}

QRegion CardListView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    const int top = firstRow();
    const int bottom = top + wholeLines() + 1;
    for (const QItemSelectionRange& range : selection) {
        const int first = std::max(range.top(), top);
        const int last = std::min(range.bottom(), bottom);
        if (first <= last) {
            region += QRect(0, (first - top) * lineHeight(), viewport()->width(),
                            (last - first + 1) * lineHeight());
        }
    }
    return region;
}

void CardListView::updateGeometries() {
    const int lines = wholeLines();
    verticalScrollBar()->setRange(0, std::max(0, rows() - lines));
    verticalScrollBar()->setPageStep(lines);
    verticalScrollBar()->setSingleStep(1);
    QAbstractItemView::updateGeometries();
}

bool CardListView::rowVisible(int row) const {
    return row >= firstRow() && row < firstRow() + viewport()->height() / lineHeight() + 1 &&
           row < rows();
}

void CardListView::reset() {
    if (auto* accessible = CardListAccessible::of(this)) {
        accessible->forgetLines();
    }
    QAbstractItemView::reset();
    hovered_ = -1;
    verticalScrollBar()->setValue(0);
    updateGeometries();
    viewport()->update();
}

void CardListView::rowsInserted(const QModelIndex& parent, int start, int end) {
    if (auto* accessible = CardListAccessible::of(this)) {
        accessible->forgetLines();
    }
    QAbstractItemView::rowsInserted(parent, start, end);
    updateGeometries();
    viewport()->update();
}

void CardListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    if (auto* accessible = CardListAccessible::of(this)) {
        accessible->forgetLines();
    }
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
    viewport()->update();
}

void CardListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous);  // scrolls to the line first
    if (const auto* accessible = CardListAccessible::of(this); accessible && current.isValid()) {
        accessible->announceCurrent(current.row(), hasFocus());
    }
}

void CardListView::selectionChanged(const QItemSelection& selected,
                                    const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
    const auto* accessible = CardListAccessible::of(this);
    if (accessible == nullptr) {
        return;
    }
    // One line at a time: the list selects single lines.
    for (const auto& [ranges, on] : {std::pair{&deselected, false}, std::pair{&selected, true}}) {
        for (const QModelIndex& index : ranges->indexes()) {
            accessible->announceSelected(index.row(), on);
        }
    }
}

void CardListView::focusInEvent(QFocusEvent* event) {
    QAbstractItemView::focusInEvent(event);
    // After the list's own focus news, which Qt sends once this handler is done.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (const auto* accessible = CardListAccessible::of(this);
                accessible != nullptr && hasFocus() && currentIndex().isValid()) {
                accessible->announceCurrent(currentIndex().row(), true);
            }
        },
        Qt::QueuedConnection);
}

void CardListView::scrollContentsBy(int, int) {
    viewport()->update();
}

void CardListView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int count = rows();
    const int top = firstRow();
    const int last = std::min(count - 1, top + viewport()->height() / lineHeight() + 1);
    const QModelIndex current = currentIndex();
    const bool focused = hasFocus() || viewport()->hasFocus();
    for (int row = top; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = visualRect(index);
        option.state.setFlag(QStyle::State_Selected,
                             selectionModel() != nullptr && selectionModel()->isSelected(index));
        option.state.setFlag(QStyle::State_HasFocus, focused && index == current);
        option.state.setFlag(QStyle::State_MouseOver, row == hovered_);
        if (!isEnabled()) {
            option.palette.setCurrentColorGroup(QPalette::Disabled);
        } else if (!isActiveWindow()) {
            option.palette.setCurrentColorGroup(QPalette::Inactive);
        }
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
}

void CardListView::setHovered(int row) {
    if (row != hovered_) {
        hovered_ = row;
        viewport()->update();
    }
}

void CardListView::mouseMoveEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    setHovered(index.isValid() ? index.row() : -1);
    QAbstractItemView::mouseMoveEvent(event);
}

void CardListView::leaveEvent(QEvent* event) {
    setHovered(-1);
    QAbstractItemView::leaveEvent(event);
}

void CardListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        lineHeight_ = 0;
        updateGeometries();
    }
    QAbstractItemView::changeEvent(event);
}

}  // namespace veltro::mainwindow
