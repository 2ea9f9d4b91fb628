#include "platform/PrinterSurface.h"

#include <QFontMetricsF>
#include <QPrinter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace veltro::platform {

namespace {
constexpr double kPageWidthUnits = 210.0;
constexpr double kPageHeightUnits = 297.0;
constexpr double kZoneColumns = 14.0;
}  // namespace

std::unique_ptr<PrinterSurface> PrinterSurface::begin(QPrinter& printer) {
    std::unique_ptr<PrinterSurface> surface(new PrinterSurface(printer));
    if (!surface->painter_.isActive()) {
        return nullptr;
    }
    return surface;
}

PrinterSurface::PrinterSurface(QPrinter& printer) : printer_(printer), painter_(&printer) {
    const QRectF page = printer_.pageRect(QPrinter::DevicePixel);
    pageWidth_ = page.width();
    unitX_ = page.width() / kPageWidthUnits;
    unitY_ = page.height() / kPageHeightUnits;
    setFont(PrintFont{QString(), 10.0, false, false});
}

void PrinterSurface::setOrigin(double left, double top) {
    left_ = left;
    top_ = top;
    lineY_ = 0.0;
}

void PrinterSurface::setFont(const PrintFont& font) {
    QFont qfont(font.face);
    qfont.setPointSizeF(font.points > 0 ? font.points : 10.0);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    painter_.setFont(QFont(qfont, &printer_));
}

double PrinterSurface::lineHeightUnits() const {
    return QFontMetricsF(painter_.font(), &printer_).lineSpacing() / unitY_;
}

void PrinterSurface::printItems(const QStringList& items) {
    const QFontMetricsF metrics(painter_.font(), &printer_);
    const double zone = std::max(1.0, kZoneColumns * metrics.averageCharWidth());
    const double blank = metrics.horizontalAdvance(QLatin1Char(' '));
    const double origin = -left_ * unitX_;
    double x = 0.0;  // from the left origin
    for (qsizetype i = 0; i < items.size(); ++i) {
        // An item whose zone lies at the right edge goes on at the left origin.
        if (i > 0 && origin + x + zone > pageWidth_) {
            newLine();
            x = 0.0;
        }
        const QStringList rows = wrapped(items[i], pageWidth_ - origin - x);
        for (qsizetype row = 0; row < rows.size(); ++row) {
            if (row > 0) {
                newLine();
            }
            draw(origin + x, rows[row]);
        }
        const double end = x + metrics.horizontalAdvance(rows.last());
        x = std::ceil((end + blank) / zone) * zone;
    }
    newLine();
}

QStringList PrinterSurface::wrapped(const QString& text, double width) const {
    const QFontMetricsF metrics(painter_.font(), &printer_);
    if (text.isEmpty() || metrics.horizontalAdvance(text) <= width) {
        return {text};
    }
    QTextLayout layout(text, painter_.font(), &printer_);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList rows;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        rows << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return rows.isEmpty() ? QStringList{text} : rows;
}

void PrinterSurface::breakPageIfFull() {
    if (lineY_ <= 0.0 || (lineY_ - top_) + lineHeightUnits() <= kPageHeightUnits) {
        return;
    }
    if (pageUsed_) {
        printer_.newPage();
        pageUsed_ = false;
    }
    lineY_ = 0.0;
}

void PrinterSurface::draw(double x, const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    breakPageIfFull();
    const QFontMetricsF metrics(painter_.font(), &printer_);
    painter_.drawText(QPointF(x, (lineY_ - top_) * unitY_ + metrics.ascent()), text);
    pageUsed_ = true;
}

void PrinterSurface::newLine() {
    lineY_ += lineHeightUnits();
}

void PrinterSurface::finish() {
    if (painter_.isActive()) {
        painter_.end();
    }
}

}  // namespace veltro::platform
