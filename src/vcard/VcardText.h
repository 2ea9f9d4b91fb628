#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace veltro::vcard {

// Undoes the backslash escapes of a text value: "\n" and "\N" give a line feed, "\\", "\,",
// "\;" and "\:" the character itself. A backslash before anything else stays.
[[nodiscard]] QString unescapeText(QStringView value);

// The components of a structured value (N, ADR, ORG) split at every unescaped separator,
// each unescaped.
[[nodiscard]] QStringList splitComponents(QStringView value, QChar separator = u';');

// Escapes backslash, comma, semicolon and line breaks (CR LF, CR or LF become "\n").
[[nodiscard]] QString escapeText(const QString& text);
void appendEscaped(QString& out, QStringView text);

// Decodes "=XX" sequences; soft line breaks were joined before. A "=" that starts no valid
// sequence stays as it is.
[[nodiscard]] QByteArray decodeQuotedPrintable(QByteArrayView encoded);

// Bytes of a value in the named character set. Without a name, or with one that is not
// known, the bytes are read as UTF-8 when valid and as Windows-1252 otherwise; ISO-8859-1
// is read as Windows-1252, its superset that such files mostly really hold.
[[nodiscard]] QString decodeCharset(QByteArrayView bytes, QByteArrayView charset);

}  // namespace veltro::vcard
