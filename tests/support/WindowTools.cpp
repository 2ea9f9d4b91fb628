#include "WindowTools.h"

#include <QApplication>
#include <QTest>
#include <QWindow>

namespace veltro::testing {

namespace {
constexpr int timeoutMs = 5000;
}

bool showActive(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window, timeoutMs);
}

std::unique_ptr<QWidget> activateOtherWindow() {
    auto other = std::make_unique<QWidget>();
    other->setWindowTitle(QStringLiteral("Anderes Fenster"));
    other->resize(300, 200);
    if (!showActive(*other)) {
        return nullptr;
    }
    return other;
}

void click(QWidget& widget, Qt::MouseButton button, QPoint pos) {
    if (pos.isNull()) {
        pos = widget.rect().center();
    }
    QWindow* const window = widget.window()->windowHandle();
    QTest::mouseClick(window, button, {}, window->mapFromGlobal(widget.mapToGlobal(pos)));
}

QRect placedFrameGeometry(QWidget& window) {
    // Before the frame's size is known, Qt may report a frame that does not enclose the window.
    const auto enclosed = [&] {
        const QRect frame = window.frameGeometry();
        return frame != window.geometry() && frame.contains(window.geometry());
    };
    static_cast<void>(QTest::qWaitForWindowExposed(&window, timeoutMs));
    return QTest::qWaitFor(enclosed, timeoutMs) ? window.frameGeometry() : window.geometry();
}

void settle() {
    QGuiApplication::sync();
    QCoreApplication::processEvents();
}

}  // namespace veltro::testing
