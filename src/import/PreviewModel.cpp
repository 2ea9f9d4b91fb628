#include "import/PreviewModel.h"

namespace veltro::import {

void PreviewModel::setRows(std::vector<PreviewRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kTargetCount);
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const QString text = rows_.at(static_cast<std::size_t>(index.row()))
                             .text(static_cast<std::size_t>(index.column()));
    if (role == Qt::ToolTipRole) {
        return text.size() > 40 ? QVariant(text) : QVariant();
    }
    // One line per row, however many lines a field holds.
    return text.contains(u'\n') || text.contains(u'\r')
               ? QString(text).replace(u'\r', u' ').replace(u'\n', u' ')
               : text;
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(kTargetCount)) {
        return {};
    }
    return targetName(static_cast<std::size_t>(section));
}

}  // namespace veltro::import
