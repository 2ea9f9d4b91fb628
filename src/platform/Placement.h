#pragma once

class QWidget;

namespace veltro::platform {

// Before a window without a parent is first shown: makes it fit the screen of `over` (the
// primary screen without one) and centres it over `over`, or on that screen, wholly inside
// the screen's free area.
void placeOver(QWidget& window, const QWidget* over);

}  // namespace veltro::platform
