#include "vcard/VcardReader.h"

#include "vcard/VcardText.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <utility>

namespace veltro::vcard {

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView kUtf16LeBom("\xFF\xFE");
constexpr QByteArrayView kUtf16BeBom("\xFE\xFF");
constexpr qsizetype kHeadSize = 4096;

struct KnownName {
    QByteArrayView text;
    Name name;
};

constexpr std::array<KnownName, 17> kKnownNames = {{
    {"N", Name::N},
    {"FN", Name::FN},
    {"ORG", Name::ORG},
    {"ADR", Name::ADR},
    {"TEL", Name::TEL},
    {"EMAIL", Name::EMAIL},
    {"URL", Name::URL},
    {"NOTE", Name::NOTE},
    {"CATEGORIES", Name::CATEGORIES},
    {"UID", Name::UID},
    {"REV", Name::REV},
    {"X-VELTRO-KARTE", Name::XKarte},
    {"X-VELTRO-NR", Name::XNr},
    {"X-VELTRO-ANREDE", Name::XAnrede},
    {"X-VELTRO-VORWAHL", Name::XVorwahl},
    {"X-VELTRO-TELEFON", Name::XTelefon},
    {"X-VELTRO-ANSCHRIFT", Name::XAnschrift},
}};

struct KnownType {
    QByteArrayView text;
    std::uint16_t flag;
};

constexpr std::array<KnownType, 9> kKnownTypes = {{
    {"WORK", kWork},
    {"HOME", kHome},
    {"VOICE", kVoice},
    {"FAX", kFax},
    {"CELL", kCell},
    {"MOBILE", kCell},
    {"PAGER", kPager},
    {"PREF", kPref},
    {"MAIN", kVoice},
}};

enum class Encoding { Plain, QuotedPrintable, Base64 };

bool equalsUpper(QByteArrayView text, QByteArrayView upper) {
    return text.compare(upper, Qt::CaseInsensitive) == 0;
}

QByteArrayView trimmed(QByteArrayView text) {
    return text.trimmed();
}

QByteArrayView unquoted(QByteArrayView text) {
    text = trimmed(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return text.sliced(1, text.size() - 2);
    }
    return text;
}

bool isNameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

bool isName(QByteArrayView text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isNameCharacter);
}

// Positions of the separator outside double quotes, then the end.
template <typename Visit>
void splitOutsideQuotes(QByteArrayView text, char separator, Visit&& visit) {
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            quoted = !quoted;
        } else if (text[i] == separator && !quoted) {
            visit(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    visit(text.sliced(start));
}

qsizetype colonOutsideQuotes(QByteArrayView line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == ':' && !quoted) {
            return i;
        }
    }
    return -1;
}

std::uint16_t typeFlag(QByteArrayView type) {
    for (const KnownType& known : kKnownTypes) {
        if (equalsUpper(type, known.text)) {
            return known.flag;
        }
    }
    return 0;
}

// One content line taken apart; the name is empty for a property we do not keep.
struct ContentLine {
    QByteArrayView group;
    QByteArrayView name;
    QByteArrayView value;
    QByteArrayView charset;
    Encoding encoding = Encoding::Plain;
    std::uint16_t types = 0;
};

void readParameter(QByteArrayView parameter, ContentLine& line) {
    const qsizetype equals = parameter.indexOf('=');
    const QByteArrayView key = trimmed(equals < 0 ? parameter : parameter.first(equals));
    const QByteArrayView value =
        equals < 0 ? QByteArrayView() : unquoted(parameter.sliced(equals + 1));
    if (equals < 0) {
        // vCard 2.1 names types and encodings bare.
        if (equalsUpper(key, "QUOTED-PRINTABLE")) {
            line.encoding = Encoding::QuotedPrintable;
        } else if (equalsUpper(key, "BASE64")) {
            line.encoding = Encoding::Base64;
        } else {
            line.types |= typeFlag(key);
        }
    } else if (equalsUpper(key, "TYPE")) {
        splitOutsideQuotes(value, ',',
                           [&](QByteArrayView type) { line.types |= typeFlag(unquoted(type)); });
    } else if (equalsUpper(key, "ENCODING")) {
        if (equalsUpper(value, "QUOTED-PRINTABLE")) {
            line.encoding = Encoding::QuotedPrintable;
        } else if (equalsUpper(value, "B") || equalsUpper(value, "BASE64")) {
            line.encoding = Encoding::Base64;
        }
    } else if (equalsUpper(key, "CHARSET")) {
        line.charset = value;
    } else if (equalsUpper(key, "PREF")) {
        line.types |= kPref;
    }
}

