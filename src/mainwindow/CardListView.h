#pragma once

#include <QAbstractItemView>

namespace veltro::mainwindow {

// A one-column list of lines of equal height, scrolled line by line. It computes a line's
// place from its number, so a million lines cost no more than twenty: QListView lays out
// every line of the model after each reset, which the card list cannot afford per key.
class CardListView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit CardListView(QWidget* parent = nullptr);

    [[nodiscard]] QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    [[nodiscard]] QModelIndex indexAt(const QPoint& point) const override;
    void reset() override;
    // Whether the line shows in the viewport, whole or in part.
    [[nodiscard]] bool rowVisible(int row) const;

protected:
    [[nodiscard]] QModelIndex moveCursor(CursorAction action,
                                         Qt::KeyboardModifiers modifiers) override;
    [[nodiscard]] int horizontalOffset() const override { return 0; }
    [[nodiscard]] int verticalOffset() const override;
    [[nodiscard]] bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    [[nodiscard]] QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    // Screen readers hear of the current and the selected line.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    [[nodiscard]] int rows() const;
    [[nodiscard]] int lineHeight() const;
    [[nodiscard]] int firstRow() const;
    // Lines that fit the viewport whole, at least one.
    [[nodiscard]] int wholeLines() const;
    void setHovered(int row);

    mutable int lineHeight_ = 0;  // from the delegate, measured when first needed
    int hovered_ = -1;
};

}  // namespace veltro::mainwindow
