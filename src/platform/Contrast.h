#pragma once

#include <QColor>
#include <QRect>

class QImage;

namespace veltro::platform {

// Black or white, whichever stands out more from the colour behind the text.
[[nodiscard]] QColor readableOn(const QColor& background);

// The mean colour of the part of the image inside area; invalid when they do not meet.
[[nodiscard]] QColor meanColour(const QImage& image, const QRect& area);

}  // namespace veltro::platform
