#include "vcard/VcardText.h"

#include "import/TextDecoding.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace veltro::vcard {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool isLatin1Name(QByteArrayView name) {
    for (const char* alias : {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "LATIN1", "LATIN-1",
                              "US-ASCII", "ASCII", "CP1252", "WINDOWS-1252"}) {
        if (name.compare(alias, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// Valid UTF-8 without control characters, as nearly every value is: read as it is,
// which is what the general decoding would give it too. Nothing for anything else.
std::optional<QString> printableUtf8(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        return std::nullopt;  // the general decoding drops the mark
    }
    bool ascii = true;
    qsizetype at = 0;
    // Eight printable ASCII bytes at a time: none below 0x20, none 0x7F, none above.
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    for (std::uint64_t eight = 0; bytes.size() - at >= 8; at += 8) {
        std::memcpy(&eight, bytes.data() + at, sizeof eight);
        const std::uint64_t below20 = (eight - kOnes * 0x20) & ~eight;
        const std::uint64_t is7F = ((eight ^ (kOnes * 0x7F)) - kOnes) & ~(eight ^ (kOnes * 0x7F));
        if (((below20 | is7F | eight) & kHighBits) != 0) {
            break;
        }
    }
    for (const char c : bytes.sliced(at)) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            return std::nullopt;
        }
        ascii = ascii && byte < 0x80;
    }
    if (ascii) {
        return QString::fromLatin1(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    const bool control = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() >= 0x7F && c.unicode() <= 0x9F;
    });
    if (utf8.hasError() || control) {
        return std::nullopt;
    }
    return text;
}

}  // namespace

QString unescapeText(QStringView value) {
    qsizetype backslash = value.indexOf(u'\\');
    if (backslash < 0) {
        return value.toString();
    }
    QString text;
    text.reserve(value.size());
    qsizetype from = 0;
    // Runs without a backslash are copied whole.
    for (; backslash >= 0 && backslash + 1 < value.size(); backslash = value.indexOf(u'\\', from)) {
        text.append(value.sliced(from, backslash - from));
        const QChar next = value[backslash + 1];
        if (next == u'n' || next == u'N') {
            text += u'\n';
        } else if (next == u'\\' || next == u',' || next == u';' || next == u':') {
            text += next;
        } else {
            text += u'\\';
            from = backslash + 1;
            continue;
        }
        from = backslash + 2;
    }
    text.append(value.sliced(from));
    return text;
}

QStringList splitComponents(QStringView value, QChar separator) {
    QStringList components;
    qsizetype start = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\') {
            ++i;  // the escaped character never separates
        } else if (value[i] == separator) {
            components << unescapeText(value.sliced(start, i - start));
            start = i + 1;
        }
    }
    components << unescapeText(value.sliced(std::min(start, value.size())));
    return components;
}

namespace {

// Every character that needs an escape lies at or below the backslash, so most letters
// are passed over with one comparison and the rest with a table.
constexpr auto kNeedsEscape = [] {
    std::array<bool, u'\\' + 1> table{};
    for (const char16_t c : {u'\\', u',', u';', u'\r', u'\n'}) {
        table.at(c) = true;
    }
    return table;
}();

bool needsEscape(QChar c) {
    const char16_t u = c.unicode();
    return u < kNeedsEscape.size() && kNeedsEscape[u];
}

}  // namespace

void appendEscaped(QString& out, QStringView text) {
    const auto* const end = text.end();
    const auto* from = text.begin();
    // Runs without a special character are copied whole.
    for (const auto* found = std::find_if(from, end, needsEscape); found != end;
         found = std::find_if(from, end, needsEscape)) {
        out.append(QStringView(from, found));
        const QChar c = *found;
        from = found + 1;
        if (c == u'\r' || c == u'\n') {
            out.append(QLatin1String("\\n"));
            if (c == u'\r' && from != end && *from == u'\n') {
                ++from;
            }
        } else {
            out.append(u'\\').append(c);
        }
    }
    out.append(QStringView(from, end));
}

QString escapeText(const QString& text) {
    if (std::none_of(text.begin(), text.end(), needsEscape)) {
        return text;
    }
    QString escaped;
    escaped.reserve(text.size() + 16);
    appendEscaped(escaped, text);
    return escaped;
}

QByteArray decodeQuotedPrintable(QByteArrayView encoded) {
    QByteArray bytes;
    bytes.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '=' && i + 2 < encoded.size()) {
            const int high = hexValue(encoded[i + 1]);
            const int low = hexValue(encoded[i + 2]);
            if (high >= 0 && low >= 0) {
                bytes += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        bytes += c;
    }
    return bytes;
}

QString decodeCharset(QByteArrayView bytes, QByteArrayView charset) {
    if (charset.isEmpty() || charset.compare("UTF-8", Qt::CaseInsensitive) == 0 ||
        charset.compare("UTF8", Qt::CaseInsensitive) == 0) {
        if (auto text = printableUtf8(bytes)) {
            return *std::move(text);
        }
        return import::decodeText(bytes).text;
    }
    if (isLatin1Name(charset)) {
        return import::fromWindows1252(bytes);
    }
    QStringDecoder decoder(charset.toByteArray().constData());
    if (!decoder.isValid()) {
        return import::decodeText(bytes).text;
    }
    return decoder.decode(bytes);
}

}  // namespace veltro::vcard
