#include "richtext/RtfWriter.h"

#include "richtext/RtfEscape.h"
#include "richtext/RtfField.h"
#include "richtext/RtfListWriter.h"
#include "richtext/RtfPicture.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace veltro::richtext {
namespace {

constexpr int kFallbackHalfPoints = 20;
const QString kFallbackFamily = QStringLiteral("Arial");
const QString kBulletFamily = QStringLiteral("Symbol");

struct WrittenChars {
    int font = -1;
    int halfPoints = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    VerticalAlignment vertical = VerticalAlignment::Normal;
    int colour = 0;
};

// A face name as the font table can hold it: no control characters and no ';', which ends it.
QString cleanFamily(const QString& family) {
    QString clean;
    for (const QChar c : family) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u != u';' && u != 0xFFFC && u != 0x2028 && u != 0x2029) {
            clean += c;
        }
    }
    return clean.trimmed();
}

class Writer {
public:
    explicit Writer(const RichDocument& document) : document_(document), lists_(document) {
        defaultFamily_ = cleanFamily(document.defaultFamily);
        if (defaultFamily_.isEmpty()) {
            defaultFamily_ = kFallbackFamily;
        }
        defaultHalfPoints_ =
            document.defaultHalfPoints > 0 ? document.defaultHalfPoints : kFallbackHalfPoints;
    }

    QByteArray write() {
        collectTables();
        out_ += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1";
        writeFontTable();
        writeColourTable();
        out_ += lists_.tables(bulletFont_);
        const std::vector<Paragraph>& paragraphs = document_.paragraphs;
        for (std::size_t i = 0; i < paragraphs.size(); ++i) {
            const Paragraph* previous = i > 0 ? &paragraphs[i - 1] : nullptr;
            const Paragraph* next = i + 1 < paragraphs.size() ? &paragraphs[i + 1] : nullptr;
            if (startsRow(paragraphs[i], previous)) {
                writeRowDefinition(paragraphs[i].place);
            }
            writeParagraph(paragraphs[i], next);
        }
        out_ += '}';
        return out_;
    }

private:
    QString familyOf(const CharFormat& format) const {
        const QString family = cleanFamily(format.family);
        return family.isEmpty() ? defaultFamily_ : family;
    }
    int halfPointsOf(const CharFormat& format) const {
        return std::clamp(format.halfPoints > 0 ? format.halfPoints : defaultHalfPoints_, 1, 3276);
    }

    void collectTables() {
        for (const Paragraph& paragraph : document_.paragraphs) {
            for (const TextRun& run : paragraph.runs) {
                if (!writesText(run.text)) {
                    continue;
                }
                addOnce(fonts_, familyOf(run.format));
                if (run.format.colour) {
                    addOnce(colours_, *run.format.colour);
                }
            }
        }
        if (fonts_.empty()) {
            fonts_.push_back(defaultFamily_);
        }
        if (lists_.needsSymbolFont()) {
            bulletFont_ = static_cast<int>(fonts_.size());  // Symbol with its own charset
        }
    }

    template <typename T>
    static void addOnce(std::vector<T>& list, const T& value) {
        if (std::find(list.begin(), list.end(), value) == list.end()) {
            list.push_back(value);
        }
    }

    void writeFontTable() {
        out_ += "{\\fonttbl";
        for (std::size_t i = 0; i < fonts_.size(); ++i) {
            out_ += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
            out_ += escaped(fonts_[i]);
            out_ += ";}";
        }
        if (bulletFont_ >= 0) {
            out_ += "{\\f" + QByteArray::number(bulletFont_) + "\\fnil\\fcharset2 Symbol;}";
        }
        out_ += "}\r\n";
    }

