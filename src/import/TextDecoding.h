#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

#include <cstdint>
#include <functional>

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

// What decodeText decides about a text, found without keeping the text, so that a large
// file can be read a piece at a time.
struct TextFacts {
    TextEncoding encoding = TextEncoding::Windows1252;
    qsizetype bodyStart = 0;  // the byte-order mark, which is not text
    std::int64_t invalidLines = 0;
    bool binary = false;
    bool crLineEnds = false;  // the text holds a CR, so records end at CR (see RecordReader)
};

// Told that the bytes before the offset are not read again, so that a mapped file's pages
// may be let go.
using ReleaseBytes = std::function<void(qsizetype upTo)>;

[[nodiscard]] TextFacts scanText(QByteArrayView bytes, const ReleaseBytes& release = {});

// Where the piece of the text's body (after the mark) that starts at `from` ends: about a
// megabyte on, just after a line feed, so that no piece splits a character.
[[nodiscard]] qsizetype pieceEnd(QByteArrayView body, qsizetype from, const TextFacts& facts);

// Decodes such pieces, each as decodeText decodes the whole.
class PieceDecoder {
public:
    explicit PieceDecoder(const TextFacts& facts);
    [[nodiscard]] QString decode(QByteArrayView piece);

private:
    TextEncoding encoding_;
    QStringDecoder decoder_;
};

// Whether a text is no text at all, seen a piece at a time.
class BinaryEvidence {
public:
    void add(QStringView text);
    [[nodiscard]] bool looksBinary() const;

private:
    bool nul_ = false;
    qsizetype stray_ = 0;
    qsizetype characters_ = 0;
};

// Windows-1252 as older Windows programs write it.
[[nodiscard]] QString fromWindows1252(QByteArrayView bytes);

// "1 Zeile enthält ungültige Zeichen" and the like, for the user.
[[nodiscard]] QString invalidLinesText(std::int64_t lines);

inline const QString kNotTextMessage = QStringLiteral("Die Datei ist keine Textdatei.");

}  // namespace veltro::import
