#pragma once

#include "store/CaseFold.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace veltro::store {

// The category selector's first entry: every card, of whatever category.
inline const QString kAllCategories = QStringLiteral("-Alle-");

// Whether a category choice means every card: empty or "-Alle-" (without regard to case,
// as category names are compared everywhere).
[[nodiscard]] inline bool isAllCategories(QStringView name) {
    return name.isEmpty() || equalsIgnoringCase(name, kAllCategories);
}

// Whether new cards can be put into a category of this name: never into all of them.
[[nodiscard]] inline bool isTargetCategory(QStringView name) {
    return !isAllCategories(name);
}

// Which cards a category choice stands for: every card, or those whose category equals the
// chosen name without regard to case.
class CategoryFilter {
public:
    CategoryFilter() = default;  // every card
    explicit CategoryFilter(const QString& choice) {
        if (!isAllCategories(choice)) {
            name_ = choice;
            folded_ = foldCase(choice);
        }
    }

    [[nodiscard]] bool isAll() const { return !name_; }
    // The chosen category; none for every card.
    [[nodiscard]] const std::optional<QString>& name() const { return name_; }
    [[nodiscard]] bool matches(QStringView category) const {
        return !name_ || foldCase(category) == folded_;
    }

private:
    std::optional<QString> name_;
    QString folded_;
};

}  // namespace veltro::store