// False when the line is no property line at all.
bool parseContentLine(QByteArrayView text, ContentLine& line) {
    const qsizetype colon = colonOutsideQuotes(text);
    if (colon < 0) {
        return false;
    }
    line.value = text.sliced(colon + 1);
    bool first = true;
    bool valid = true;
    splitOutsideQuotes(text.first(colon), ';', [&](QByteArrayView part) {
        if (!first) {
            readParameter(part, line);
            return;
        }
        first = false;
        const QByteArrayView qualified = trimmed(part);
        const qsizetype dot = qualified.lastIndexOf('.');
        line.group = dot < 0 ? QByteArrayView() : qualified.first(dot);
        line.name = qualified.sliced(dot + 1);
        valid = isName(line.name) && (dot < 0 || isName(line.group));
    });
    return valid;
}

bool isQuotedPrintableLine(QByteArrayView line) {
    const qsizetype colon = colonOutsideQuotes(line);
    const QByteArrayView header = colon < 0 ? line : line.first(colon);
    constexpr QByteArrayView kMarker("QUOTED-PRINTABLE");
    for (qsizetype at = 0; at + kMarker.size() <= header.size(); ++at) {
        if (equalsUpper(header.sliced(at, kMarker.size()), kMarker)) {
            return true;
        }
    }
    return false;
}

// Physical lines: ended by CR LF, LF or a lone CR.
class Lines {
public:
    explicit Lines(QByteArrayView text) : text_(text) {}

    [[nodiscard]] bool atEnd() const { return pos_ >= text_.size(); }
    [[nodiscard]] QByteArrayView peek() const { return text_.sliced(pos_, lineEnd() - pos_); }
    QByteArrayView take() {
        const qsizetype end = lineEnd();
        const QByteArrayView line = text_.sliced(pos_, end - pos_);
        pos_ = end;
        if (pos_ < text_.size() && text_[pos_] == '\r') {
            ++pos_;
        }
        if (pos_ < text_.size() && text_[pos_] == '\n') {
            ++pos_;
        }
        return line;
    }

private:
    [[nodiscard]] qsizetype lineEnd() const {
        const auto* begin = text_.begin() + pos_;
        const auto* end =
            std::find_if(begin, text_.end(), [](char c) { return c == '\r' || c == '\n'; });
        return end - text_.begin();
    }

    QByteArrayView text_;
    qsizetype pos_ = 0;
};

// The next content line with folding and quoted-printable soft line breaks undone;
// `joined` holds it when lines had to be joined.
QByteArrayView nextContentLine(Lines& lines, QByteArray& joined) {
    const QByteArrayView line = lines.take();
    const bool quotedPrintable = isQuotedPrintableLine(line);
    bool usesJoined = false;
    const auto startJoining = [&] {
        if (!usesJoined) {
            joined = line.toByteArray();
            usesJoined = true;
        }
    };
    while (!lines.atEnd()) {
        const QByteArrayView current = usesJoined ? QByteArrayView(joined) : line;
        const QByteArrayView next = lines.peek();
        if (quotedPrintable && current.endsWith('=')) {
            startJoining();
            joined.chop(1);
            joined += lines.take();
        } else if (!next.isEmpty() && (next.front() == ' ' || next.front() == '\t')) {
            startJoining();
            joined += lines.take().sliced(1);
        } else {
            break;
        }
    }
    return usesJoined ? QByteArrayView(joined) : line;
}

