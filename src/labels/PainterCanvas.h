#pragma once

#include "labels/PageCanvas.h"

#include <QFont>

#include <functional>
#include <optional>

class QPagedPaintDevice;
class QPainter;

namespace veltro::labels {

// Draws in millimetres on a printer or PDF whose coordinates start at the paper's corner.
class PainterCanvas final : public PageCanvas {
public:
    PainterCanvas(QPainter& painter, QPagedPaintDevice& device, SizeMm page, bool showCutMarks);

    void setStyle(const TextStyle& style) override;
    [[nodiscard]] double textWidth(const QString& text) const override;
    [[nodiscard]] double lineHeight() const override;
    void beginPage() override;
    void drawText(double x, double top, const QString& text) override;
    void drawRect(const RectMm& rect) override;
    void drawLine(double x1, double y1, double x2, double y2) override;
    void setTurned(bool turned) override;
    void markCut(const RectMm& rect) override;

private:
    QPainter& painter_;
    QPagedPaintDevice& device_;
    SizeMm page_;
    bool showCutMarks_;
    double dotsPerMm_;
    bool started_ = false;
    TextStyle style_;
    QFont font_;
    double ascent_ = 0.0;       // device units
    double lineSpacing_ = 0.0;  // device units
};

using DrawPages = std::function<void(PageCanvas&)>;

// A page layout of this size, with no margins; landscape where it is wider than high.
void setPageSize(QPagedPaintDevice& device, SizeMm page);
// Paints pages on a device that has been given the page size.
void paintPages(QPagedPaintDevice& device, SizeMm page, bool showCutMarks, const DrawPages& draw);
// Writes the pages as a PDF file; the reason when it cannot be written. The file is
// replaced only when the whole document is written.
[[nodiscard]] std::optional<QString> writePdf(const QString& path, const QString& title,
                                              SizeMm page, const DrawPages& draw);

}  // namespace veltro::labels
