#pragma once

#include <QColor>
#include <QRect>

class QImage;

namespace veltro::platform {

// The contrast of two colours as accessibility rules measure it: 1 (none) to 21.
[[nodiscard]] double contrastRatio(const QColor& one, const QColor& other);

// Text everyone can read reaches this ratio against what is under it.
inline constexpr double kReadableContrast = 4.5;

// Black or white, whichever stands out more from the colour behind the text.
[[nodiscard]] QColor readableOn(const QColor& background);

// `text` where it is readable on `background`, else black or white.
[[nodiscard]] QColor readableTextOn(const QColor& text, const QColor& background);

// A colour to put behind text of this colour where `behind` is too close to it: `behind`
// taken towards black or white just far enough to make the text readable.
[[nodiscard]] QColor backingFor(const QColor& text, const QColor& behind);

// The mean colour of the part of the image inside area; invalid when they do not meet.
[[nodiscard]] QColor meanColour(const QImage& image, const QRect& area);

}  // namespace veltro::platform
