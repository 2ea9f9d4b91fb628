#include "import/TargetFieldList.h"

#include "import/SourceColumnList.h"

#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace veltro::import {

namespace {

int sourceRowOf(const QMimeData* data) {
    bool ok = false;
    const int row = data != nullptr && data->hasFormat(SourceColumnList::kMimeType)
                        ? data->data(SourceColumnList::kMimeType).toInt(&ok)
                        : -1;
    return ok ? row : -1;
}

}  // namespace

TargetFieldList::TargetFieldList(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

void TargetFieldList::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Delete) || event->key() == Qt::Key_Backspace) {
        Q_EMIT unassignRequested();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void TargetFieldList::highlight(QTreeWidgetItem* item) {
    if (item == highlighted_) {
        return;
    }
    for (QTreeWidgetItem* old : {highlighted_, item}) {
        if (old == nullptr) {
            continue;
        }
        const bool on = old == item;
        for (int column = 0; column < columnCount(); ++column) {
            old->setData(column, Qt::BackgroundRole,
                         on ? QVariant(palette().brush(QPalette::Highlight)) : QVariant());
            old->setData(column, Qt::ForegroundRole,
                         on ? QVariant(palette().brush(QPalette::HighlightedText)) : QVariant());
        }
    }
    highlighted_ = item;
}

void TargetFieldList::dragEnterEvent(QDragEnterEvent* event) {
    if (sourceRowOf(event->mimeData()) < 0) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void TargetFieldList::dragMoveEvent(QDragMoveEvent* event) {
    if (sourceRowOf(event->mimeData()) < 0) {
        event->ignore();
        return;
    }
    highlight(itemAt(event->position().toPoint()));
    event->acceptProposedAction();
}

void TargetFieldList::dragLeaveEvent(QDragLeaveEvent* event) {
    highlight(nullptr);
    event->accept();
}

void TargetFieldList::dropEvent(QDropEvent* event) {
    const int sourceRow = sourceRowOf(event->mimeData());
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    highlight(nullptr);
    if (sourceRow < 0 || target == nullptr) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Q_EMIT sourceDropped(sourceRow, indexOfTopLevelItem(target));
}

}  // namespace veltro::import
