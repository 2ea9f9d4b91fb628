#pragma once

#include "richtext/RichDocument.h"

#include <QByteArray>

namespace veltro::richtext {

// Writes a document as small 7-bit RTF in the shape the Windows rich-edit control writes, so
// that RichEdit, WordPad, Word and LibreOffice read it. Runs without a face or size take the
// document's defaults (Arial 10 pt when those are empty too).
QByteArray writeRtf(const RichDocument& document);

}  // namespace veltro::richtext
