#include "richtext/TextDocumentRtf.h"

#include "richtext/ParagraphChunks.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>

#include <cmath>
#include <unordered_map>

namespace veltro::richtext {
namespace {

constexpr double kTwipsPerPixel = 15.0;  // at 96 dpi
// Links are shown underlined; this keeps whether the link's text itself was.
constexpr int kLinkUnderlined = QTextFormat::UserProperty + 1;

Qt::Alignment qtAlignment(Alignment alignment) {
    switch (alignment) {
        case Alignment::Right:
            return Qt::AlignRight;
        case Alignment::Center:
            return Qt::AlignHCenter;
        case Alignment::Justify:
            return Qt::AlignJustify;
        case Alignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

QTextCharFormat qtCharFormat(const CharFormat& format) {
    QTextCharFormat qt;
    if (format == CharFormat{}) {
        return qt;  // plain text: the document's default font decides
    }
    if (!format.family.isEmpty()) {
        qt.setFontFamilies(QStringList{format.family});
    }
    if (format.halfPoints > 0) {
        qt.setFontPointSize(format.halfPoints / 2.0);
    }
    qt.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    qt.setFontItalic(format.italic);
    qt.setFontUnderline(format.underline);
    qt.setFontStrikeOut(format.strike);
    if (format.vertical != VerticalAlignment::Normal) {
        qt.setVerticalAlignment(format.vertical == VerticalAlignment::Super
                                    ? QTextCharFormat::AlignSuperScript
                                    : QTextCharFormat::AlignSubScript);
    }
    if (format.colour) {
        qt.setForeground(QColor(static_cast<QRgb>(*format.colour)));
    }
    if (!format.link.isEmpty()) {
        qt.setAnchor(true);
        qt.setAnchorHref(format.link);
        qt.setProperty(kLinkUnderlined, format.underline);
        qt.setFontUnderline(true);
    }
    return qt;
}

VerticalAlignment verticalOf(const QTextCharFormat& qt) {
    switch (qt.verticalAlignment()) {
        case QTextCharFormat::AlignSuperScript:
            return VerticalAlignment::Super;
        case QTextCharFormat::AlignSubScript:
            return VerticalAlignment::Sub;
        default:
            return VerticalAlignment::Normal;
    }
}

QTextBlockFormat qtBlockFormat(const ParaFormat& format) {
    QTextBlockFormat qt;
    if (format.alignment != Alignment::Left) {
        qt.setAlignment(qtAlignment(format.alignment));
    }
    if (!format.bullet) {  // a list brings its own indent
        if (format.leftIndentTwips != 0) {
            qt.setLeftMargin(format.leftIndentTwips / kTwipsPerPixel);
        }
        if (format.firstIndentTwips != 0) {
            qt.setTextIndent(format.firstIndentTwips / kTwipsPerPixel);
        }
    }
    return qt;
}

// insertText() would start a new block at line ends and at Qt's frame markers (U+FDD0,
// U+FDD1); inside a run line ends are line breaks, and the markers are not text.
QString runText(const QString& text) {
    const auto breaks = [](QChar c) {
        return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
    };
    const auto markers = [](QChar c) { return c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1; };
    // One cheap comparison for nearly every character: a note may be megabytes long.
    const bool plain = std::none_of(text.begin(), text.end(), [&](QChar c) {
        return (c.unicode() <= u'\r' || c.unicode() >= 0x2029) && (breaks(c) || markers(c));
    });
    if (plain) {
        return text;
    }
    QString clean = text;
    std::replace_if(clean.begin(), clean.end(), breaks, QChar::LineSeparator);
    std::replace_if(clean.begin(), clean.end(), markers, QChar::ReplacementCharacter);
    return clean;
}

int halfPointsOf(const QFont& font) {
    if (font.pointSizeF() > 0) {
        return static_cast<int>(std::lround(font.pointSizeF() * 2));
    }
    if (font.pixelSize() > 0) {
        return static_cast<int>(std::lround(font.pixelSize() * 1.5));  // 0.75 pt per pixel
    }
    return 0;
}

QString familyOf(const QFont& font) {
    const QStringList families = font.families();
    return families.isEmpty() ? font.family() : families.front();
}

CharFormat charFormatOf(const QTextCharFormat& qt, const QFont& base) {
    const QFont font = qt.font().resolve(base);
    CharFormat format;
    format.family = familyOf(font);
    format.halfPoints = halfPointsOf(font);
    format.bold = font.bold();
    format.italic = font.italic();
    format.underline = qt.hasProperty(QTextFormat::TextUnderlineStyle) ||
                               qt.hasProperty(QTextFormat::FontUnderline)
                           ? qt.fontUnderline()
                           : base.underline();
    format.strike = font.strikeOut();
    format.vertical = verticalOf(qt);
    if (qt.hasProperty(QTextFormat::ForegroundBrush) && qt.foreground().style() != Qt::NoBrush) {
        format.colour = qt.foreground().color().rgb() & 0xFFFFFFu;
    }
    if (qt.isAnchor() && !qt.anchorHref().isEmpty()) {
        format.link = qt.anchorHref();
        // Taking the underline off a link takes it off; the display alone never adds one.
        if (qt.hasProperty(kLinkUnderlined)) {
            format.underline = format.underline && qt.boolProperty(kLinkUnderlined);
        }
    }
    return format;
}

ParaFormat paraFormatOf(const QTextBlock& block) {
    const QTextBlockFormat qt = block.blockFormat();
    ParaFormat format;
    format.alignment = alignmentOf(qt.alignment());
    format.bullet = block.textList() != nullptr;
    format.leftIndentTwips = static_cast<int>(std::lround(qt.leftMargin() * kTwipsPerPixel));
    format.firstIndentTwips = static_cast<int>(std::lround(qt.textIndent() * kTwipsPerPixel));
    return format;
}

// Paragraphs touching [from, to]; runs clipped to [from, to).
RichDocument contentBetween(const QTextDocument& document, int from, int to) {
    const QFont base = document.defaultFont();
    RichDocument content;
    content.defaultFamily = familyOf(base);
    content.defaultHalfPoints = halfPointsOf(base);
    // The chunks of a long paragraph share their formats; resolve each only once.
    std::unordered_map<int, CharFormat> formats;
    const auto formatOf = [&](const QTextFragment& fragment) -> const CharFormat& {
        const auto [at, added] = formats.try_emplace(fragment.charFormatIndex());
        if (added) {
            at->second = charFormatOf(fragment.charFormat(), base);
        }
        return at->second;
    };
    const QTextBlock first = document.findBlock(from);
    for (QTextBlock block = first; block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block == first || !continuesParagraph(block)) {
            Paragraph paragraph;
            paragraph.format = paraFormatOf(block);
            content.paragraphs.push_back(std::move(paragraph));
        }
        Paragraph& paragraph = content.paragraphs.back();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(from, fragment.position());
            const int end = std::min(to, fragment.position() + fragment.length());
            if (start < end) {
                paragraph.runs.push_back(
                    {fragment.text().mid(start - fragment.position(), end - start),
                     formatOf(fragment)});
            }
        }
    }
    return normalized(std::move(content));
}

qsizetype paragraphLength(const Paragraph& paragraph) {
    qsizetype length = 0;
    for (const TextRun& run : paragraph.runs) {
        length += run.text.size();
    }
    return length;
}

// The later chunks of a long paragraph: its format, not in a list (a bullet for every chunk
// would be wrong), indented as far as the item's text instead.
QTextBlockFormat chunkFormat(const Paragraph& paragraph) {
    QTextBlockFormat format = qtBlockFormat(paragraph.format);
    if (paragraph.format.bullet) {
        format.setIndent(1);
    }
    return format;
}

// The runs of a paragraph whose first block the cursor is in, a new block after every
// kChunkLength characters or so.
void insertRuns(QTextCursor& cursor, const Paragraph& paragraph, ChunkMark mark) {
    const QTextBlockFormat later = chunkFormat(paragraph);
    qsizetype room = kChunkLength;
    for (const TextRun& run : paragraph.runs) {
        const QString text = runText(run.text);
        const QTextCharFormat chars = qtCharFormat(run.format);
        qsizetype at = 0;
        while (text.size() - at > room) {
            if (room > 0) {
                const qsizetype end = chunkEnd(text, at, room);
                cursor.insertText(text.mid(at, end - at), chars);
                at = end;
            }
            ++mark.index;
            QTextBlockFormat format = later;
            setChunkMark(format, mark);
            cursor.insertBlock(format, chars);
            room = kChunkLength;
        }
        cursor.insertText(at == 0 ? text : text.mid(at), chars);
        room -= text.size() - at;
    }
}

}  // namespace

Alignment alignmentOf(Qt::Alignment qt) {
    const Qt::Alignment horizontal = qt & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignRight) {
        return Alignment::Right;
    }
    if (horizontal & Qt::AlignHCenter) {
        return Alignment::Center;
    }
    if (horizontal & Qt::AlignJustify) {
        return Alignment::Justify;
    }
    return Alignment::Left;
}

