#include "platform/HelpKey.h"

#include "platform/Platform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace veltro::platform {

namespace {

constexpr const char* kHelpPage = "veltroHelpPage";

class HelpKey final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress ||
            static_cast<const QKeyEvent*>(event)->key() != Qt::Key_F1 ||
            static_cast<const QKeyEvent*>(event)->modifiers() != Qt::NoModifier) {
            return false;
        }
        // From the widget up through the windows that opened it.
        for (auto* widget = qobject_cast<QWidget*>(watched); widget != nullptr;
             widget = widget->parentWidget()) {
            if (const QVariant page = widget->property(kHelpPage); page.isValid()) {
                current().showHelp(page.toString());
                return true;
            }
        }
        return false;
    }
};

}  // namespace

void setHelpPage(QWidget& window, const QString& page) {
    static bool installed = false;
    if (!installed && qApp != nullptr) {
        qApp->installEventFilter(new HelpKey(qApp));
        installed = true;
    }
    window.setProperty(kHelpPage, page);
}

}  // namespace veltro::platform
