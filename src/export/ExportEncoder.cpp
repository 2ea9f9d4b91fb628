#include "export/ExportEncoder.h"

#include <QStringDecoder>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <memory>

namespace veltro::exporting {

namespace {

// Unicode → Windows-1252 for the whole BMP, 0 where the code page has no byte. Built by
// decoding every byte with the platform's converter rather than from a hand-written table;
// a direct lookup keeps the export fast.
using Cp1252Table = std::array<unsigned char, 0x10000>;

std::unique_ptr<Cp1252Table> buildCp1252Table() {
    auto table = std::make_unique<Cp1252Table>();
    table->fill(0);
    QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
    for (int byte = 1; byte < 0x100; ++byte) {
        const char raw = static_cast<char>(byte);
        const QString decoded = decoder.isValid() ? decoder.decode(QByteArrayView(&raw, 1))
                                                  : QString(QChar(static_cast<char16_t>(byte)));
        if (decoded.size() == 1 && decoded[0] != QChar::ReplacementCharacter) {
            (*table)[decoded[0].unicode()] = static_cast<unsigned char>(byte);
        }
    }
    return table;
}

const Cp1252Table& cp1252Table() {
    static const std::unique_ptr<Cp1252Table> table = buildCp1252Table();
    return *table;
}

constexpr char kQuote = '"';

}  // namespace

ExportEncoder::ExportEncoder(TextEncoding encoding)
    : encoding_(encoding), utf8_(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless) {}

QByteArray ExportEncoder::preamble() const {
    return encoding_ == TextEncoding::Utf8WithBom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
}

namespace {

#if defined(__SSE2__)
// Writes eight characters at `chars` as bytes when they are all ASCII (and, where quotes
// are doubled, none is a quote); false, writing nothing, otherwise.
bool writeEightAscii(const char16_t* chars, char* out, bool doubleQuotes) {
    const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars));
    const __m128i high = _mm_and_si128(eight, _mm_set1_epi16(static_cast<short>(0xFF80)));
    __m128i bad = _mm_cmpeq_epi16(high, _mm_setzero_si128());
    bad = _mm_xor_si128(bad, _mm_set1_epi16(-1));  // lanes that are not ASCII
    if (doubleQuotes) {
        bad = _mm_or_si128(bad, _mm_cmpeq_epi16(eight, _mm_set1_epi16(u'"')));
    }
    if (_mm_movemask_epi8(bad) != 0) {
        return false;
    }
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(eight, eight));
    return true;
}
#endif

}  // namespace

char* ExportEncoder::writeWindows1252(char* out, QStringView text, bool doubleQuotes) {
    const Cp1252Table& table = cp1252Table();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
#if defined(__SSE2__)
        // Most of every file is plain ASCII: eight characters at once while it lasts.
        while (i + 8 <= size && writeEightAscii(reinterpret_cast<const char16_t*>(text.data()) + i,
                                                out, doubleQuotes)) {
            i += 8;
            out += 8;
        }
        if (i >= size) {
            break;
        }
#endif
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            *out++ = static_cast<char>(u);
            if (doubleQuotes && u == u'"') {
                *out++ = kQuote;
            }
        } else if (const unsigned char byte = table[u]; byte != 0) {
            *out++ = static_cast<char>(byte);
        } else {
            *out++ = '?';
            ++replaced_;
            if (QChar::isHighSurrogate(u) && i + 1 < size && text[i + 1].isLowSurrogate()) {
                ++i;
            }
        }
    }
    return out;
}

void ExportEncoder::appendUtf8(QByteArray& out, QStringView text) {
    const qsizetype start = out.size();
    out.resize(start + utf8_.requiredSpace(text.size()));
    char* const end = utf8_.appendToBuffer(out.data() + start, text);
    out.resize(end - out.constData());
}

void ExportEncoder::appendQuoted(QByteArray& out, QStringView text) {
    if (encoding_ != TextEncoding::Windows1252) {
        out.append(kQuote);
        if (text.contains(u'"')) {
            appendUtf8(out, text.toString().replace(u'"', QStringLiteral("\"\"")));
        } else {
            appendUtf8(out, text);
        }
        out.append(kQuote);
        return;
    }
    // Worst case every character is a quote and doubles.
    const qsizetype start = out.size();
    out.resize(start + 2 * text.size() + 2);
    char* cursor = out.data() + start;
    *cursor++ = kQuote;
    cursor = writeWindows1252(cursor, text, true);
    *cursor++ = kQuote;
    out.resize(cursor - out.constData());
}

void ExportEncoder::appendQuotedAscii(QByteArray& out, std::string_view ascii) {
    out.append(kQuote);
    for (std::size_t quote = ascii.find(kQuote); quote != std::string_view::npos;
         quote = ascii.find(kQuote)) {
        const std::size_t withQuote = quote + 1;
        out.append(ascii.data(), static_cast<qsizetype>(withQuote)).append(kQuote);
        ascii.remove_prefix(withQuote);
    }
    out.append(ascii.data(), static_cast<qsizetype>(ascii.size()));
    out.append(kQuote);
}

void ExportEncoder::append(QByteArray& out, QStringView text) {
    if (encoding_ != TextEncoding::Windows1252) {
        appendUtf8(out, text);
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* const end = writeWindows1252(out.data() + start, text, false);
    out.resize(end - out.constData());
}

}  // namespace veltro::exporting
