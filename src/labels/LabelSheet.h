#pragma once

#include "labels/Millimetres.h"

#include <QString>

#include <optional>
#include <span>

namespace veltro::labels {

// A sheet of labels: where the first label sits, how large each is, the gaps between
// them and how many there are across and down.
struct LabelSheet {
    QString id;    // "3474", "L7163", "eigen"
    QString name;  // as the sheet list shows it
    SizeMm page = kA4;
    double top = 0.0;  // page margin above the first row
    double left = 0.0;
    SizeMm label;
    double gapX = 0.0;  // between two labels side by side
    double gapY = 0.0;
    int columns = 1;
    int rows = 1;

    [[nodiscard]] int count() const { return columns * rows; }
    // The label at a 0-based index, counted along the rows: left to right, then down.
    [[nodiscard]] RectMm labelRect(int index) const;
    // Why the sheet cannot be printed, e.g. labels running off the page; nothing when it can.
    [[nodiscard]] std::optional<QString> problem() const;
};

// The common A4 sheets, in the order the sheet list shows them.
[[nodiscard]] std::span<const LabelSheet> sheetCatalogue();
// A catalogue sheet by its id, without regard to case.
[[nodiscard]] std::optional<LabelSheet> sheetById(const QString& id);
// The starting point of a sheet of one's own.
[[nodiscard]] LabelSheet customSheet();

inline const QString kCustomSheetId = QStringLiteral("eigen");

}  // namespace veltro::labels
