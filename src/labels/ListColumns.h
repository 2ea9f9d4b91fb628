#pragma once

#include "store/CardFields.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace veltro::labels {

// A column a printed list can show, with its heading and its share of the width.
struct ListColumn {
    QString name;
    double weight = 1.0;
};

// Every column there is, in the order the column choice shows them.
[[nodiscard]] const std::vector<ListColumn>& listColumns();
[[nodiscard]] QStringList defaultListColumns();
// A column by its name, without regard to case; "Handy" and "EMail" are taken too.
[[nodiscard]] std::optional<ListColumn> listColumnByName(const QString& name);
// What the card shows in the column, on one line.
[[nodiscard]] QString cellText(
    const store::Card& card, const QString& column,
    const std::function<QStringList(const store::Card&)>& addressOf = {});

}  // namespace veltro::labels
