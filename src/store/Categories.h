#pragma once

#include <QString>

namespace veltro::store {

// The category selector's first entry: every card, of whatever category.
inline const QString kAllCategories = QStringLiteral("-Alle-");

// Where a category filters cards, "-Alle-" and no name at all mean every card; neither is a
// category a card can be put into.
[[nodiscard]] inline bool isAllCategories(const QString& name) {
    return name.isEmpty() || name == kAllCategories;
}

}  // namespace veltro::store
