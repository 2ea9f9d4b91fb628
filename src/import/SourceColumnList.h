#pragma once

#include <QString>
#include <QTreeWidget>

namespace veltro::import {

// The source columns (ListView3); its entries are dragged onto the target fields.
class SourceColumnList final : public QTreeWidget {
    Q_OBJECT

public:
    // Mime type of a dragged entry; the data is its 0-based row as text.
    static const QString kMimeType;

    explicit SourceColumnList(QWidget* parent = nullptr);

    [[nodiscard]] QStringList mimeTypes() const override;
    [[nodiscard]] QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
};

}  // namespace veltro::import
