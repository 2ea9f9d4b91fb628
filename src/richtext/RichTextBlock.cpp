#include "richtext/RichTextBlock.h"

#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"
#include "richtext/TextDocumentRtf.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextList>

#include <array>
#include <memory>

namespace veltro::richtext {
namespace {

const QString kRtfMime = QStringLiteral("text/rtf");
// Other names under which programs offer RTF on the clipboard.
const std::array<QString, 3> kRtfMimes = {kRtfMime, QStringLiteral("application/rtf"),
                                          QStringLiteral("text/richtext")};

QByteArray rtfFrom(const QMimeData* source) {
    for (const QString& mime : kRtfMimes) {
        if (source->hasFormat(mime)) {
            QByteArray rtf = source->data(mime);
            if (looksLikeRtf(QByteArrayView(rtf))) {
                return rtf;
            }
        }
    }
    return {};
}

}  // namespace

RichTextBlock::RichTextBlock(QWidget* parent) : QTextEdit(parent) {
    registerFontSubstitutes();
    setAcceptRichText(true);
    connect(this, &QTextEdit::selectionChanged, this, &RichTextBlock::selectionAttributesChanged);
    connect(this, &QTextEdit::cursorPositionChanged, this,
            &RichTextBlock::selectionAttributesChanged);
    connect(this, &QTextEdit::currentCharFormatChanged, this,
            &RichTextBlock::selectionAttributesChanged);
}

QString RichTextBlock::rtfText() const {
    return QString::fromLatin1(writeRtf(*document()));
}

void RichTextBlock::setRtfText(const QString& stored) {
    readRtfInto(*document(), stored);
    moveCursor(QTextCursor::Start);
    document()->clearUndoRedoStacks();
    document()->setModified(false);
}

QString RichTextBlock::plainText(LineBreak lineBreak) const {
    return veltro::richtext::plainText(richDocumentFrom(*document()), lineBreak);
}

SelectionAttributes RichTextBlock::selectionAttributes() const {
    return veltro::richtext::selectionAttributes(textCursor(), currentCharFormat(),
                                                 palette().color(QPalette::Text));
}

void RichTextBlock::setSelectionBullet(bool bullet) {
    QTextCursor cursor = textCursor();
    const QTextBlock first = document()->findBlock(cursor.selectionStart());
    const QTextBlock last = document()->findBlock(cursor.selectionEnd());
    cursor.beginEditBlock();
    if (!bullet) {
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (QTextList* list = block.textList()) {
                list->remove(block);
                QTextBlockFormat format = block.blockFormat();
                format.setIndent(0);
                QTextCursor(block).setBlockFormat(format);
            }
            if (block == last) {
                break;
            }
        }
    } else {
        // Join the list just above, so neighbouring items stay one list.
        QTextList* list = first.previous().isValid() ? first.previous().textList() : nullptr;
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (!block.textList()) {
                if (list) {
                    list->add(block);
                } else {
                    list = QTextCursor(block).createList(QTextListFormat::ListDisc);
                }
            } else {
                list = block.textList();
            }
            if (block == last) {
                break;
            }
        }
    }
    cursor.endEditBlock();
    Q_EMIT selectionAttributesChanged();
}

void RichTextBlock::setSelectionAlignment(Alignment alignment) {
    switch (alignment) {
        case Alignment::Left:
            setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
            break;
        case Alignment::Right:
            setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
            break;
        case Alignment::Center:
            setAlignment(Qt::AlignHCenter);
            break;
        case Alignment::Justify:
            setAlignment(Qt::AlignJustify);
            break;
    }
    Q_EMIT selectionAttributesChanged();
}

QMimeData* RichTextBlock::createMimeDataFromSelection() const {
    auto mime = std::make_unique<QMimeData>();
    const RichDocument selected = richDocumentFrom(textCursor());
    mime->setData(kRtfMime, writeRtf(selected));
    mime->setText(veltro::richtext::plainText(selected, LineBreak::Lf));
    return mime.release();  // the caller owns it
}

bool RichTextBlock::canInsertFromMimeData(const QMimeData* source) const {
    return source && (source->hasText() || !rtfFrom(source).isEmpty());
}

void RichTextBlock::insertFromMimeData(const QMimeData* source) {
    if (!source || isReadOnly()) {
        return;
    }
    const QByteArray rtf = rtfFrom(source);
    if (rtf.isEmpty()) {
        insertPlainText(source->text());  // takes the format at the cursor
        return;
    }
    QTextDocument pasted;
    pasted.setDefaultFont(document()->defaultFont());
    readRtfInto(pasted, rtf);
    QTextCursor cursor = textCursor();
    cursor.insertFragment(QTextDocumentFragment(&pasted));
    setTextCursor(cursor);
    ensureCursorVisible();
}

}  // namespace veltro::richtext
