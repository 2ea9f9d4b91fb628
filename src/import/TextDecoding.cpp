#include "import/TextDecoding.h"

#include <QStringDecoder>

#include <optional>

namespace veltro::import {

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView kUtf16LeBom("\xFF\xFE");
constexpr QByteArrayView kUtf16BeBom("\xFE\xFF");

// The length of the valid UTF-8 sequence that starts with the non-ASCII byte at p; 0 when
// none starts there.
int sequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char lead = *p;
    int length = 0;
    char32_t point = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1FU;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        point = lead & 0x0FU;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07U;
    } else {
        return 0;
    }
    if (end - p < length) {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0U) != 0x80U) {
            return 0;
        }
        point = (point << 6U) | (p[i] & 0x3FU);
    }
    const bool overlong = (length == 3 && point < 0x800) || (length == 4 && point < 0x10000);
    if (overlong || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
        return 0;
    }
    return length;
}

struct Utf8Evidence {
    std::int64_t valid = 0;    // multi-byte sequences
    std::int64_t invalid = 0;  // bytes that start none and belong to none
    std::int64_t invalidLines = 0;
};

Utf8Evidence weighUtf8(QByteArrayView bytes) {
    Utf8Evidence evidence;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    std::int64_t line = 0;
    std::int64_t lastInvalidLine = -1;
    while (p < end) {
        if (*p < 0x80) {
            // CR LF, LF and CR alone each end a line.
            if (*p == '\n' || (*p == '\r' && (p + 1 == end || p[1] != '\n'))) {
                ++line;
            }
            ++p;
        } else if (const int length = sequenceLength(p, end); length > 0) {
            ++evidence.valid;
            p += length;
        } else {
            ++evidence.invalid;
            if (line != lastInvalidLine) {
                ++evidence.invalidLines;
                lastInvalidLine = line;
            }
            ++p;
        }
    }
    return evidence;
}

// UTF-16 of Latin letters has a NUL in nearly every other byte and hardly any in between.
std::optional<TextEncoding> utf16ByNuls(QByteArrayView bytes) {
    const qsizetype pairs = bytes.size() / 2;
    qsizetype first = 0;
    qsizetype second = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        first += bytes[2 * i] == '\0' ? 1 : 0;
        second += bytes[2 * i + 1] == '\0' ? 1 : 0;
    }
    const auto pattern = [pairs](qsizetype often, qsizetype seldom) {
        return pairs > 0 && often * 10 >= pairs * 7 && seldom * 20 <= pairs;
    };
    if (pattern(second, first)) {
        return TextEncoding::Utf16LE;
    }
    if (pattern(first, second)) {
        return TextEncoding::Utf16BE;
    }
    return std::nullopt;
}

DecodedText fromUtf16(QByteArrayView bytes, TextEncoding encoding) {
    QStringDecoder decoder(
        encoding == TextEncoding::Utf16LE ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    DecodedText decoded{decoder.decode(bytes.first(bytes.size() & ~qsizetype(1))), encoding};
    if (bytes.size() % 2 != 0) {  // a cut last character
        decoded.text += QChar::ReplacementCharacter;
        decoded.invalidLines = 1;
    }
    return decoded;
}

DecodedText fromUtf8(QByteArrayView bytes, const Utf8Evidence& evidence) {
    // A mark after the one taken off is text; invalid bytes become U+FFFD.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    return {decoder.decode(bytes), TextEncoding::Utf8, evidence.invalidLines};
}

QString fromWindows1252(QByteArrayView bytes) {
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid()) {
        return QString::fromLatin1(bytes);  // Qt without ICU: the same for letters and umlauts
    }
    return decoder.decode(bytes);
}

DecodedText from8Bit(QByteArrayView bytes) {
    const Utf8Evidence evidence = weighUtf8(bytes);
    if (evidence.valid > 0 && evidence.valid >= evidence.invalid) {
        return fromUtf8(bytes, evidence);
    }
    if (evidence.invalid == 0) {  // plain ASCII
        return {QString::fromLatin1(bytes), TextEncoding::Windows1252};
    }
    return {fromWindows1252(bytes), TextEncoding::Windows1252};
}

DecodedText decode(QByteArrayView bytes) {
    if (bytes.startsWith(kUtf8Bom)) {
        const auto body = bytes.sliced(kUtf8Bom.size());
        return fromUtf8(body, weighUtf8(body));
    }
    if (bytes.startsWith(kUtf16LeBom)) {
        return fromUtf16(bytes.sliced(kUtf16LeBom.size()), TextEncoding::Utf16LE);
    }
    if (bytes.startsWith(kUtf16BeBom)) {
        return fromUtf16(bytes.sliced(kUtf16BeBom.size()), TextEncoding::Utf16BE);
    }
    if (const auto utf16 = utf16ByNuls(bytes)) {
        return fromUtf16(bytes, *utf16);
    }
    return from8Bit(bytes);
}

// Control characters that no text file holds; tab, line and page breaks and the old
// end-of-file mark are text.
bool isStrayControl(char16_t c) {
    if (c < 0x20) {
        return c != u'\t' && c != u'\n' && c != u'\r' && c != u'\f' && c != u'\v' && c != 0x1A;
    }
    return c >= 0x7F && c <= 0x9F;
}

// A NUL anywhere, or more than one stray control character in twenty.
bool looksBinary(const QString& text) {
    qsizetype stray = 0;
    for (const QChar c : text) {
        if (c.isNull()) {
            return true;
        }
        stray += isStrayControl(c.unicode()) ? 1 : 0;
    }
    return stray * 20 > text.size();
}

}  // namespace

DecodedText decodeText(QByteArrayView bytes) {
    DecodedText decoded = decode(bytes);
    if (looksBinary(decoded.text)) {
        return {QString(), decoded.encoding, 0, true};
    }
    return decoded;
}

QString invalidLinesText(std::int64_t lines) {
    return lines == 1
               ? QStringLiteral("1 Zeile enthält ungültige Zeichen (durch \uFFFD ersetzt)")
               : QStringLiteral("%1 Zeilen enthalten ungültige Zeichen (durch \uFFFD ersetzt)")
                     .arg(lines);
}

}  // namespace veltro::import
