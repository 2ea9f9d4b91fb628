#pragma once

#include "richtext/RichDocument.h"

#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>

namespace veltro::richtext {

// How formats of the document model look in Qt's text formats, and back. Sizes in twips
// become pixels at 96 dpi, 15 twips a pixel.
inline constexpr double kTwipsPerPixel = 15.0;

// Qt's horizontal alignment as ours; anything else counts as left.
Alignment alignmentOf(Qt::Alignment qt);

QTextCharFormat qtCharFormat(const CharFormat& format);
// A run's effective format: what the format leaves open comes from the document's font.
CharFormat charFormatOf(const QTextCharFormat& qt, const QFont& base);

QTextBlockFormat qtBlockFormat(const ParaFormat& format);
// Alignment, indents and spacing; list and table place are the caller's.
ParaFormat paraFormatOf(const QTextBlockFormat& qt);
// A list item's indents as read, once `format.list` is known: they hold while the item stays
// at the level it was read at, since Qt draws items by their level.
void keepItemIndents(ParaFormat& format, const QTextBlockFormat& qt);

int halfPointsOf(const QFont& font);
QString familyOf(const QFont& font);

}  // namespace veltro::richtext
