#pragma once

// Helpers for tests under a real window manager (see WmTestMain.cpp).
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <memory>

namespace veltro::testing {

// Shows the window, asks the window manager to activate it and waits until it is active.
[[nodiscard]] bool showActive(QWidget& window);

// A plain second top-level window, shown and active, so that the window active before loses
// activation. Null when the window manager did not activate it.
[[nodiscard]] std::unique_ptr<QWidget> activateOtherWindow();

// A click at pos in widget (its centre by default), delivered through its top-level window as
// the window system delivers a real one: focus on click and context menus follow from it.
void click(QWidget& widget, Qt::MouseButton button = Qt::LeftButton, QPoint pos = {});
inline void rightClick(QWidget& widget, QPoint pos = {}) {
    click(widget, Qt::RightButton, pos);
}

// The frame geometry once the window manager has framed the shown window; the plain geometry
// when no frame arrives.
[[nodiscard]] QRect placedFrameGeometry(QWidget& window);

// Lets what the window system has sent so far arrive: a round trip to the server, then the
// events. Whatever the window manager does in reply comes later; wait for that by condition.
void settle();

}  // namespace veltro::testing
