#pragma once

#include "import/FieldMapping.h"
#include "import/TargetFields.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace veltro::import {

// One future card in target order: the category first, then "Karte" to "Notizen".
using PreviewRow = std::array<QString, kTargetCount>;

// What the import will write. `complete` is false when the source could not be read to
// its end (or reading was stopped); the rows read so far are kept.
struct PreviewTable {
    std::vector<PreviewRow> rows;
    bool complete = true;
};

// Called now and then during long work with the number of records done; returning false
// stops the work.
using Pulse = std::function<bool(std::int64_t done)>;

// A target without a source column holds one blank, so the card shows it was not imported.
inline const QString kUnmappedValue = QStringLiteral(" ");
// What an empty source field becomes.
inline const QString kEmptyValue = QStringLiteral("-");

// Builds one row from a record; valueAt(column) gives the text of a 0-based source column.
template <typename ValueAt>
[[nodiscard]] PreviewRow makePreviewRow(const FieldMapping& mapping, ValueAt&& valueAt) {
    PreviewRow row;
    row[kCategoryTarget] = mapping.category();
    for (std::size_t target = kCategoryTarget + 1; target < kTargetCount; ++target) {
        const auto& source = mapping.source(target);
        row[target] = source ? valueAt(source->column) : kUnmappedValue;
    }
    return row;
}

}  // namespace veltro::import
