#pragma once

#include "import/FieldMapping.h"
#include "import/RecordReader.h"
#include "import/TargetFields.h"
#include "store/CardExtras.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <type_traits>
#include <vector>

namespace veltro::import {

// A target without a source column holds one blank, so the card shows it was not imported.
inline const QString kUnmappedValue = QStringLiteral(" ");

// One future card in target order: the category first, then "Karte" to "Notizen". The
// texts share one buffer, so a hundred thousand rows cost a hundred thousand allocations
// rather than two million.
class PreviewRow {
public:
    using Fields = std::array<QStringView, kTargetCount>;

    PreviewRow() = default;
    explicit PreviewRow(const Fields& fields);

    [[nodiscard]] QStringView operator[](std::size_t target) const {
        return QStringView(buffer_).sliced(starts_.at(target),
                                           starts_.at(target + 1) - starts_.at(target));
    }
    [[nodiscard]] QString text(std::size_t target) const { return (*this)[target].toString(); }
    void set(std::size_t target, QStringView value);

    // What a vCard or another address book's CSV file brings beyond the fields.
    std::shared_ptr<const store::CardExtras> extras;

private:
    QString buffer_;
    std::array<qsizetype, kTargetCount + 1> starts_{};
};

// Records a table holds by its own count and records read from it; a damaged file reads
// fewer (or more) than it declares.
struct RecordCount {
    std::int64_t read = 0;
    std::int64_t declared = 0;

    [[nodiscard]] bool matches() const { return read == declared; }
};

// "90 von 91 Datensätzen gelesen"
[[nodiscard]] QString recordCountText(const RecordCount& count);

// What the import will write. `complete` is false when the source could not be read to
// its end (or reading was stopped); the rows read so far are kept. `count` is there for
// sources that declare how many records they hold.
struct PreviewTable {
    std::vector<PreviewRow> rows;
    bool complete = true;
    std::optional<RecordCount> count;
};

// Called now and then during long work with the number of records done; returning false
// stops the work.
using Pulse = std::function<bool(std::int64_t done)>;

// Builds one row from a record; valueAt(column) gives the text of a 0-based source column
// as a view that needs to live only until the row is built.
template <typename ValueAt>
[[nodiscard]] PreviewRow makePreviewRow(const FieldMapping& mapping, ValueAt&& valueAt) {
    static_assert(std::is_same_v<std::invoke_result_t<ValueAt, int>, QStringView>);
    PreviewRow::Fields fields;
    fields[kCategoryTarget] = mapping.category();
    for (std::size_t target = kCategoryTarget + 1; target < kTargetCount; ++target) {
        const auto& source = mapping.source(target);
        fields[target] = source ? valueAt(source->column) : QStringView(kUnmappedValue);
    }
    return PreviewRow(fields);
}

// The row of a record of another address book's layout (mapping.extras() is set).
[[nodiscard]] PreviewRow presetPreviewRow(const FieldMapping& mapping,
                                          std::span<const QStringView> fields);

// The row of the next record of `records` (a RecordReader or one like it); false after the
// last. A mapped column that the record lacks gives "-", like an empty field.
template <typename Records>
bool nextPreviewRow(Records& records, const FieldMapping& mapping, std::vector<QStringView>& fields,
                    PreviewRow& row) {
    if (!records.next(fields)) {
        return false;
    }
    if (mapping.extras() != nullptr) {
        row = presetPreviewRow(mapping, fields);
        return true;
    }
    row = makePreviewRow(mapping, [&fields](int column) {
        const auto index = static_cast<std::size_t>(column);
        return index < fields.size() ? fields[index] : QStringView(kEmptyValue);
    });
    return true;
}

}  // namespace veltro::import
