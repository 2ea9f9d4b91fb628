#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace veltro::import {

enum class TextEncoding { Utf8, Windows1252, Utf16LE, Utf16BE };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Windows1252;
    // Lines with bytes that are no UTF-8 in a file read as UTF-8; each such byte became U+FFFD.
    std::int64_t invalidLines = 0;
    // Not text at all (NUL characters, or too many control characters); the text stays empty.
    bool binary = false;
};

// Decides per file by evidence. A byte-order mark names UTF-8 or UTF-16 (LE/BE); without one,
// a NUL on every other byte says UTF-16. Otherwise the bytes are UTF-8 when they hold valid
// multi-byte sequences at least as often as bytes that cannot be UTF-8 (those are replaced
// and their lines counted), and Windows-1252 when not, as older Windows programs write it.
// The mark is not part of the text.
[[nodiscard]] DecodedText decodeText(QByteArrayView bytes);

// "1 Zeile enthält ungültige Zeichen" and the like, for the user.
[[nodiscard]] QString invalidLinesText(std::int64_t lines);

inline const QString kNotTextMessage = QStringLiteral("Die Datei ist keine Textdatei.");

}  // namespace veltro::import
