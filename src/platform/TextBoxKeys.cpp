#include "platform/TextBoxKeys.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace veltro::platform {

namespace {

bool isDeleteKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_Delete && (key.modifiers() & ~Qt::KeypadModifier) == 0;
}

bool isTextBox(const QObject* target) {
    return qobject_cast<const QLineEdit*>(target) != nullptr ||
           qobject_cast<const QTextEdit*>(target) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(target) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(target) != nullptr;
}

bool isRedoKey(const QKeyEvent& key) {
    const auto modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_Y && modifiers == Qt::ControlModifier) ||
           (key.key() == Qt::Key_Z && modifiers == (Qt::ControlModifier | Qt::ShiftModifier));
}

// Redoes in the box and says whether `target` is an editable box at all.
bool redoIn(QObject* target, bool act) {
    if (auto* line = qobject_cast<QLineEdit*>(target); line != nullptr && !line->isReadOnly()) {
        if (act) {
            line->redo();
        }
        return true;
    }
    if (auto* text = qobject_cast<QTextEdit*>(target); text != nullptr && !text->isReadOnly()) {
        if (act) {
            text->redo();
        }
        return true;
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(target);
        plain != nullptr && !plain->isReadOnly()) {
        if (act) {
            plain->redo();
        }
        return true;
    }
    return false;
}

class RedoKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto type = event->type();
        if (type == QEvent::ShortcutOverride && isDeleteKey(*static_cast<QKeyEvent*>(event)) &&
            isTextBox(watched)) {
            event->accept();  // the box's key; it arrives as a key press
            return true;
        }
        if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) ||
            !isRedoKey(*static_cast<QKeyEvent*>(event))) {
            return false;
        }
        if (!redoIn(watched, type == QEvent::KeyPress)) {
            return false;
        }
        // Claimed as the box's own key, so that no shortcut of the window takes it.
        event->accept();
        return true;
    }
};

}  // namespace

void keepEditingKeysInTextBoxes() {
    static bool installed = false;
    if (!installed && qApp != nullptr) {
        qApp->installEventFilter(new RedoKeys(qApp));
        installed = true;
    }
}

}  // namespace veltro::platform
