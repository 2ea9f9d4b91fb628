#include "import/TextDecoding.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace veltro::import {

namespace {

constexpr qsizetype kReleaseEvery = qsizetype{1} << 20;

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

// CR LF, LF and CR alone each end a line.
std::int64_t lineEndsIn(const unsigned char* from, const unsigned char* to,
                        const unsigned char* end) {
    std::int64_t ends = 0;
    for (const unsigned char* p = from; p < to; ++p) {
        ends += *p == '\n' || (*p == '\r' && (p + 1 == end || p[1] != '\n')) ? 1 : 0;
    }
    return ends;
}

// The first byte at or after p that is not ASCII, eight at a time.
const unsigned char* skipAscii(const unsigned char* p, const unsigned char* end) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    for (std::uint64_t eight = 0; end - p >= 8; p += 8) {
        std::memcpy(&eight, p, sizeof eight);
        if ((eight & kHighBits) != 0) {
            break;
        }
    }
    while (p < end && *p < 0x80) {
        ++p;
    }
    return p;
}

Utf8Evidence weighUtf8(QByteArrayView bytes, const ReleaseBytes& release) {
    Utf8Evidence evidence;
    const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* p = begin;
    const auto* const end = p + bytes.size();
    const auto* nextRelease = p + kReleaseEvery;
    // Lines are counted only as far as an invalid byte needs its line number.
    const auto* linesCounted = p;
    std::int64_t line = 0;
    std::int64_t lastInvalidLine = -1;
    while (p < end) {
        p = skipAscii(p, end);
        if (p == end) {
            break;
        }
        if (const int length = sequenceLength(p, end); length > 0) {
            ++evidence.valid;
            p += length;
        } else {
            ++evidence.invalid;
            line += lineEndsIn(linesCounted, p, end);
            linesCounted = p;
            if (line != lastInvalidLine) {
                ++evidence.invalidLines;
                lastInvalidLine = line;
            }
            ++p;
        }
        if (release && p >= nextRelease) {
            release(p - begin);
            nextRelease = p + kReleaseEvery;
        }
    }
    if (release) {
        release(bytes.size());
    }
    return evidence;
}

