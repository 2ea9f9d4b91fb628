#include "richtext/FormattingBar.h"

#include "richtext/CommandBars.h"
#include "richtext/RichTextBlock.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace veltro::richtext {
namespace {

const QString kBold = QStringLiteral("tbrFett");
const QString kItalic = QStringLiteral("tbrKursiv");
const QString kUnderline = QStringLiteral("tbrUnterstrichen");
const QString kBullet = QStringLiteral("tbrBullet");
const QString kLeft = QStringLiteral("tbrLinks");
const QString kCentre = QStringLiteral("tbrMitte");
const QString kRight = QStringLiteral("tbrRechts");

}  // namespace

FormattingBar::FormattingBar(CommandBars& bars, RichTextBlock& address, RichTextBlock& notes,
                             QObject* parent)
    : QObject(parent),
      bars_(bars),
      address_(address),
      notes_(notes),
      addressView_(address.viewport()),
      notesView_(notes.viewport()),
      formatter_(address, notes) {
    bars_.setCommand(QStringLiteral("tbrFont"),
                     [this] { afterDialog(formatter_.chooseFontForBoth()); });
    bars_.setCommand(QStringLiteral("tbrFontColor"),
                     [this] { afterDialog(formatter_.chooseColourForBoth()); });
    bars_.setCommand(kBold, [this] { toggle(Style::Bold, kBold); });
    bars_.setCommand(kItalic, [this] { toggle(Style::Italic, kItalic); });
    bars_.setCommand(kUnderline, [this] { toggle(Style::Underline, kUnderline); });
    bars_.setCommand(kBullet, [this] { toggle(Style::Bullet, kBullet); });
    bars_.setCommand(kLeft, [this] { align(Alignment::Left); });
    bars_.setCommand(kCentre, [this] { align(Alignment::Center); });
    bars_.setCommand(kRight, [this] { align(Alignment::Right); });

    for (RichTextBlock* block : {&address_, &notes_}) {
        block->installEventFilter(this);
        block->viewport()->installEventFilter(this);
        connect(block, &RichTextBlock::selectionAttributesChanged, this, [this, block] {
            if (focusedBlock() == block) {
                follow(*block);
            }
        });
    }
}

RichTextBlock* FormattingBar::focusedBlock() const {
    const QWidget* focus = QApplication::focusWidget();
    if (focus == &address_) {
        return &address_;
    }
    if (focus == &notes_) {
        return &notes_;
    }
    return nullptr;
}

void FormattingBar::follow(RichTextBlock& block) {
    const SelectionAttributes attributes = block.selectionAttributes();
    // A mixed alignment leaves the alignment buttons as they are.
    if (attributes.alignment) {
        showAlignment(*attributes.alignment);
    }
    bars_.setPressed(kBold, attributes.bold == Tri::True);
    bars_.setPressed(kItalic, attributes.italic == Tri::True);
    bars_.setPressed(kUnderline, attributes.underline == Tri::True);
    bars_.setPressed(kBullet, attributes.bullet == Tri::True);
}

bool FormattingBar::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    // Only these; the others come also while a block is being destroyed.
    if (type != QEvent::MouseButtonRelease && type != QEvent::KeyRelease &&
        type != QEvent::FocusIn) {
        return false;
    }
    RichTextBlock* block = blockOf(watched);
    if (!block) {
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
                break;
            }
            [[fallthrough]];
        case QEvent::KeyRelease:
            // The block has handled the press already, so the selection is the new one.
            if (touched_) {
                touched_();
            }
            follow(*block);
            break;
        case QEvent::FocusIn:
            follow(*block);
            break;
        default:
            break;
    }
    return false;
}

void FormattingBar::toggle(Style style, const QString& key) {
    // With the focus outside the blocks the button does nothing.
    if (RichTextBlock* block = focusedBlock()) {
        bars_.setPressed(key, BlockFormatter::toggle(*block, style));
    }
}

void FormattingBar::align(Alignment alignment) {
    if (RichTextBlock* block = focusedBlock()) {
        BlockFormatter::align(*block, alignment);
        follow(*block);
    }
}

void FormattingBar::afterDialog(bool applied) {
    RichTextBlock* block = focusedBlock();
    if (applied && block) {
        follow(*block);
    }
}

void FormattingBar::showAlignment(Alignment alignment) {
    // One of the three at most; a justified paragraph presses none.
    bars_.setPressed(kLeft, alignment == Alignment::Left);
    bars_.setPressed(kCentre, alignment == Alignment::Center);
    bars_.setPressed(kRight, alignment == Alignment::Right);
}

RichTextBlock* FormattingBar::blockOf(QObject* watched) const {
    if (watched == &address_ || watched == addressView_) {
        return &address_;
    }
    if (watched == &notes_ || watched == notesView_) {
        return &notes_;
    }
    return nullptr;
}

}  // namespace veltro::richtext
