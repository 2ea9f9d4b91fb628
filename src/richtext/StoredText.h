#pragma once

#include "richtext/RichDocument.h"

#include <QByteArrayView>
#include <QString>

#include <string_view>

namespace veltro::richtext {

// A stored block is RTF when, after a UTF-8 byte order mark and white space, it starts with
// "{\rtf" (or "{\urtf"); anything else is plain text.
bool looksLikeRtf(QByteArrayView stored);
bool looksLikeRtf(QStringView stored);

// The visible text of a stored block: paragraphs joined by CR LF (export) or LF (clipboard),
// no bullet markers. Plain text that is not RTF comes back unchanged; as bytes it is read as
// UTF-8 when valid, else as Windows-1252.
QString plainTextFromStored(const QString& stored, LineBreak lineBreak);
QString plainTextFromStored(QByteArrayView stored, LineBreak lineBreak);
// The same for a block kept as text and read as its well-formed UTF-8, without a detour
// through UTF-16 before the RTF is read.
QString plainTextFromStoredUtf8(std::string_view stored, LineBreak lineBreak);

// The stored block with plain paragraphs added at its end after an empty one, keeping the
// formatting of what was there; plain text stays plain text.
QString withParagraphsAppended(const QString& stored, const QString& plain);

// The stored block as a document; plain text becomes unformatted paragraphs.
RichDocument documentFromStored(const QString& stored);
RichDocument documentFromStored(QByteArrayView stored);

}  // namespace veltro::richtext
