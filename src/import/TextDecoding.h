#pragma once

#include <QByteArrayView>
#include <QString>

namespace veltro::import {

enum class TextEncoding { Utf8, Windows1252 };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Windows1252;
};

// Reads bytes as UTF-8 when they start with its byte-order mark, or are valid UTF-8 and
// not plain ASCII; as Windows-1252 otherwise. Files from today's Linux programs are
// UTF-8, older Windows programs write the ANSI code page. The mark is not part of the text.
[[nodiscard]] DecodedText decodeText(QByteArrayView bytes);

}  // namespace veltro::import
