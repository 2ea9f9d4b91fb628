#pragma once

#include "platform/PrintSurface.h"

#include <QFont>
#include <QPainter>

#include <memory>

class QPrinter;

namespace veltro::platform {

// Paints lines on a QPrinter in page units of 210 × 297 across the printable area.
class PrinterSurface final : public PrintSurface {
public:
    // Nothing when the printer cannot start a job (no printer installed, say).
    static std::unique_ptr<PrinterSurface> begin(QPrinter& printer);

    void setOrigin(double left, double top) override;
    void setFont(const PrintFont& font) override;
    void printLine(const QString& text) override;
    void finish() override;

private:
    explicit PrinterSurface(QPrinter& printer);
    [[nodiscard]] double lineHeightUnits() const;

    QPrinter& printer_;
    QPainter painter_;
    double unitX_ = 1.0;  // device pixels per unit
    double unitY_ = 1.0;
    double left_ = 0.0;
    double top_ = 0.0;
    double currentY_ = 0.0;  // in units, from the origin
};

}  // namespace veltro::platform
