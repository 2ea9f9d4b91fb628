#include "import/SourceColumnList.h"

#include <QMimeData>

namespace veltro::import {

const QString SourceColumnList::kMimeType = QStringLiteral("application/x-veltro-import-column");

SourceColumnList::SourceColumnList(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderLabels({QStringLiteral("Datenquelle (Spalten)")});
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
}

QStringList SourceColumnList::mimeTypes() const {
    return {kMimeType};
}

QMimeData* SourceColumnList::mimeData(const QList<QTreeWidgetItem*>& items) const {
    if (items.isEmpty()) {
        return nullptr;
    }
    auto* mime = new QMimeData;  // owned by the drag
    mime->setData(kMimeType, QByteArray::number(indexOfTopLevelItem(items.front())));
    mime->setText(items.front()->text(0));
    return mime;
}

}  // namespace veltro::import
