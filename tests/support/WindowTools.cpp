#include "WindowTools.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMetaEnum>
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
    static_cast<void>(QTest::qWaitForWindowExposed(&window, timeoutMs));
    static_cast<void>(
        QTest::qWaitFor([&] { return window.frameGeometry() != window.geometry(); }, timeoutMs));
    return window.frameGeometry();
}

void settle() {
    QGuiApplication::sync();
    QCoreApplication::processEvents();
}

FocusLog::FocusLog(QWidget& widget) {
    widget.installEventFilter(this);
}

bool FocusLog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        changes_.push_back({event->type(), static_cast<QFocusEvent*>(event)->reason()});
    }
    return QObject::eventFilter(watched, event);
}

std::optional<Qt::FocusReason> FocusLog::last(QEvent::Type type) const {
    for (auto change = changes_.rbegin(); change != changes_.rend(); ++change) {
        if (change->type == type) {
            return change->reason;
        }
    }
    return std::nullopt;
}

}  // namespace veltro::testing

void Qt::PrintTo(FocusReason reason, std::ostream* os) {
    *os << QMetaEnum::fromType<FocusReason>().valueToKey(reason);
}