void fillTextDocument(QTextDocument& document, const RichDocument& content) {
    // Clearing inside the edit block makes the whole fill one new content, which Qt lays out
    // in steps between events rather than all at once.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    document.clear();
    QTextList* list = nullptr;
    bool first = true;
    for (const Paragraph& paragraph : content.paragraphs) {
        QTextBlockFormat blockFormat = qtBlockFormat(paragraph.format);
        const QTextCharFormat blockChars = paragraph.runs.empty()
                                               ? QTextCharFormat()
                                               : qtCharFormat(paragraph.runs.front().format);
        const bool chunked = paragraphLength(paragraph) > kChunkLength;
        const ChunkMark head{chunked ? newChunkedParagraph() : 0, 0};
        if (chunked) {
            setChunkMark(blockFormat, head);
        }
        if (first) {
            cursor.setBlockFormat(blockFormat);
            cursor.setBlockCharFormat(blockChars);
            first = false;
        } else {
            cursor.insertBlock(blockFormat, blockChars);
        }
        if (!paragraph.format.bullet) {
            list = nullptr;
        } else if (list) {
            list->add(cursor.block());
        } else {
            list = cursor.createList(QTextListFormat::ListDisc);
        }
        insertRuns(cursor, paragraph, head);
    }
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

void readRtfInto(QTextDocument& document, const QByteArray& stored) {
    fillTextDocument(document, documentFromStored(QByteArrayView(stored)));
}

void readRtfInto(QTextDocument& document, const QString& stored) {
    fillTextDocument(document, documentFromStored(stored));
}

RichDocument richDocumentFrom(const QTextDocument& document) {
    return contentBetween(document, 0, document.characterCount() - 1);
}

RichDocument richDocumentFrom(const QTextCursor& selection) {
    if (!selection.hasSelection() || !selection.document()) {
        return {};
    }
    return contentBetween(*selection.document(), selection.selectionStart(),
                          selection.selectionEnd());
}

QByteArray writeRtf(const QTextDocument& document) {
    return writeRtf(richDocumentFrom(document));
}

QByteArray writeRtf(const QTextCursor& selection) {
    return writeRtf(richDocumentFrom(selection));
}

QByteArray writeRtf(const QTextDocumentFragment& fragment) {
    QTextDocument document;
    QTextCursor(&document).insertFragment(fragment);
    return writeRtf(document);
}

void registerFontSubstitutes() {
    static const bool registered = [] {
        QFont::insertSubstitutions(
            QStringLiteral("MS Sans Serif"),
            {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
        return true;
    }();
    (void)registered;
}

}  // namespace veltro::richtext
