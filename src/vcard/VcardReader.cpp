#include "vcard/VcardReader.h"

#include "vcard/VcardText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

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

constexpr std::array<KnownName, 28> kKnownNames = {{
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
    {"BDAY", Name::BDAY},
    {"ANNIVERSARY", Name::ANNIVERSARY},
    {"X-ANNIVERSARY", Name::ANNIVERSARY},
    {"X-EVOLUTION-ANNIVERSARY", Name::ANNIVERSARY},
    {"X-MS-ANNIVERSARY", Name::ANNIVERSARY},
    {"X-KADDRESSBOOK-X-ANNIVERSARY", Name::ANNIVERSARY},
    {"PHOTO", Name::PHOTO},
    {"NICKNAME", Name::NICKNAME},
    {"TITLE", Name::TITLE},
    {"ROLE", Name::ROLE},
    {"X-VELTRO-KARTE", Name::XKarte},
    {"X-VELTRO-NR", Name::XNr},
    {"X-VELTRO-ANREDE", Name::XAnrede},
    {"X-VELTRO-VORWAHL", Name::XVorwahl},
    {"X-VELTRO-TELEFON", Name::XTelefon},
    {"X-VELTRO-ANSCHRIFT", Name::XAnschrift},
    {"X-VELTRO-BASIS", Name::XBasis},
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
    return text.size() == upper.size() && text.compare(upper, Qt::CaseInsensitive) == 0;
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
        const char c = header[at];
        if ((c == 'Q' || c == 'q') && equalsUpper(header.sliced(at, kMarker.size()), kMarker)) {
            return true;
        }
    }
    return false;
}

// Physical lines: ended by LF or CR LF; in a text without any LF, by CR.
class Lines {
public:
    explicit Lines(QByteArrayView text) : text_(text), end_(text.contains('\n') ? '\n' : '\r') {}

    [[nodiscard]] bool atEnd() const { return pos_ >= text_.size(); }
    [[nodiscard]] qsizetype position() const { return pos_; }
    [[nodiscard]] QByteArrayView peek() const { return line(lineEnd()); }
    QByteArrayView take() {
        const qsizetype end = lineEnd();
        const QByteArrayView taken = line(end);
        pos_ = std::min(end + 1, text_.size());
        return taken;
    }

private:
    [[nodiscard]] qsizetype lineEnd() const {
        const qsizetype end = text_.indexOf(end_, pos_);
        return end < 0 ? text_.size() : end;
    }
    [[nodiscard]] QByteArrayView line(qsizetype end) const {
        QByteArrayView taken = text_.sliced(pos_, end - pos_);
        return end_ == '\n' && taken.endsWith('\r') ? taken.chopped(1) : taken;
    }

    QByteArrayView text_;
    char end_;
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

// A picture given inline, as base64 (2.1, 3.0) or as a data URI (4.0); nothing for one given
// by its web address, which we do not fetch.
std::optional<Property> inlinePhoto(const ContentLine& line) {
    Property photo{Name::PHOTO, line.types, {}, {}};
    if (line.encoding == Encoding::Base64) {
        photo.data = QByteArray::fromBase64(line.value.toByteArray());
    } else {
        const QByteArrayView value = trimmed(line.value);
        const qsizetype comma = value.indexOf(',');
        if (comma < 5 || !equalsUpper(value.first(5), "DATA:")) {
            return std::nullopt;
        }
        const QByteArrayView header = value.sliced(5, comma - 5);
        const QByteArray payload = value.sliced(comma + 1).toByteArray();
        const bool base64 = header.size() >= 7 && equalsUpper(header.last(7), ";BASE64");
        photo.data =
            base64 ? QByteArray::fromBase64(payload) : QByteArray::fromPercentEncoding(payload);
        const qsizetype semicolon = header.indexOf(';');
        photo.value = QString::fromLatin1(semicolon < 0 ? header : header.first(semicolon));
    }
    return photo.data.isEmpty() ? std::nullopt : std::optional<Property>(std::move(photo));
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

// Collects the cards of a text, line by line, and hands each finished one on.
class CardCollector {
public:
    explicit CardCollector(const CardVisitor& visit) : visit_(visit) {}

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
                ++skipped_;  // the card before never ended
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
        } else if (const auto name = knownName(line.name); name == Name::PHOTO) {
            if (auto photo = inlinePhoto(line)) {
                card_.properties.push_back(std::move(*photo));
            }
        } else if (name) {
            card_.properties.push_back({*name, line.types, decodedValue(line), {}});
        }
    }

    std::int64_t finish() {
        if (open_) {
            ++skipped_;
        }
        return skipped_;
    }

private:
    void finishCard() {
        if (broken_) {
            ++skipped_;
        } else {
            visit_(std::move(card_));
        }
        open_ = false;
        broken_ = false;
        card_ = Vcard();
    }

    const CardVisitor& visit_;
    std::int64_t skipped_ = 0;
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

namespace {

// Reads the lines of `bytes`; `passed` hears now and then how far the reading got.
std::int64_t readLines(QByteArrayView bytes, const CardVisitor& visit,
                       const std::function<void(qsizetype)>& passed) {
    constexpr qsizetype kPassedStep = qsizetype{4} << 20;
    QByteArray converted;
    const QByteArrayView text = withoutByteOrderMark(bytes, converted);
    // Where the text starts in the bytes; -1 when it is a conversion of them.
    const qsizetype skipped = converted.isNull() ? bytes.size() - text.size() : -1;
    Lines lines(text);
    CardCollector collector(visit);
    QByteArray joined;
    qsizetype told = 0;
    while (!lines.atEnd()) {
        collector.line(nextContentLine(lines, joined));
        if (passed && skipped >= 0 && lines.position() - told >= kPassedStep) {
            told = lines.position();
            passed(skipped + told);
        }
    }
    return collector.finish();
}

// A mapped file's pages the reader has passed leave this process's memory (they are read
// from the file again should anything look back): a large file never lies in memory whole.
void givePassedPagesBack(const uchar* mapped, qsizetype passed) {
    static const auto kPage = static_cast<qsizetype>(::sysconf(_SC_PAGESIZE));
    const qsizetype whole = passed / kPage * kPage;
    if (whole > 0) {
        ::madvise(const_cast<uchar*>(mapped), static_cast<std::size_t>(whole), MADV_DONTNEED);
    }
}

}  // namespace

std::int64_t readVcards(QByteArrayView bytes, const CardVisitor& visit) {
    return readLines(bytes, visit, {});
}

ReadResult readVcards(QByteArrayView bytes) {
    ReadResult result;
    result.skipped =
        readVcards(bytes, [&](Vcard&& card) { result.cards.push_back(std::move(card)); });
    return result;
}

std::optional<std::int64_t> readFile(const QString& path, const CardVisitor& visit) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // Mapping spares a copy of a large file; an empty file or a pipe cannot be mapped.
    const qint64 size = file.size();
    const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    if (mapped != nullptr) {
        return readLines(QByteArrayView(reinterpret_cast<const char*>(mapped), size), visit,
                         [mapped](qsizetype passed) { givePassedPagesBack(mapped, passed); });
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return readVcards(bytes, visit);
}

std::optional<ReadResult> readFile(const QString& path) {
    ReadResult result;
    const auto skipped =
        readFile(path, [&](Vcard&& card) { result.cards.push_back(std::move(card)); });
    if (!skipped) {
        return std::nullopt;
    }
    result.skipped = *skipped;
    return result;
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
