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

    // The list view asks for every line's index on each layout; answered without the
    // base class's checks through rowCount.
    [[nodiscard]] QModelIndex index(int row, int column = 0,
                                    const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

    [[nodiscard]] store::CardIndex::Entry entry(int row) const;
    [[nodiscard]] std::int64_t id(int row) const {
        return index_.id(rows_.at(static_cast<std::size_t>(row)));
    }
    [[nodiscard]] int count() const { return static_cast<int>(rows_.size()); }

private:
    const store::CardIndex& index_;
    std::vector<std::int32_t> rows_;
};

}  // namespace veltro::mainwindow
