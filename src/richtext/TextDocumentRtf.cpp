#include "richtext/TextDocumentRtf.h"

#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>

#include <cmath>

namespace veltro::richtext {
namespace {

constexpr double kTwipsPerPixel = 15.0;  // at 96 dpi

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
    if (format.colour) {
        qt.setForeground(QColor(static_cast<QRgb>(*format.colour)));
    }
    return qt;
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
    if (std::none_of(text.begin(), text.end(), [&](QChar c) { return breaks(c) || markers(c); })) {
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
    if (qt.hasProperty(QTextFormat::ForegroundBrush) && qt.foreground().style() != Qt::NoBrush) {
        format.colour = qt.foreground().color().rgb() & 0xFFFFFFu;
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
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        Paragraph paragraph;
        paragraph.format = paraFormatOf(block);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(from, fragment.position());
            const int end = std::min(to, fragment.position() + fragment.length());
            if (start < end) {
                paragraph.runs.push_back(
                    {fragment.text().mid(start - fragment.position(), end - start),
                     charFormatOf(fragment.charFormat(), base)});
            }
        }
        content.paragraphs.push_back(std::move(paragraph));
    }
    return normalized(std::move(content));
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
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    QTextList* list = nullptr;
    bool first = true;
    for (const Paragraph& paragraph : content.paragraphs) {
        const QTextBlockFormat blockFormat = qtBlockFormat(paragraph.format);
        const QTextCharFormat blockChars = paragraph.runs.empty()
                                               ? QTextCharFormat()
                                               : qtCharFormat(paragraph.runs.front().format);
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
        for (const TextRun& run : paragraph.runs) {
            cursor.insertText(runText(run.text), qtCharFormat(run.format));
        }
    }
    cursor.endEditBlock();
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
