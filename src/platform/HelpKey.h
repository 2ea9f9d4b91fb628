#pragma once

#include <QString>

class QWidget;

namespace veltro::platform {

// The help page F1 opens while this window, or a window it opened (a message, a file
// dialog …), is active: F1 in any window opens the page of the nearest window that names
// one, unless a widget takes the key itself.
void setHelpPage(QWidget& window, const QString& page);

}  // namespace veltro::platform
