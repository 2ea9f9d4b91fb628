#include "labels/FitText.h"

#include <algorithm>
#include <cmath>

namespace veltro::labels {

namespace {

constexpr double kStep = 0.5;

bool fits(const QStringList& lines, SizeMm box, const TextMetrics& metrics) {
    if (static_cast<double>(lines.size()) * metrics.lineHeight() > box.height) {
        return false;
    }
    return std::ranges::all_of(
        lines, [&](const QString& line) { return metrics.textWidth(line) <= box.width; });
}

}  // namespace

QString elided(const QString& text, double width, const TextMetrics& metrics) {
    if (metrics.textWidth(text) <= width) {
        return text;
    }
    // Binary search over the length; widths grow with every character kept.
    qsizetype low = 0;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (metrics.textWidth(text.left(middle).trimmed() + kEllipsis) <= width) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return text.left(low).trimmed() + kEllipsis;
}

FittedText fitText(const QStringList& lines, TextStyle style, SizeMm box, TextMetrics& metrics) {
    const double chosen = std::isfinite(style.points) && style.points > 0 ? style.points : 10.0;
    double points = chosen;
    for (;;) {
        style.points = points;
        metrics.setStyle(style);
        if (fits(lines, box, metrics)) {
            return {lines, points, points < chosen, false};
        }
        const double next = std::max(kSmallestPoints, points - kStep);
        if (next >= points) {
            break;
        }
        points = next;
    }
    // At the smallest size: keep the lines there is room for, the last kept one marking
    // that more followed, and cut every line that is too wide.
    const auto room = static_cast<qsizetype>(std::floor(box.height / metrics.lineHeight()));
    FittedText fitted{lines.mid(0, std::max<qsizetype>(room, 1)), points, points < chosen, true};
    const bool dropped = fitted.lines.size() < lines.size();
    for (qsizetype i = 0; i < fitted.lines.size(); ++i) {
        QString& line = fitted.lines[i];
        if (dropped && i == fitted.lines.size() - 1 && !line.endsWith(kEllipsis)) {
            line = elided(line + QStringLiteral("\u00a0") + kEllipsis, box.width, metrics);
        } else {
            line = elided(line, box.width, metrics);
        }
    }
    return fitted;
}

}  // namespace veltro::labels