// UTF-16 of Latin letters has a NUL in nearly every other byte and hardly any in between.
std::optional<TextEncoding> utf16ByNuls(QByteArrayView bytes, const ReleaseBytes& release) {
    const qsizetype pairs = bytes.size() / 2;
    qsizetype first = 0;
    qsizetype second = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        first += bytes[2 * i] == '\0' ? 1 : 0;
        second += bytes[2 * i + 1] == '\0' ? 1 : 0;
        if (release && (i + 1) % (kReleaseEvery / 2) == 0) {
            release(2 * (i + 1));
        }
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

bool isUtf16(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
}

// Decides per file by evidence; see decodeText.
TextFacts decide(QByteArrayView bytes, const ReleaseBytes& release) {
    TextFacts facts;
    if (bytes.startsWith(kUtf8Bom)) {
        facts.bodyStart = kUtf8Bom.size();
        facts.encoding = TextEncoding::Utf8;
        facts.invalidLines = weighUtf8(bytes.sliced(facts.bodyStart), release).invalidLines;
        return facts;
    }
    if (bytes.startsWith(kUtf16LeBom) || bytes.startsWith(kUtf16BeBom)) {
        facts.bodyStart = kUtf16LeBom.size();
        facts.encoding =
            bytes.startsWith(kUtf16LeBom) ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
    } else if (const auto utf16 = utf16ByNuls(bytes, release)) {
        facts.encoding = *utf16;
    } else {
        const Utf8Evidence evidence = weighUtf8(bytes, release);
        const bool utf8 = evidence.valid > 0 && evidence.valid >= evidence.invalid;
        facts.encoding = utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
        facts.invalidLines = utf8 ? evidence.invalidLines : 0;
        return facts;
    }
    // A cut last character of UTF-16 becomes U+FFFD.
    facts.invalidLines = (bytes.size() - facts.bodyStart) % 2 != 0 ? 1 : 0;
    return facts;
}

// Control characters that no text file holds; tab, line and page breaks and the old
// end-of-file mark are text.
bool isStrayControl(char16_t c) {
    if (c < 0x20) {
        return c != u'\t' && c != u'\n' && c != u'\r' && c != u'\f' && c != u'\v' && c != 0x1A;
    }
    return c >= 0x7F && c <= 0x9F;
}

// Windows-1252 is Latin-1 but for 0x80 to 0x9F; the five bytes it leaves free stay the
// control characters of Latin-1, as other decoders read them.
constexpr std::array<char16_t, 32> kWindows1252From80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QString fromWindows1252(QByteArrayView bytes) {
    QString text = QString::fromLatin1(bytes);
    if (std::none_of(bytes.begin(), bytes.end(), [](char byte) {
            return (static_cast<unsigned char>(byte) & 0xE0U) == 0x80U;
        })) {
        return text;
    }
    for (QChar& c : text) {
        if (c.unicode() >= 0x80 && c.unicode() <= 0x9F) {
            c = QChar(kWindows1252From80[c.unicode() - 0x80]);
        }
    }
    return text;
}

PieceDecoder::PieceDecoder(const TextFacts& facts) : encoding_(facts.encoding) {
    // Stateless: pieces end after a line feed, so none splits a character, and a mark at
    // the start of a piece stays text as it would in the whole.
    const auto flags =
        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
    switch (facts.encoding) {
        case TextEncoding::Utf16LE:
            decoder_ = QStringDecoder(QStringConverter::Utf16LE, flags);
            break;
        case TextEncoding::Utf16BE:
            decoder_ = QStringDecoder(QStringConverter::Utf16BE, flags);
            break;
        case TextEncoding::Utf8:
            // Invalid bytes become U+FFFD.
            decoder_ = QStringDecoder(QStringConverter::Utf8, flags);
            break;
        case TextEncoding::Windows1252:
            break;
    }
}

QString PieceDecoder::decode(QByteArrayView piece) {
    if (encoding_ == TextEncoding::Windows1252) {
        return fromWindows1252(piece);
    }
    if (isUtf16(encoding_) && piece.size() % 2 != 0) {  // a cut last character
        return decoder_.decode(piece.first(piece.size() - 1)) + QChar::ReplacementCharacter;
    }
    return decoder_.decode(piece);
}

qsizetype pieceEnd(QByteArrayView body, qsizetype from, const TextFacts& facts) {
    const qsizetype wanted = from + kReleaseEvery;
    if (wanted >= body.size()) {
        return body.size();
    }
    if (!isUtf16(facts.encoding)) {
        const qsizetype lineFeed = body.indexOf('\n', wanted);
        return lineFeed < 0 ? body.size() : lineFeed + 1;
    }
    const char low = facts.encoding == TextEncoding::Utf16LE ? '\n' : '\0';
    const char high = facts.encoding == TextEncoding::Utf16LE ? '\0' : '\n';
    for (qsizetype at = wanted & ~qsizetype(1); at + 1 < body.size(); at += 2) {
        if (body[at] == low && body[at + 1] == high) {
            return at + 2;
        }
    }
    return body.size();
}

void BinaryEvidence::add(QStringView text) {
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit >= 0xA0 || (unit >= 0x20 && unit < 0x7F)) {
            continue;  // nearly every character
        }
        nul_ = nul_ || unit == 0;
        stray_ += isStrayControl(unit) ? 1 : 0;
    }
    characters_ += text.size();
}

bool BinaryEvidence::looksBinary() const {
    // A NUL anywhere, or more than one stray control character in twenty.
    return nul_ || stray_ * 20 > characters_;
}

TextFacts scanText(QByteArrayView bytes, const ReleaseBytes& release) {
    TextFacts facts = decide(bytes, release);
    const QByteArrayView body = bytes.sliced(facts.bodyStart);
    PieceDecoder decoder(facts);
    BinaryEvidence binary;
    for (qsizetype at = 0; at < body.size();) {
        const qsizetype end = pieceEnd(body, at, facts);
        const QString piece = decoder.decode(body.sliced(at, end - at));
        binary.add(piece);
        facts.crLineEnds = facts.crLineEnds || piece.contains(u'\r');
        at = end;
        if (release) {
            release(facts.bodyStart + at);
        }
    }
    facts.binary = binary.looksBinary();
    return facts;
}

DecodedText decodeText(QByteArrayView bytes) {
    const TextFacts facts = decide(bytes, {});
    DecodedText decoded{PieceDecoder(facts).decode(bytes.sliced(facts.bodyStart)), facts.encoding,
                        facts.invalidLines};
    BinaryEvidence binary;
    binary.add(decoded.text);
    if (binary.looksBinary()) {
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