    void writeColourTable() {
        if (colours_.empty()) {
            return;
        }
        out_ += "{\\colortbl ;";
        for (const Rgb rgb : colours_) {
            out_ += "\\red" + QByteArray::number((rgb >> 16) & 0xFF) + "\\green" +
                    QByteArray::number((rgb >> 8) & 0xFF) + "\\blue" +
                    QByteArray::number(rgb & 0xFF) + ';';
        }
        out_ += "}\r\n";
    }

    const Table* tableOf(const CellPlace& place) const {
        const auto index = static_cast<std::size_t>(place.table);
        if (place.table < 0 || index >= document_.tables.size() ||
            static_cast<std::size_t>(place.row) >= document_.tables[index].rows.size()) {
            return nullptr;
        }
        return &document_.tables[index];
    }
    static bool sameRow(const CellPlace& a, const CellPlace& b) {
        return a.table >= 0 && a.table == b.table && a.row == b.row;
    }
    bool startsRow(const Paragraph& paragraph, const Paragraph* previous) const {
        return tableOf(paragraph.place) != nullptr &&
               (previous == nullptr || !sameRow(previous->place, paragraph.place));
    }

    void writeRowDefinition(const CellPlace& place) {
        const Table& table = *tableOf(place);
        const RowFormat& row = table.rows[static_cast<std::size_t>(place.row)];
        out_ += "\\trowd\\trgaph108";
        word("trleft", row.leftTwips, 0);
        for (const CellFormat& cell : row.cells) {
            if (cell.merge != CellMerge::None) {
                out_ += cell.merge == CellMerge::First ? "\\clvmgf" : "\\clvmrg";
            }
            if (table.borders) {
                out_ +=
                    "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs"
                    "\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
            }
            out_ += "\\cellx" + QByteArray::number(cell.rightTwips);
        }
        out_ += "\r\n";
    }

    // A cell's paragraphs end with \par but its last with \cell; a row's last cell, \row.
    QByteArray endWord(const Paragraph& paragraph, const Paragraph* next) const {
        if (tableOf(paragraph.place) == nullptr) {
            return "\\par";
        }
        if (next != nullptr && sameRow(paragraph.place, next->place)) {
            return next->place.cell == paragraph.place.cell ? "\\par" : "\\cell";
        }
        return "\\cell\\row";
    }

    void writeParagraph(const Paragraph& paragraph, const Paragraph* next) {
        const ParaFormat& format = paragraph.format;
        out_ += "\\pard";
        if (tableOf(paragraph.place) != nullptr) {
            out_ += "\\intbl";
        }
        if (format.isItem()) {
            out_ += lists_.itemWords(format, bulletFont_);
        } else {
            word("fi", format.firstIndentTwips, 0);
            word("li", format.leftIndentTwips, 0);
        }
        switch (format.alignment) {
            case Alignment::Right:
                out_ += "\\qr";
                break;
            case Alignment::Center:
                out_ += "\\qc";
                break;
            case Alignment::Justify:
                out_ += "\\qj";
                break;
            case Alignment::Left:
                break;
        }
        word("sb", format.spaceBeforeTwips, 0);
        word("sa", format.spaceAfterTwips, 0);
        if (format.lineSpacing != 0) {
            word("sl", format.lineSpacing, 0);
            out_ += format.lineMultiple ? "\\slmult1" : "\\slmult0";
        }
        needsDelimiter_ = true;
        for (const TextRun& run : paragraph.runs) {
            if (!run.picture && !writesText(run.text)) {
                continue;
            }
            if (run.format.link != link_) {
                closeLink();
                openLink(run.format.link);
            }
            if (run.picture) {
                out_ += rtfPicture(*run.picture);
                needsDelimiter_ = false;
            } else {
                writeRun(run);
            }
        }
        closeLink();
        if (chars_.vertical != VerticalAlignment::Normal) {
            // LibreOffice drops a raised or lowered run that a paragraph break ends.
            out_ += "\\nosupersub";
            chars_.vertical = VerticalAlignment::Normal;
        }
        out_ += endWord(paragraph, next) + "\r\n";
    }

