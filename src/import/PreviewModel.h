#pragma once

#include "import/PreviewTable.h"

#include <QAbstractTableModel>

#include <vector>

namespace veltro::import {

// The preview rows for the preview list: the category, then "Karte" to "Notizen", and when
// rows bring more than the fields, "Weitere Angaben" with what each brings in short.
// "Geburtstag 29.02.1980, 2 Telefonnummern, 1 E-Mail-Adresse"
[[nodiscard]] QString extrasSummary(const store::CardExtras& extras);

class PreviewModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<PreviewRow> rows);
    void clear() { setRows({}); }
    [[nodiscard]] std::vector<PreviewRow>& rows() { return rows_; }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

private:
    std::vector<PreviewRow> rows_;
    bool extras_ = false;  // some row brings further details
};

}  // namespace veltro::import
