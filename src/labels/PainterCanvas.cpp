#include "labels/PainterCanvas.h"

#include "store/AtomicFile.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace veltro::labels {

PainterCanvas::PainterCanvas(QPainter& painter, QPagedPaintDevice& device, SizeMm page,
                             bool showCutMarks)
    : painter_(painter),
      device_(device),
      page_(page),
      showCutMarks_(showCutMarks),
      dotsPerMm_(device.logicalDpiX() / 25.4) {
    setStyle(TextStyle{});
}

void PainterCanvas::setStyle(const TextStyle& style) {
    if (style == style_ && lineSpacing_ > 0) {
        return;
    }
    style_ = style;
    QFont font = style.face.isEmpty() ? QFont() : QFont(style.face);
    font.setPointSizeF(style.points > 0 ? style.points : 10.0);
    font.setBold(style.bold);
    font_ = QFont(font, &device_);
    painter_.setFont(font_);
    const QFontMetricsF metrics(font_, &device_);
    ascent_ = metrics.ascent();
    lineSpacing_ = metrics.lineSpacing();
}

double PainterCanvas::textWidth(const QString& text) const {
    return QFontMetricsF(font_, &device_).horizontalAdvance(text) / dotsPerMm_;
}

double PainterCanvas::lineHeight() const {
    return lineSpacing_ / dotsPerMm_;
}

void PainterCanvas::beginPage() {
    if (started_) {
        device_.newPage();
    }
    started_ = true;
    setTurned(false);
}

void PainterCanvas::drawText(double x, double top, const QString& text) {
    if (!text.isEmpty()) {
        painter_.drawText(QPointF(x * dotsPerMm_, top * dotsPerMm_ + ascent_), text);
    }
}

void PainterCanvas::drawRect(const RectMm& rect) {
    painter_.save();
    painter_.setPen(QPen(Qt::black, 0.2 * dotsPerMm_));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRectF(rect.x * dotsPerMm_, rect.y * dotsPerMm_, rect.width * dotsPerMm_,
                             rect.height * dotsPerMm_));
    painter_.restore();
}

void PainterCanvas::drawLine(double x1, double y1, double x2, double y2) {
    painter_.save();
    painter_.setPen(QPen(Qt::black, 0.25 * dotsPerMm_));
    painter_.drawLine(QPointF(x1 * dotsPerMm_, y1 * dotsPerMm_),
                      QPointF(x2 * dotsPerMm_, y2 * dotsPerMm_));
    painter_.restore();
}

void PainterCanvas::setTurned(bool turned) {
    painter_.resetTransform();
    if (turned) {
        painter_.translate(page_.width * dotsPerMm_, 0.0);
        painter_.rotate(90.0);
    }
}

void PainterCanvas::markCut(const RectMm& rect) {
    if (!showCutMarks_) {
        return;
    }
    painter_.save();
    QPen pen(QColor(200, 0, 0), 0.6 * dotsPerMm_, Qt::DashLine);
    painter_.setPen(pen);
    painter_.setBrush(QColor(255, 0, 0, 30));
    const double inset = 0.5;
    painter_.drawRect(QRectF((rect.x + inset) * dotsPerMm_, (rect.y + inset) * dotsPerMm_,
                             (rect.width - 2 * inset) * dotsPerMm_,
                             (rect.height - 2 * inset) * dotsPerMm_));
    painter_.restore();
}

void setPageSize(QPagedPaintDevice& device, SizeMm page) {
    const bool landscape = page.width > page.height;
    const QSizeF portrait(std::min(page.width, page.height), std::max(page.width, page.height));
    const QPageSize size(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    device.setPageLayout(QPageLayout(size,
                                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

void paintPages(QPagedPaintDevice& device, SizeMm page, bool showCutMarks, const DrawPages& draw) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return;
    }
    PainterCanvas canvas(painter, device, page, showCutMarks);
    draw(canvas);
    painter.end();
}

std::optional<QString> writePdf(const QString& path, const QString& title, SizeMm page,
                                const DrawPages& draw) {
    store::AtomicFile file(path);
    if (!file.open()) {
        return file.reason();
    }
    {
        QPdfWriter writer(&file.device());
        writer.setResolution(1200);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Veltro Adressbuch"));
        setPageSize(writer, page);
        QPainter painter;
        if (!painter.begin(&writer)) {
            return QStringLiteral("Die PDF-Datei lässt sich nicht beginnen.");
        }
        PainterCanvas canvas(painter, writer, page, false);
        draw(canvas);
        painter.end();
    }
    if (!file.commit()) {
        return file.reason();
    }
    return std::nullopt;
}

}  // namespace veltro::labels
