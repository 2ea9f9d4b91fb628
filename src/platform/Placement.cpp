#include "platform/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace veltro::platform {

namespace {

// What a window manager's frame may add around a window, at most.
const QSize kFrameRoom(16, 48);

}  // namespace

QSize frameRoom(const QWidget& window) {
    return window.isVisible() ? window.frameGeometry().size() - window.geometry().size()
                              : kFrameRoom;
}

QSize roomOnScreen(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    }
    return screen->availableGeometry().size() - frameRoom(window);
}

void resizeWithin(QWidget& window, QSize wanted) {
    window.resize(wanted.boundedTo(roomOnScreen(window)));
}

void placeOver(QWidget& window, const QWidget* over) {
    const QScreen* screen = over != nullptr ? over->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    window.resize(window.size().boundedTo(area.size() - kFrameRoom));
    QRect frame(QPoint(), window.size() + kFrameRoom);
    frame.moveCenter(over != nullptr ? over->frameGeometry().center() : area.center());
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() + 1 - frame.height()));
    window.move(frame.topLeft());
}

}  // namespace veltro::platform
