#include "richtext/RichDocument.h"

#include <algorithm>
#include <limits>

namespace veltro::richtext {
namespace {

constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kParagraphSeparator = 0x2029;
constexpr char16_t kSoftHyphen = 0x00AD;
constexpr char16_t kObjectReplacement = 0xFFFC;

void appendPlain(QStringView text, QStringView lineBreak, QString& out) {
    for (const QChar ch : text) {
        switch (ch.unicode()) {
            case kLineSeparator:
            case kParagraphSeparator:
                out += lineBreak;
                break;
            case kSoftHyphen:
            case kObjectReplacement:
                break;
            default:
                out += ch;
        }
    }
}

}  // namespace

QString plainText(const RichDocument& document, LineBreak lineBreak) {
    const QStringView separator = lineBreak == LineBreak::CrLf ? u"\r\n" : u"\n";
    QString out;
    const Paragraph* previous = nullptr;
    for (const Paragraph& paragraph : document.paragraphs) {
        if (previous != nullptr) {
            const CellPlace& a = previous->place;
            const CellPlace& b = paragraph.place;
            const bool nextCell =
                a.table >= 0 && a.table == b.table && a.row == b.row && a.cell != b.cell;
            out += nextCell ? QStringView(u"\t") : separator;
        }
        previous = &paragraph;
        for (const TextRun& run : paragraph.runs) {
            appendPlain(run.text, separator, out);
        }
    }
    return out;
}

RichDocument documentFromPlainText(QStringView text) {
    RichDocument document;
    qsizetype start = 0;
    const auto addLine = [&](qsizetype end) {
        Paragraph paragraph;
        if (end > start) {
            paragraph.runs.push_back({text.sliced(start, end - start).toString(), {}});
        }
        document.paragraphs.push_back(std::move(paragraph));
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == u'\r' || ch == u'\n' || ch == QChar(kParagraphSeparator)) {
            addLine(i);
            if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size() || document.paragraphs.empty()) {
        addLine(text.size());
    }
    return document;
}

RichDocument normalized(RichDocument document) {
    std::map<int, int> lists;  // as given -> in order of appearance
    for (Paragraph& paragraph : document.paragraphs) {
        ListItem& item = paragraph.format.list;
        if (item.list != 0) {
            item.list =
                lists.try_emplace(item.list, static_cast<int>(lists.size()) + 1).first->second;
            if (isBullet(item.style)) {
                item.prefix.clear();
                item.suffix.clear();
                item.start = 1;
            }
        }
        std::vector<TextRun> merged;
        for (TextRun& run : paragraph.runs) {
            if (run.text.isEmpty()) {
                continue;
            }
            if (!merged.empty() && merged.back().format == run.format && !run.picture &&
                !merged.back().picture) {
                merged.back().text += run.text;
            } else {
                merged.push_back(std::move(run));
            }
        }
        paragraph.runs = std::move(merged);
    }
    return document;
}

namespace {

QString letters(int number, char16_t first) {
    QString out;
    for (int n = number; n > 0; n = (n - 1) / 26) {
        out.prepend(QChar(static_cast<char16_t>(first + (n - 1) % 26)));
    }
    return out;
}

QString roman(int number, bool upper) {
    if (number <= 0 || number >= 4000) {
        return QString::number(number);
    }
    static constexpr std::array<std::pair<int, const char*>, 13> kDigits = {{{1000, "m"},
                                                                             {900, "cm"},
                                                                             {500, "d"},
                                                                             {400, "cd"},
                                                                             {100, "c"},
                                                                             {90, "xc"},
                                                                             {50, "l"},
                                                                             {40, "xl"},
                                                                             {10, "x"},
                                                                             {9, "ix"},
                                                                             {5, "v"},
                                                                             {4, "iv"},
                                                                             {1, "i"}}};
    QString out;
    int rest = number;
    for (const auto& [value, digits] : kDigits) {
        for (; rest >= value; rest -= value) {
            out += QLatin1StringView(digits);
        }
    }
    return upper ? out.toUpper() : out;
}

}  // namespace

QString listLabel(const ListItem& item, int number) {
    switch (item.style) {
        case ListStyle::Disc:
            return QStringLiteral("\u2022");
        case ListStyle::Circle:
            return QStringLiteral("\u25E6");
        case ListStyle::Square:
            return QStringLiteral("\u25AA");
        case ListStyle::Decimal:
            return item.prefix + QString::number(number) + item.suffix;
        case ListStyle::LowerAlpha:
        case ListStyle::UpperAlpha:
            return item.prefix +
                   (number > 0 ? letters(number, item.style == ListStyle::LowerAlpha ? u'a' : u'A')
                               : QString::number(number)) +
                   item.suffix;
        case ListStyle::LowerRoman:
        case ListStyle::UpperRoman:
            return item.prefix + roman(number, item.style == ListStyle::UpperRoman) + item.suffix;
    }
    return {};
}

int ListCounter::next(const ListItem& item) {
    Levels& levels = lists_[item.list];
    const auto level = static_cast<std::size_t>(std::clamp(item.level, 0, kMaxListLevel));
    std::fill(levels.last.begin() + static_cast<std::ptrdiff_t>(level) + 1, levels.last.end(),
              std::nullopt);
    std::optional<int>& last = levels.last[level];
    last = last ? std::min(*last, std::numeric_limits<int>::max() - 1) + 1 : item.start;
    return *last;
}

}  // namespace veltro::richtext
