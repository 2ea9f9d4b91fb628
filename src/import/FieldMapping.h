#pragma once

#include "import/TargetFields.h"

#include <QString>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>

namespace veltro::import {

class PresetExtras;

// Which source column fills which target field. "Kategorie" is always assigned: it takes
// the category the cards are imported into, never a source column.
class FieldMapping {
public:
    struct Source {
        int column = 0;  // 0-based position among the source columns
        QString caption;
    };

    explicit FieldMapping(QString category = {});

    // Unassigns every target but "Kategorie" and forgets the further details.
    void reset();
    // False (and nothing changes) for "Kategorie"; a new source replaces the old one.
    bool assign(std::size_t target, int column, QString caption);
    void unassign(std::size_t target);

    [[nodiscard]] const std::optional<Source>& source(std::size_t target) const {
        return sources_.at(target);
    }
    [[nodiscard]] bool isAssigned(std::size_t target) const;
    [[nodiscard]] bool hasHeading() const { return isAssigned(kHeadingTarget); }
    [[nodiscard]] const QString& category() const { return category_; }

    // The columns of another program's layout that fill a card's further details; null for
    // other files.
    [[nodiscard]] const PresetExtras* extras() const { return extras_.get(); }
    void setExtras(std::shared_ptr<const PresetExtras> extras) { extras_ = std::move(extras); }

private:
    QString category_;
    std::array<std::optional<Source>, kTargetCount> sources_;
    std::shared_ptr<const PresetExtras> extras_;
};

}  // namespace veltro::import
