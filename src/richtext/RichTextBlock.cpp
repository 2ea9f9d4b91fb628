#include "richtext/RichTextBlock.h"

#include "richtext/ParagraphChunks.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"
#include "richtext/TextDocumentPictures.h"
#include "richtext/TextDocumentRtf.h"

#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
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

bool isTopBulletList(const QTextList& list) {
    const QTextListFormat format = list.format();
    return format.indent() <= 1 && (format.style() == QTextListFormat::ListDisc ||
                                    format.style() == QTextListFormat::ListCircle ||
                                    format.style() == QTextListFormat::ListSquare);
}

// Inserts the text of an HTML clip with its bold, italic and underline; everything else
// (fonts, sizes, colours, links, pictures, tables) gives way to the format at the cursor.
void insertHtmlText(QTextCursor& cursor, const QString& html) {
    QTextDocument clip;
    clip.setHtml(html);
    const QTextCharFormat base = cursor.charFormat();
    cursor.beginEditBlock();
    for (QTextBlock block = clip.begin(); block.isValid(); block = block.next()) {
        if (block != clip.begin()) {
            cursor.insertBlock();
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat from = it.fragment().charFormat();
            QTextCharFormat format = base;
            format.setFontWeight(from.fontWeight() >= QFont::DemiBold ? QFont::Bold
                                                                      : QFont::Normal);
            format.setFontItalic(from.fontItalic());
            // Links come underlined by default; only a chosen underline counts.
            format.setFontUnderline(from.fontUnderline() && !from.isAnchor());
            QString text = it.fragment().text();
            text.remove(QChar::ObjectReplacementCharacter);
            // A line break inside a paragraph becomes a paragraph of its own, as the blocks
            // store no other.
            const QStringList lines = text.split(QChar::LineSeparator);
            for (qsizetype line = 0; line < lines.size(); ++line) {
                if (line > 0) {
                    cursor.insertBlock();
                }
                cursor.setCharFormat(format);
                insertPlainTextInChunks(cursor, lines[line]);
            }
        }
    }
    cursor.endEditBlock();
}

}  // namespace

RichTextBlock::RichTextBlock(QWidget* parent) : QTextEdit(parent) {
    registerFontSubstitutes();
    enablePictures(*document());
    setAcceptRichText(true);
    // A word wider than the box breaks anywhere; long paragraphs come in chunks, which keeps
    // that affordable (see ParagraphChunks).
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(true);
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
    // No cursor while the text goes in: one pushed to the end of a long text would have Qt
    // lay out all of it at once to show where it was.
    setTextCursor(QTextCursor());
    dropped_ = readRtfInto(*document(), stored);
    setTextCursor(QTextCursor(document()));
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
    const QTextBlock first = paragraphStart(document()->findBlock(cursor.selectionStart()));
    const QTextBlock last = paragraphEnd(document()->findBlock(cursor.selectionEnd()));
    cursor.beginEditBlock();
    if (!bullet) {
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            QTextList* list = block.textList();
            if (list) {
                list->remove(block);
            }
            // An item and the later chunks of its text (see below) lose the list's indent.
            if (list || continuesParagraph(block)) {
                QTextBlockFormat format = block.blockFormat();
                format.setIndent(0);
                QTextCursor(block).setBlockFormat(format);
            }
            if (block == last) {
                break;
            }
        }
    } else {
        // Join a bullet list just above, so neighbouring items stay one list; a numbered one
        // keeps its own items.
        QTextList* list = first.previous().isValid() ? first.previous().textList() : nullptr;
        if (list != nullptr && !isTopBulletList(*list)) {
            list = nullptr;
        }
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (continuesParagraph(block)) {
                // The text of the item goes on; it gets no bullet of its own.
                QTextBlockFormat format = block.blockFormat();
                format.setIndent(1);
                QTextCursor(block).setBlockFormat(format);
            } else if (!block.textList()) {
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
    Qt::Alignment qt = Qt::AlignLeft | Qt::AlignAbsolute;
    switch (alignment) {
        case Alignment::Left:
            break;
        case Alignment::Right:
            qt = Qt::AlignRight | Qt::AlignAbsolute;
            break;
        case Alignment::Center:
            qt = Qt::AlignHCenter;
            break;
        case Alignment::Justify:
            qt = Qt::AlignJustify;
            break;
    }
    // The chunks of a long paragraph keep one alignment, as the paragraph has one.
    const QTextCursor selection = textCursor();
    QTextCursor paragraphs(paragraphStart(document()->findBlock(selection.selectionStart())));
    const QTextBlock last = paragraphEnd(document()->findBlock(selection.selectionEnd()));
    paragraphs.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    QTextBlockFormat format;
    format.setAlignment(qt);
    paragraphs.mergeBlockFormat(format);
    setAlignment(qt);
    Q_EMIT selectionAttributesChanged();
}

void RichTextBlock::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
        if (!isReadOnly()) {
            insertPlainText(QStringLiteral("\t"));
        }
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

QMimeData* RichTextBlock::createMimeDataFromSelection() const {
    auto mime = std::make_unique<QMimeData>();
    const RichDocument selected = richDocumentFrom(textCursor());
    mime->setData(kRtfMime, writeRtf(selected));
    mime->setText(veltro::richtext::plainText(selected, LineBreak::Lf));
    return mime.release();  // the caller owns it
}

bool RichTextBlock::canInsertFromMimeData(const QMimeData* source) const {
    return source && (source->hasText() || source->hasHtml() || source->hasImage() ||
                      !rtfFrom(source).isEmpty());
}

void RichTextBlock::insertFromMimeData(const QMimeData* source) {
    if (!source || isReadOnly()) {
        return;
    }
    const QByteArray rtf = rtfFrom(source);
    if (rtf.isEmpty() && source->hasImage()) {
        // A picture from another program is kept as PNG, which every reader of RTF draws.
        const auto image = source->imageData().value<QImage>();
        if (!image.isNull()) {
            QTextCursor cursor = textCursor();
            insertPicture(cursor, std::make_shared<const Picture>(pictureFromImage(image)),
                          cursor.charFormat());
            setTextCursor(cursor);
            ensureCursorVisible();
            return;
        }
    }
    if (rtf.isEmpty()) {
        QTextCursor cursor = textCursor();
        if (!source->hasText() && source->hasHtml()) {
            insertHtmlText(cursor, source->html());
        } else {
            insertPlainTextInChunks(cursor, source->text());  // takes the format at the cursor
        }
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    QTextDocument pasted;
    pasted.setDefaultFont(document()->defaultFont());
    dropped_ += readRtfInto(pasted, rtf);
    QTextCursor cursor = textCursor();
    cursor.insertFragment(QTextDocumentFragment(&pasted));
    setTextCursor(cursor);
    ensureCursorVisible();
}

}  // namespace veltro::richtext
