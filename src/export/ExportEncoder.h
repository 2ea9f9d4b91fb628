#pragma once

#include "export/ExportOptions.h"

#include <QByteArray>
#include <QStringConverter>
#include <QStringView>

#include <cstdint>
#include <string_view>

namespace veltro::exporting {

// Turns the text of an export file into bytes. Windows-1252 writes "?" for a character it
// cannot hold and counts it, so the user can be told; UTF-8 keeps everything.
class ExportEncoder {
public:
    explicit ExportEncoder(TextEncoding encoding);

    // What opens the file: the byte-order mark for UTF-8, nothing for Windows-1252.
    [[nodiscard]] QByteArray preamble() const;

    // Appends the text between double quotes, doubling any quote inside it.
    void appendQuoted(QByteArray& out, QStringView text);
    // The same for ASCII, which is the same bytes in either encoding.
    void appendQuotedAscii(QByteArray& out, std::string_view ascii);
    // Appends the text as it is (separators, line ends).
    void append(QByteArray& out, QStringView text);

    // Characters written as "?" so far (a surrogate pair counts as one character).
    [[nodiscard]] std::int64_t replacedCount() const { return replaced_; }

private:
    char* writeWindows1252(char* out, QStringView text, bool doubleQuotes);
    void appendUtf8(QByteArray& out, QStringView text);

    TextEncoding encoding_;
    QStringEncoder utf8_;
    std::int64_t replaced_ = 0;
};

}  // namespace veltro::exporting
