#pragma once

#include "platform/PrintSurface.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace veltro::printing {

// One print job on a surface. The printer keeps its font from job to job, so the job starts
// from and updates the font the caller carries.
class PrintJob {
public:
    PrintJob(platform::PrintSurface& surface, platform::PrintFont& printerFont);

    void setOrigin(double left, double top);
    // Face and size change only where given (an empty face keeps the one in use).
    void setFont(const std::optional<QString>& face, std::optional<double> points, bool bold);
    // Items of one line, each after the first in its print zone.
    void line(const QStringList& items);
    // Text whose every line break starts a new line at the left origin.
    void text(const QString& text);
    void finish();

private:
    platform::PrintSurface& surface_;
    platform::PrintFont& font_;
};

}  // namespace veltro::printing
