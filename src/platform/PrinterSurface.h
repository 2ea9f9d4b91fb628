#pragma once

#include "platform/PrintSurface.h"

#include <QPainter>

#include <memory>

class QPrinter;

namespace veltro::platform {

// Paints lines on a QPrinter in page units of 210 × 297 across the printable area.
// Text that would run past the right edge of the printable area wraps at a word boundary and
// goes on one line lower at the same x, so nothing is cut off. A page is started only when
// something is drawn on it, so trailing empty lines never eject a blank sheet.
class PrinterSurface final : public PrintSurface {
public:
    // Nothing when the printer cannot start a job.
    static std::unique_ptr<PrinterSurface> begin(QPrinter& printer);

    void setOrigin(double left, double top) override;
    void setFont(const PrintFont& font) override;
    void printItems(const QStringList& items) override;
    void finish() override;

private:
    explicit PrinterSurface(QPrinter& printer);
    [[nodiscard]] double lineHeightUnits() const;
    [[nodiscard]] QStringList wrapped(const QString& text, double width) const;
    // x in device pixels from the left edge of the printable area.
    void draw(double x, const QString& text);
    void breakPageIfFull();
    void newLine();

    QPrinter& printer_;
    QPainter painter_;
    double pageWidth_ = 0.0;  // device pixels
    double unitX_ = 1.0;      // device pixels per unit
    double unitY_ = 1.0;
    double left_ = 0.0;
    double top_ = 0.0;
    double lineY_ = 0.0;  // top of the current line, in units from the origin
    bool pageUsed_ = false;
};

}  // namespace veltro::platform
