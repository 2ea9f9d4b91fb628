#include "richtext/TextDocumentFormats.h"

#include <QColor>
#include <QStringList>

#include <cmath>

namespace veltro::richtext {
namespace {

// Links are shown underlined; this keeps whether the link's text itself was.
constexpr int kLinkUnderlined = QTextFormat::UserProperty + 1;
constexpr int kItemLeft = QTextFormat::UserProperty + 7;  // twips
constexpr int kItemFirst = QTextFormat::UserProperty + 8;
constexpr int kItemLevel = QTextFormat::UserProperty + 9;

int twips(qreal pixels) {
    return static_cast<int>(std::lround(pixels * kTwipsPerPixel));
}

}  // namespace

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
    if (format.isItem()) {  // a list brings its own indent; the item's is kept for writing
        if (format.leftIndentTwips != 0 || format.firstIndentTwips != 0) {
            qt.setProperty(kItemLeft, format.leftIndentTwips);
            qt.setProperty(kItemFirst, format.firstIndentTwips);
            qt.setProperty(kItemLevel, format.list.level);
        }
    } else {
        if (format.leftIndentTwips != 0) {
            qt.setLeftMargin(format.leftIndentTwips / kTwipsPerPixel);
        }
        if (format.firstIndentTwips != 0) {
            qt.setTextIndent(format.firstIndentTwips / kTwipsPerPixel);
        }
    }
    if (format.spaceBeforeTwips != 0) {
        qt.setTopMargin(format.spaceBeforeTwips / kTwipsPerPixel);
    }
    if (format.spaceAfterTwips != 0) {
        qt.setBottomMargin(format.spaceAfterTwips / kTwipsPerPixel);
    }
    if (format.lineMultiple && format.lineSpacing != 0) {
        qt.setLineHeight(format.lineSpacing * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
    } else if (format.lineSpacing > 0) {
        qt.setLineHeight(format.lineSpacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
    } else if (format.lineSpacing < 0) {
        qt.setLineHeight(-format.lineSpacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
    }
    return qt;
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

ParaFormat paraFormatOf(const QTextBlockFormat& qt) {
    ParaFormat format;
    format.alignment = alignmentOf(qt.alignment());
    format.leftIndentTwips = twips(qt.leftMargin());
    format.firstIndentTwips = twips(qt.textIndent());
    format.spaceBeforeTwips = twips(qt.topMargin());
    format.spaceAfterTwips = twips(qt.bottomMargin());
    switch (qt.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            format.lineSpacing = static_cast<int>(std::lround(qt.lineHeight() * 240 / 100));
            format.lineMultiple = format.lineSpacing != 0;
            break;
        case QTextBlockFormat::MinimumHeight:
            format.lineSpacing = twips(qt.lineHeight());
            break;
        case QTextBlockFormat::FixedHeight:
            format.lineSpacing = -twips(qt.lineHeight());
            break;
        default:
            break;
    }
    return format;
}

void keepItemIndents(ParaFormat& format, const QTextBlockFormat& qt) {
    if (!format.isItem()) {
        return;
    }
    const bool asRead =
        qt.hasProperty(kItemLevel) && qt.intProperty(kItemLevel) == format.list.level;
    format.leftIndentTwips = asRead ? qt.intProperty(kItemLeft) : 0;
    format.firstIndentTwips = asRead ? qt.intProperty(kItemFirst) : 0;
}

}  // namespace veltro::richtext
