#pragma once

#include "labels/PageCanvas.h"

#include <QStringList>

namespace veltro::labels {

inline constexpr double kSmallestPoints = 7.0;
inline const QString kEllipsis = QStringLiteral("…");

// Lines made to fit a box: at the chosen size if they can, else smaller down to
// kSmallestPoints, and only then cut with an ellipsis.
struct FittedText {
    QStringList lines;
    double points = 10.0;
    bool shrunk = false;
    bool cut = false;
};

[[nodiscard]] FittedText fitText(const QStringList& lines, TextStyle style, SizeMm box,
                                 TextMetrics& metrics);

// The longest start of the text that fits the width with an ellipsis after it.
[[nodiscard]] QString elided(const QString& text, double width, const TextMetrics& metrics);

}  // namespace veltro::labels
