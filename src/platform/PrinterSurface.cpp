#include "platform/PrinterSurface.h"

#include <QFontMetricsF>
#include <QPrinter>

namespace veltro::platform {

namespace {
constexpr double kPageWidthUnits = 210.0;
constexpr double kPageHeightUnits = 297.0;
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
    unitX_ = page.width() / kPageWidthUnits;
    unitY_ = page.height() / kPageHeightUnits;
    setFont(PrintFont{QStringLiteral("Arial"), 10.0, false, false});
}

void PrinterSurface::setOrigin(double left, double top) {
    left_ = left;
    top_ = top;
    currentY_ = 0.0;
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

void PrinterSurface::printLine(const QString& text) {
    const double height = lineHeightUnits();
    if ((currentY_ - top_) + height > kPageHeightUnits && currentY_ > 0.0) {
        printer_.newPage();
        currentY_ = 0.0;
    }
    const QFontMetricsF metrics(painter_.font(), &printer_);
    const double x = (0.0 - left_) * unitX_;
    const double y = (currentY_ - top_) * unitY_ + metrics.ascent();
    painter_.drawText(QPointF(x, y), text);
    currentY_ += height;
}

void PrinterSurface::finish() {
    if (painter_.isActive()) {
        painter_.end();
    }
}

}  // namespace veltro::platform
