#pragma once

#include <QSize>

class QWidget;

namespace veltro::platform {

// The largest inner size a window may take so that it fits, with its frame, into the free
// area of its screen (the primary screen while it has none).
[[nodiscard]] QSize roomOnScreen(const QWidget& window);

// What the window manager's frame adds to the window's size: as drawn while it is shown
// (nothing until the window manager has framed it), else as much as a frame may add.
[[nodiscard]] QSize frameRoom(const QWidget& window);

// Resizes the window to `wanted`, or as much of it as fits on its screen.
void resizeWithin(QWidget& window, QSize wanted);

// Before a window without a parent is first shown: makes it fit the screen of `over` (the
// primary screen without one) and centres it over `over`, or on that screen, wholly inside
// the screen's free area.
void placeOver(QWidget& window, const QWidget* over);

}  // namespace veltro::platform
