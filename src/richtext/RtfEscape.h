#pragma once

#include <QByteArray>
#include <QStringView>

namespace veltro::richtext {

// Text as 7-bit RTF: specials escaped, Windows-1252 characters as \'hh, the rest as \uN?;
// control characters and object placeholders dropped.
QByteArray rtfEscaped(QStringView text);
// Whether rtfEscaped(text) is not empty.
bool rtfWritesText(QStringView text);

}  // namespace veltro::richtext
