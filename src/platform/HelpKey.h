#pragma once

#include <QString>

class QWidget;

namespace veltro::platform {

// The help page F1 opens while this window, or a window it opened (a message, a file
// dialog …), is active.
void setHelpPage(QWidget& window, const QString& page);

// F1 in any window opens the page of the nearest window that names one, unless the window
// takes the key itself. Installed once on the application.
void installHelpKey();

}  // namespace veltro::platform
