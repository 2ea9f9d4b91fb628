#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

namespace veltro::richtext {

// What a character of the input stands for in a run: control characters and object
// placeholders are not text, paragraphs end only at \par, and Qt's frame markers (U+FDD0,
// U+FDD1) would split paragraphs in a QTextDocument.
inline std::optional<char32_t> runCharacter(char32_t ch) {
    if ((ch < 0x20 && ch != u'\t') || ch == 0xFFFC) {
        return std::nullopt;
    }
    if (ch == 0x2029) {
        return 0x2028;
    }
    if (ch == 0xFDD0 || ch == 0xFDD1) {
        return 0xFFFD;
    }
    return ch;
}

inline void appendCharacter(char32_t ch, QString& out) {
    if (QChar::requiresSurrogates(ch)) {
        out.append(QChar(QChar::highSurrogate(ch)));
        out.append(QChar(QChar::lowSurrogate(ch)));
    } else {
        out.append(QChar(static_cast<char16_t>(ch)));
    }
}

// Raw UTF-8 text keeps to the same rules as \u.
inline void appendUtf8Text(std::string_view bytes, QString& out) {
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (const char32_t ch : text.toUcs4()) {
        if (const auto kept = runCharacter(ch)) {
            appendCharacter(*kept, out);
        }
    }
}

inline bool isHighSurrogate(std::int64_t v) {
    return v >= 0xD800 && v <= 0xDBFF;
}
inline bool isLowSurrogate(std::int64_t v) {
    return v >= 0xDC00 && v <= 0xDFFF;
}

// A \uN word: N as a UTF-16 unit (negative for those above 0x7FFF), joined with a high
// surrogate waiting in `pendingHigh`; what cannot be a character is emitted as U+FFFD.
template <typename Emit>
void takeUnicodeWord(std::int32_t value, char16_t& pendingHigh, Emit&& emit) {
    std::int64_t v = value;
    if (v < 0 && v >= -32768) {
        v += 65536;
    }
    if (pendingHigh != 0) {
        const char16_t high = pendingHigh;
        pendingHigh = 0;
        if (isLowSurrogate(v)) {
            emit(QChar::surrogateToUcs4(high, static_cast<char16_t>(v)));
            return;
        }
        emit(0xFFFD);
    }
    if (isHighSurrogate(v)) {
        pendingHigh = static_cast<char16_t>(v);
    } else if (v < 0 || v > 0x10FFFF || isLowSurrogate(v)) {
        emit(0xFFFD);
    } else {
        emit(static_cast<char32_t>(v));
    }
}

// The character an escaped symbol stands for (\\ \{ \} \~ \- \_); nothing for the others.
inline std::optional<char16_t> symbolCharacter(char symbol) {
    switch (symbol) {
        case '\\':
        case '{':
        case '}':
            return static_cast<char16_t>(symbol);
        case '~':
            return 0x00A0;
        case '-':
            return 0x00AD;
        case '_':
            return 0x2011;
        default:
            return std::nullopt;
    }
}

}  // namespace veltro::richtext
