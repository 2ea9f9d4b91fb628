#pragma once

#include <QString>

namespace veltro::store {

// The category selector's first entry: every card, of whatever category.
inline const QString kAllCategories = QStringLiteral("-Alle-");

}  // namespace veltro::store
