#include "mainwindow/CardListModel.h"

namespace veltro::mainwindow {

CardListModel::CardListModel(const store::CardIndex& index, QObject* parent)
    : QAbstractListModel(parent), index_(index) {}

void CardListModel::setRows(std::vector<std::int32_t> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

QModelIndex CardListModel::index(int row, int column, const QModelIndex& parent) const {
    const bool inside = row >= 0 && row < count() && column == 0 && !parent.isValid();
    return inside ? createIndex(row, column) : QModelIndex();
}

int CardListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant CardListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return index_.heading(rows_[static_cast<std::size_t>(index.row())]);
    }
    return {};
}

store::CardIndex::Entry CardListModel::entry(int row) const {
    return index_.at(rows_.at(static_cast<std::size_t>(row)));
}

}  // namespace veltro::mainwindow