std::optional<Name> knownName(QByteArrayView name) {
    for (const KnownName& known : kKnownNames) {
        if (equalsUpper(name, known.text)) {
            return known.name;
        }
    }
    return std::nullopt;
}

QString decodedValue(const ContentLine& line) {
    switch (line.encoding) {
        case Encoding::QuotedPrintable:
            return decodeCharset(decodeQuotedPrintable(line.value), line.charset);
        case Encoding::Base64:
            return decodeCharset(QByteArray::fromBase64(line.value.toByteArray()), line.charset);
        case Encoding::Plain:
            break;
    }
    return decodeCharset(line.value, line.charset);
}

// Text in UTF-8 or another single-byte-based form; a UTF-16 file is converted first.
QByteArrayView withoutByteOrderMark(QByteArrayView bytes, QByteArray& converted) {
    if (bytes.startsWith(kUtf8Bom)) {
        return bytes.sliced(kUtf8Bom.size());
    }
    const bool littleEndian = bytes.startsWith(kUtf16LeBom);
    if (littleEndian || bytes.startsWith(kUtf16BeBom)) {
        QStringDecoder decoder(littleEndian ? QStringConverter::Utf16LE
                                            : QStringConverter::Utf16BE);
        converted = QString(decoder.decode(bytes.sliced(2))).toUtf8();
        return converted;
    }
    return bytes;
}

// Collects the cards of a text, line by line.
class CardCollector {
public:
    void line(QByteArrayView text) {
        if (text.trimmed().isEmpty()) {
            return;
        }
        ContentLine line;
        if (!parseContentLine(text, line)) {
            broken_ = true;
            return;
        }
        if (equalsUpper(line.name, "BEGIN") && equalsUpper(trimmed(line.value), "VCARD")) {
            if (open_) {
                ++result_.skipped;  // the card before never ended
            }
            open_ = true;
            broken_ = false;
            card_ = Vcard();
        } else if (!open_) {
            return;
        } else if (equalsUpper(line.name, "END") && equalsUpper(trimmed(line.value), "VCARD")) {
            finishCard();
        } else if (equalsUpper(line.name, "VERSION")) {
            card_.version = QString::fromLatin1(trimmed(line.value));
        } else if (const auto name = knownName(line.name)) {
            card_.properties.push_back({*name, line.types, decodedValue(line)});
        }
    }

    ReadResult finish() {
        if (open_) {
            ++result_.skipped;
        }
        return std::move(result_);
    }

private:
    void finishCard() {
        if (broken_) {
            ++result_.skipped;
        } else {
            result_.cards.push_back(std::move(card_));
        }
        open_ = false;
        broken_ = false;
        card_ = Vcard();
    }

    ReadResult result_;
    Vcard card_;
    bool open_ = false;
    bool broken_ = false;
};

}  // namespace

const Property* Vcard::first(Name name) const {
    const auto found = std::find_if(properties.begin(), properties.end(),
                                    [name](const Property& p) { return p.name == name; });
    return found == properties.end() ? nullptr : &*found;
}

ReadResult readVcards(QByteArrayView bytes) {
    QByteArray converted;
    Lines lines(withoutByteOrderMark(bytes, converted));
    CardCollector collector;
    QByteArray joined;
    while (!lines.atEnd()) {
        collector.line(nextContentLine(lines, joined));
    }
    return collector.finish();
}

std::optional<ReadResult> readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return readVcards(bytes);
}

bool looksLikeVcard(QByteArrayView head) {
    QByteArray converted;
    QByteArrayView text = withoutByteOrderMark(head, converted);
    while (!text.isEmpty() && QByteArrayView(" \t\r\n").contains(text.front())) {
        text = text.sliced(1);
    }
    constexpr QByteArrayView kBegin("BEGIN:VCARD");
    return text.size() >= kBegin.size() && equalsUpper(text.first(kBegin.size()), kBegin);
}

bool isVcardFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && looksLikeVcard(file.read(kHeadSize));
}

}  // namespace veltro::vcard
