#include "richtext/RtfListWriter.h"

#include "richtext/RtfEscape.h"

namespace veltro::richtext {
namespace {

constexpr int kIndentTwips = 360;

QByteArray number(int value) {
    return QByteArray::number(value);
}

QByteArray hexByte(int value) {
    return "\\'" + QByteArray::number(value, 16).rightJustified(2, '0');
}

// \levelnfc and the matching \pn word.
int numberFormat(ListStyle style) {
    switch (style) {
        case ListStyle::UpperRoman:
            return 1;
        case ListStyle::LowerRoman:
            return 2;
        case ListStyle::UpperAlpha:
            return 3;
        case ListStyle::LowerAlpha:
            return 4;
        case ListStyle::Decimal:
            return 0;
        case ListStyle::Disc:
        case ListStyle::Circle:
        case ListStyle::Square:
            break;
    }
    return 23;
}

const char* pnStyleWord(ListStyle style) {
    switch (style) {
        case ListStyle::UpperRoman:
            return "\\pnucrm";
        case ListStyle::LowerRoman:
            return "\\pnlcrm";
        case ListStyle::UpperAlpha:
            return "\\pnucltr";
        case ListStyle::LowerAlpha:
            return "\\pnlcltr";
        default:
            return "\\pndec";
    }
}

// A bullet as RTF text: the Symbol font's dot, an "o", or the small square.
QByteArray bulletText(ListStyle style, int symbolFont) {
    switch (style) {
        case ListStyle::Circle:
            return "o";
        case ListStyle::Square:
            return "\\u9642?";
        default:
            return "\\f" + number(symbolFont) + "\\'b7";
    }
}

// Every list has an item at some level; levels without one take a plain format.
template <typename Levels>
auto firstUsed(const Levels& levels) {
    return std::find_if(levels.begin(), levels.end(),
                        [](const auto& level) { return level.has_value(); });
}

ListItem defaultLevel(const ListItem& first) {
    ListItem item;
    item.style = isBullet(first.style) ? ListStyle::Disc : ListStyle::Decimal;
    item.suffix = isBullet(first.style) ? QString() : QStringLiteral(".");
    return item;
}

QByteArray listLevel(const ListItem& item, int level, int symbolFont) {
    const int format = numberFormat(item.style);
    QByteArray out = "{\\listlevel\\levelnfc" + number(format) + "\\levelnfcn" + number(format) +
                     "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat" + number(item.start);
    if (item.style == ListStyle::Disc) {
        out += "{\\leveltext\\'01\\'b7;}{\\levelnumbers;}\\f" + number(symbolFont);
    } else if (isBullet(item.style)) {
        out += "{\\leveltext\\'01" + bulletText(item.style, symbolFont) + ";}{\\levelnumbers;}";
    } else {
        const auto length = static_cast<int>(item.prefix.size() + 1 + item.suffix.size());
        out += "{\\leveltext" + hexByte(length) + rtfEscaped(item.prefix) + hexByte(level) +
               rtfEscaped(item.suffix) + ";}{\\levelnumbers" +
               hexByte(static_cast<int>(item.prefix.size()) + 1) + ";}";
    }
    return out + "\\fi-" + number(kIndentTwips) + "\\li" + number(kIndentTwips * (level + 1)) + '}';
}

}  // namespace

RtfListWriter::RtfListWriter(const RichDocument& document) {
    for (const Paragraph& paragraph : document.paragraphs) {
        const ListItem& item = paragraph.format.list;
        if (item.list == 0) {
            continue;
        }
        const auto [at, added] =
            numbers_.try_emplace(item.list, static_cast<int>(lists_.size()) + 1);
        if (added) {
            lists_.emplace_back();
        }
        std::optional<ListItem>& level =
            lists_[static_cast<std::size_t>(at->second - 1)]
                  [static_cast<std::size_t>(std::clamp(item.level, 0, kMaxListLevel))];
        if (!level) {
            level = item;
        }
    }
    // Only what the list table holds is written, defaults of unused levels included.
    for (const Levels& levels : lists_) {
        const ListItem unused = defaultLevel(**firstUsed(levels));
        symbolBullets_ =
            symbolBullets_ || std::any_of(levels.begin(), levels.end(), [&](const auto& l) {
                return l.value_or(unused).style == ListStyle::Disc;
            });
    }
}

QByteArray RtfListWriter::tables(int symbolFont) const {
    if (lists_.empty()) {
        return {};
    }
    QByteArray out = "{\\*\\listtable";
    for (std::size_t k = 0; k < lists_.size(); ++k) {
        const Levels& levels = lists_[k];
        const ListItem unused = defaultLevel(**firstUsed(levels));
        out += "\r\n{\\list";
        for (std::size_t level = 0; level < levels.size(); ++level) {
            out += listLevel(levels[level].value_or(unused), static_cast<int>(level), symbolFont);
        }
        out += "\\listid" + number(static_cast<int>(k) + 1) + '}';
    }
    out += "}\r\n{\\*\\listoverridetable";
    for (std::size_t k = 1; k <= lists_.size(); ++k) {
        const QByteArray id = number(static_cast<int>(k));
        out += "{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + id + '}';
    }
    return out + "}\r\n";
}

QByteArray RtfListWriter::itemWords(const ParaFormat& format, int symbolFont) {
    const ListItem& item = format.list;
    const int level = std::clamp(item.level, 0, kMaxListLevel);
    const int ls = numbers_.at(item.list);
    // The list table's format of this level, which is what readers of the table show.
    ListItem shown = *lists_[static_cast<std::size_t>(ls - 1)][static_cast<std::size_t>(level)];
    shown.level = level;
    const int itemNumber = counter_.next(shown);
    QByteArray out;
    if (isBullet(shown.style)) {
        const QByteArray bullet = bulletText(shown.style, symbolFont);
        const QByteArray word = shown.style == ListStyle::Circle ? " " : "";  // "o" ends no word
        out += "{\\pntext" + word + bullet + "\\tab}{\\*\\pn\\pnlvlblt";
        if (shown.style == ListStyle::Disc) {
            out += "\\pnf" + number(symbolFont) + "\\pnindent0{\\pntxtb\\'b7}}";
        } else {
            out += "\\pnindent0{\\pntxtb" + word + bullet + "}}";
        }
    } else {
        out += "{\\pntext " + rtfEscaped(listLabel(shown, itemNumber)) +
               "\\tab}{\\*\\pn\\pnlvlbody" + pnStyleWord(shown.style) + "\\pnstart" +
               number(itemNumber) + "\\pnindent" + number(kIndentTwips) + "\\pnhang";
        if (!shown.prefix.isEmpty()) {
            out += "{\\pntxtb " + rtfEscaped(shown.prefix) + '}';
        }
        if (!shown.suffix.isEmpty()) {
            out += "{\\pntxta " + rtfEscaped(shown.suffix) + '}';
        }
        out += '}';
    }
    const bool own = format.leftIndentTwips != 0 || format.firstIndentTwips != 0;
    const int left = own ? format.leftIndentTwips : kIndentTwips * (level + 1);
    const int first = own ? format.firstIndentTwips : -kIndentTwips;
    return out + "\\ls" + number(ls) + "\\ilvl" + number(level) + "\\fi" + number(first) + "\\li" +
           number(left);
}

}  // namespace veltro::richtext