    // A link is a field whose result holds the runs; the group keeps their toggles inside.
    void openLink(const QString& target) {
        if (target.isEmpty()) {
            return;
        }
        out_ += "{\\field{\\*\\fldinst{";
        out_ += escaped(hyperlinkInstruction(target));
        out_ += "}}{\\fldrslt{";
        link_ = target;
        charsOutsideLink_ = chars_;
        needsDelimiter_ = false;
    }
    void closeLink() {
        if (link_.isEmpty()) {
            return;
        }
        out_ += "}}}";
        link_.clear();
        chars_ = charsOutsideLink_;
        needsDelimiter_ = false;
    }

    void word(const char* name, int value, int omitted) {
        if (value != omitted) {
            out_ += '\\';
            out_ += name;
            out_ += QByteArray::number(value);
        }
    }

    void toggle(const char* on, const char* off, bool value, bool& written) {
        if (value != written) {
            out_ += value ? on : off;
            written = value;
            needsDelimiter_ = true;
        }
    }

    void writeRun(const TextRun& run) {
        const QByteArray text = escaped(run.text);
        if (text.isEmpty()) {
            return;
        }
        const CharFormat& f = run.format;
        const int font = fontIndex(familyOf(f));
        if (font != chars_.font) {
            out_ += "\\f" + QByteArray::number(font);
            chars_.font = font;
            needsDelimiter_ = true;
        }
        const int halfPoints = halfPointsOf(f);
        if (halfPoints != chars_.halfPoints) {
            out_ += "\\fs" + QByteArray::number(halfPoints);
            chars_.halfPoints = halfPoints;
            needsDelimiter_ = true;
        }
        toggle("\\b", "\\b0", f.bold, chars_.bold);
        toggle("\\i", "\\i0", f.italic, chars_.italic);
        toggle("\\ul", "\\ulnone", f.underline, chars_.underline);
        toggle("\\strike", "\\strike0", f.strike, chars_.strike);
        if (f.vertical != chars_.vertical) {
            out_ += f.vertical == VerticalAlignment::Super ? "\\super"
                    : f.vertical == VerticalAlignment::Sub ? "\\sub"
                                                           : "\\nosupersub";
            chars_.vertical = f.vertical;
            needsDelimiter_ = true;
        }
        const int colour = colourIndex(f.colour);
        if (colour != chars_.colour) {
            out_ += "\\cf" + QByteArray::number(colour);
            chars_.colour = colour;
            needsDelimiter_ = true;
        }
        if (needsDelimiter_) {
            out_ += ' ';  // always, so a leading blank of the text is not eaten as delimiter
            needsDelimiter_ = false;
        }
        out_ += text;  // escaped words inside the text carry their own delimiter
    }

    int fontIndex(const QString& family) const {
        const auto it = std::find(fonts_.begin(), fonts_.end(), family);
        return static_cast<int>(it - fonts_.begin());
    }
    int colourIndex(const std::optional<Rgb>& colour) const {
        if (!colour) {
            return 0;
        }
        const auto it = std::find(colours_.begin(), colours_.end(), *colour);
        return static_cast<int>(it - colours_.begin()) + 1;
    }

    static QByteArray escaped(QStringView text) { return rtfEscaped(text); }
    static bool writesText(QStringView text) { return rtfWritesText(text); }

    const RichDocument& document_;
    QString defaultFamily_;
    int defaultHalfPoints_ = kFallbackHalfPoints;
    std::vector<QString> fonts_;
    std::vector<Rgb> colours_;
    int bulletFont_ = -1;
    RtfListWriter lists_;
    WrittenChars chars_;
    QString link_;  // the link whose field is open
    WrittenChars charsOutsideLink_;
    bool needsDelimiter_ = false;
    QByteArray out_;
};

}  // namespace

QByteArray writeRtf(const RichDocument& document) {
    return Writer(document).write();
}

}  // namespace veltro::richtext
