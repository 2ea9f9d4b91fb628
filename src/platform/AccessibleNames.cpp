#include "platform/AccessibleNames.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

namespace veltro::platform {

namespace {

// What a caption, a frame or a tooltip says about the widget.
QString describedName(const QWidget& widget) {
    if (!widget.accessibleName().isEmpty()) {
        return widget.accessibleName();
    }
    for (const QLabel* label : widget.window()->findChildren<QLabel*>()) {
        if (label->buddy() == &widget && !label->text().isEmpty()) {
            return QString(label->text()).remove(u'&').remove(u':').trimmed();
        }
    }
    for (const QWidget* up = widget.parentWidget(); up != nullptr && !up->isWindow();
         up = up->parentWidget()) {
        if (const auto* frame = qobject_cast<const QGroupBox*>(up);
            frame != nullptr && !frame->title().isEmpty()) {
            return QString(frame->title()).remove(u'&').trimmed();
        }
    }
    return widget.toolTip();
}

QString iconName(QMessageBox::Icon icon) {
    switch (icon) {
        case QMessageBox::Question:
            return QStringLiteral("Frage");
        case QMessageBox::Warning:
            return QStringLiteral("Warnung");
        case QMessageBox::Critical:
            return QStringLiteral("Fehler");
        case QMessageBox::Information:
        case QMessageBox::NoIcon:
            break;
    }
    return QStringLiteral("Hinweis");
}

QString defaultName(const QWidget& widget) {
    if (const auto* bar = qobject_cast<const QScrollBar*>(&widget)) {
        return bar->orientation() == Qt::Vertical ? QStringLiteral("Bildlaufleiste senkrecht")
                                                  : QStringLiteral("Bildlaufleiste waagerecht");
    }
    if (qobject_cast<const QSplitterHandle*>(&widget) != nullptr) {
        return QStringLiteral("Teilerleiste");
    }
    if (qobject_cast<const QSplitter*>(&widget) != nullptr) {
        return QStringLiteral("Geteilte Ansicht");
    }
    if (qobject_cast<const QStatusBar*>(&widget) != nullptr) {
        return QStringLiteral("Statuszeile");
    }
    if (qobject_cast<const QProgressBar*>(&widget) != nullptr) {
        return QStringLiteral("Fortschritt");
    }
    if (const auto* tools = qobject_cast<const QToolBar*>(&widget)) {
        return tools->windowTitle().isEmpty() ? QStringLiteral("Werkzeugleiste")
                                              : tools->windowTitle();
    }
    if (widget.objectName() == u"qt_toolbar_ext_button") {
        return QStringLiteral("Weitere Werkzeuge");
    }
    if (widget.objectName() == u"qt_msgboxex_icon_label") {
        const auto* box = qobject_cast<const QMessageBox*>(widget.window());
        return iconName(box != nullptr ? box->icon() : QMessageBox::NoIcon);
    }
    if (qobject_cast<const QMainWindow*>(&widget) != nullptr && !widget.isWindow()) {
        return widget.window()->windowTitle();
    }
    // The edit line of a drop-down list or a number box is named as its owner.
    const QWidget* owner = widget.parentWidget();
    if (qobject_cast<const QLineEdit*>(&widget) != nullptr && owner != nullptr &&
        (qobject_cast<const QComboBox*>(owner) != nullptr ||
         qobject_cast<const QAbstractSpinBox*>(owner) != nullptr)) {
        return describedName(*owner);
    }
    if (qobject_cast<const QAbstractItemView*>(&widget) != nullptr ||
        qobject_cast<const QLineEdit*>(&widget) != nullptr) {
        return describedName(widget);
    }
    return {};
}

class NameGiver final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // On showing: captions and frames made after the widget are there by then.
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->accessibleName().isEmpty()) {
                if (const QString name = defaultName(*widget); !name.isEmpty()) {
                    widget->setAccessibleName(name);
                }
            }
        }
        return false;
    }
};

}  // namespace

void nameUnnamedWidgets() {
    static bool installed = false;
    if (!installed && qApp != nullptr) {
        qApp->installEventFilter(new NameGiver(qApp));
        installed = true;
    }
}

}  // namespace veltro::platform
