#include "maintenance/ClipboardCommands.h"

#include "richtext/RichTextBlock.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>

#include <memory>

namespace veltro::maintenance {
namespace {

using richtext::RichTextBlock;

// The blocks, and single-line boxes that may be changed; null for everything else.
QLineEdit* editableBox(QWidget* focused) {
    auto* box = qobject_cast<QLineEdit*>(focused);
    return box && !box->isReadOnly() ? box : nullptr;
}

RichTextBlock* editableBlock(QWidget* focused) {
    auto* block = qobject_cast<RichTextBlock*>(focused);
    return block && !block->isReadOnly() ? block : nullptr;
}

void copyOrCut(QWidget* focused, bool remove) {
    QApplication::clipboard()->clear();
    if (auto* block = qobject_cast<RichTextBlock*>(focused)) {
        if (!block->textCursor().hasSelection()) {
            return;
        }
        if (remove && !block->isReadOnly()) {
            block->cut();
        } else {
            block->copy();
        }
    } else if (auto* box = qobject_cast<QLineEdit*>(focused)) {
        if (!box->hasSelectedText()) {
            return;
        }
        QApplication::clipboard()->setText(box->selectedText());
        if (remove && !box->isReadOnly()) {
            box->del();
        }
    }
}

}  // namespace

void ClipboardCommands::copyBlock(const RichTextBlock& block) {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    const QString plain = block.plainText(richtext::LineBreak::Lf);
    if (plain.isEmpty()) {
        return;
    }
    auto mime = std::make_unique<QMimeData>();
    mime->setData(QStringLiteral("text/rtf"), block.rtfText().toLatin1());
    mime->setText(plain);
    clipboard->setMimeData(mime.release());  // the clipboard owns it
}

void ClipboardCommands::cut(QWidget* focused) {
    copyOrCut(focused, true);
}

void ClipboardCommands::copy(QWidget* focused) {
    copyOrCut(focused, false);
}

void ClipboardCommands::paste(QWidget* focused) {
    if (RichTextBlock* block = editableBlock(focused)) {
        block->paste();
    } else if (QLineEdit* box = editableBox(focused)) {
        box->paste();
    }
}

void ClipboardCommands::deleteSelection(QWidget* focused) {
    if (RichTextBlock* block = editableBlock(focused)) {
        block->textCursor().removeSelectedText();
    } else if (QLineEdit* box = editableBox(focused); box && box->hasSelectedText()) {
        box->del();
    }
}

}  // namespace veltro::maintenance
