#include "labels/LabelSheet.h"

#include <array>
#include <cmath>

namespace veltro::labels {

namespace {

// A label may touch the page edge; this much rounding in the makers' figures is let pass.
constexpr double kTolerance = 0.05;

LabelSheet sheet(const char* id, const char* name, double top, double left, SizeMm label,
                 double gapX, int columns, int rows) {
    return {QString::fromUtf8(id),
            QString::fromUtf8(name),
            kA4,
            top,
            left,
            label,
            gapX,
            0.0,
            columns,
            rows};
}

const std::array<LabelSheet, 7>& catalogue() {
    static const std::array<LabelSheet, 7> sheets = {
        sheet("3474", "Zweckform 3474 (70 × 37 mm, 24 je Blatt)", 0.5, 0.0, {70.0, 37.0}, 0.0, 3,
              8),
        sheet("3475", "Zweckform 3475 (70 × 36 mm, 24 je Blatt)", 4.5, 0.0, {70.0, 36.0}, 0.0, 3,
              8),
        sheet("3490", "Zweckform 3490 (70 × 36 mm, 24 je Blatt)", 4.5, 0.0, {70.0, 36.0}, 0.0, 3,
              8),
        sheet("3422", "Zweckform 3422 (70 × 35 mm, 24 je Blatt)", 8.5, 0.0, {70.0, 35.0}, 0.0, 3,
              8),
        sheet("3652", "Zweckform 3652 (70 × 42,3 mm, 21 je Blatt)", 0.45, 0.0, {70.0, 42.3}, 0.0, 3,
              7),
        sheet("L7163", "Avery L7163 (99,1 × 38,1 mm, 14 je Blatt)", 15.15, 4.65, {99.1, 38.1}, 2.5,
              2, 7),
        sheet("4780", "Zweckform 4780 (48,5 × 25,4 mm, 40 je Blatt)", 21.5, 8.0, {48.5, 25.4}, 0.0,
              4, 10),
    };
    return sheets;
}

}  // namespace

RectMm LabelSheet::labelRect(int index) const {
    const int column = index % columns;
    const int row = index / columns;
    return {left + column * (label.width + gapX), top + row * (label.height + gapY), label.width,
            label.height};
}

std::optional<QString> LabelSheet::problem() const {
    const std::array values = {top, left, label.width, label.height, gapX, gapY};
    for (const double value : values) {
        if (!std::isfinite(value) || value < 0.0) {
            return QStringLiteral("Ränder, Größen und Abstände dürfen nicht negativ sein.");
        }
    }
    if (label.width < 10.0 || label.height < 5.0) {
        return QStringLiteral("Ein Etikett muss mindestens 10 mm breit und 5 mm hoch sein.");
    }
    if (columns < 1 || rows < 1 || columns > 20 || rows > 40) {
        return QStringLiteral("Spalten (1 bis 20) und Zeilen (1 bis 40) passen nicht.");
    }
    const RectMm last = labelRect(count() - 1);
    if (last.right() > page.width + kTolerance) {
        return QStringLiteral("Die Etiketten reichen rechts über das Blatt hinaus.");
    }
    if (last.bottom() > page.height + kTolerance) {
        return QStringLiteral("Die Etiketten reichen unten über das Blatt hinaus.");
    }
    return std::nullopt;
}

std::span<const LabelSheet> sheetCatalogue() {
    return catalogue();
}

std::optional<LabelSheet> sheetById(const QString& id) {
    for (const LabelSheet& sheet : catalogue()) {
        if (sheet.id.compare(id, Qt::CaseInsensitive) == 0) {
            return sheet;
        }
    }
    return std::nullopt;
}

LabelSheet customSheet() {
    LabelSheet sheet = catalogue().front();
    sheet.id = kCustomSheetId;
    sheet.name = QStringLiteral("Eigenes Format");
    return sheet;
}

}  // namespace veltro::labels
