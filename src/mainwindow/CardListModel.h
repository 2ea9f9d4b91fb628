#pragma once

#include "store/CardIndex.h"

#include <QAbstractListModel>

#include <vector>

namespace veltro::mainwindow {

// The lines of the card list: positions into the in-memory card index.
class CardListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit CardListModel(const store::CardIndex& index, QObject* parent = nullptr);

    void setRows(std::vector<std::int32_t> rows);
    void clear() { setRows({}); }

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

    [[nodiscard]] const store::CardIndex::Entry& entry(int row) const;
    [[nodiscard]] int count() const { return static_cast<int>(rows_.size()); }

private:
    const store::CardIndex& index_;
    std::vector<std::int32_t> rows_;
};

}  // namespace veltro::mainwindow
