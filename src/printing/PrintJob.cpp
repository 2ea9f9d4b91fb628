#include "printing/PrintJob.h"

#include <QRegularExpression>

#include <cmath>

namespace veltro::printing {

PrintJob::PrintJob(platform::PrintSurface& surface, platform::PrintFont& printerFont)
    : surface_(surface), font_(printerFont) {
    surface_.setFont(font_);
}

void PrintJob::setOrigin(double left, double top) {
    surface_.setOrigin(left, top);
}

void PrintJob::setFont(const std::optional<QString>& face, std::optional<double> points,
                       bool bold) {
    if (face && !face->isEmpty()) {
        font_.face = *face;
    }
    if (points && std::isfinite(*points) && *points > 0) {
        font_.points = *points;
    }
    font_.bold = bold;
    surface_.setFont(font_);
}

void PrintJob::line(const QStringList& items) {
    surface_.printItems(items);
}

void PrintJob::text(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|[\r\n\u2028\u2029]"));
    for (const QString& row : text.split(lineBreak)) {
        surface_.printLine(row);
    }
}

void PrintJob::finish() {
    surface_.finish();
}

}  // namespace veltro::printing
