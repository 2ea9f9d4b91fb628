#include "richtext/RtfWriter.h"

#include "richtext/RtfField.h"
#include "richtext/TextDecoder.h"

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
    explicit Writer(const RichDocument& document) : document_(document) {
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
        for (const Paragraph& paragraph : document_.paragraphs) {
            writeParagraph(paragraph);
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
        bool bullets = false;
        for (const Paragraph& paragraph : document_.paragraphs) {
            bullets = bullets || paragraph.format.bullet;
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
        if (bullets) {
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

    void writeParagraph(const Paragraph& paragraph) {
        const ParaFormat& format = paragraph.format;
        out_ += "\\pard";
        if (format.bullet) {
            const QByteArray f = QByteArray::number(bulletFont_);
            out_ += "{\\pntext\\f" + f + "\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf" + f +
                    "\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li360";
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
        needsDelimiter_ = true;
        for (const TextRun& run : paragraph.runs) {
            if (!writesText(run.text)) {
                continue;
            }
            if (run.format.link != link_) {
                closeLink();
                openLink(run.format.link);
            }
            writeRun(run);
        }
        closeLink();
        if (chars_.vertical != VerticalAlignment::Normal) {
            // LibreOffice drops a raised or lowered run that a paragraph break ends.
            out_ += "\\nosupersub";
            chars_.vertical = VerticalAlignment::Normal;
        }
        out_ += "\\par\r\n";
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

    static QByteArray escaped(QStringView text);
    // Whether escaped(text) is not empty.
    static bool writesText(QStringView text);

    const RichDocument& document_;
    QString defaultFamily_;
    int defaultHalfPoints_ = kFallbackHalfPoints;
    std::vector<QString> fonts_;
    std::vector<Rgb> colours_;
    int bulletFont_ = -1;
    WrittenChars chars_;
    QString link_;  // the link whose field is open
    WrittenChars charsOutsideLink_;
    bool needsDelimiter_ = false;
    QByteArray out_;
};

void appendUnicode(char16_t unit, QByteArray& out) {
    out += "\\u" + QByteArray::number(static_cast<std::int16_t>(unit)) + '?';
}

// Plain characters stand for themselves; the rest is escaped one by one.
bool isPlain(char16_t c) {
    return c >= 0x20 && c < 0x80 && c != u'\\' && c != u'{' && c != u'}';
}

bool Writer::writesText(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar qc) {
        const char16_t c = qc.unicode();
        return (c >= 0x20 || c == u'\t') && c != 0xFFFC;
    });
}

void appendEscaped(char16_t c, QByteArray& out) {
    switch (c) {
        case u'\\':
        case u'{':
        case u'}':
            out += '\\';
            out += static_cast<char>(c);
            return;
        case u'\t':
            out += "\\tab ";
            return;
        case 0x2028:
        case 0x2029:
            out += "\\line ";
            return;
        case 0x00A0:
            out += "\\~";
            return;
        case 0x00AD:
            out += "\\-";
            return;
        case 0x2011:
            out += "\\_";
            return;
        case 0xFFFC:
            return;
        default:
            break;
    }
    if (c < 0x20) {
        return;
    }
    if (const unsigned char byte = unicodeToWindows1252(c); byte >= 0x80) {
        static constexpr char kHex[] = "0123456789abcdef";
        out += "\\'";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    } else {
        appendUnicode(c, out);
    }
}

QByteArray Writer::escaped(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    const char16_t* const data = text.utf16();
    qsizetype plainFrom = 0;
    // Stretches of plain characters are copied at once: a note may be megabytes long.
    const auto copyPlain = [&](qsizetype to) {
        const qsizetype old = out.size();
        out.resize(old + to - plainFrom);
        std::transform(data + plainFrom, data + to, out.data() + old,
                       [](char16_t c) { return static_cast<char>(c); });
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isPlain(data[i])) {
            copyPlain(i);
            appendEscaped(data[i], out);
            plainFrom = i + 1;
        }
    }
    copyPlain(text.size());
    return out;
}

}  // namespace

QByteArray writeRtf(const RichDocument& document) {
    return Writer(document).write();
}

}  // namespace veltro::richtext
