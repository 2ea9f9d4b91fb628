#pragma once

#include <QTreeWidget>

namespace veltro::import {

// The target fields (ListView2). A source column dragged over it highlights the entry
// under the pointer as the drop target; dropping reports both rows.
class TargetFieldList final : public QTreeWidget {
    Q_OBJECT

public:
    explicit TargetFieldList(QWidget* parent = nullptr);

    [[nodiscard]] QTreeWidgetItem* dropHighlight() const { return highlighted_; }

Q_SIGNALS:
    void sourceDropped(int sourceRow, int targetRow);
    // The Delete key: the selected entry is to lose its source column.
    void unassignRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void highlight(QTreeWidgetItem* item);

    QTreeWidgetItem* highlighted_ = nullptr;  // owned by the list
};

}  // namespace veltro::import
