#include "platform/Contrast.h"

#include <QImage>

#include <cmath>

namespace veltro::platform {

namespace {

// Relative luminance of an sRGB colour, 0 for black to 1 for white.
double luminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

}  // namespace

QColor readableOn(const QColor& background) {
    const double behind = luminance(background);
    // Contrast ratios as the usual accessibility rules define them.
    const double withWhite = 1.05 / (behind + 0.05);
    const double withBlack = (behind + 0.05) / 0.05;
    return withWhite > withBlack ? QColor(Qt::white) : QColor(Qt::black);
}

QColor meanColour(const QImage& image, const QRect& area) {
    const QRect inside = area.intersected(image.rect());
    if (inside.isEmpty()) {
        return {};
    }
    double red = 0;
    double green = 0;
    double blue = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            red += qRed(pixel);
            green += qGreen(pixel);
            blue += qBlue(pixel);
        }
    }
    const double count = static_cast<double>(inside.width()) * inside.height();
    return {static_cast<int>(std::lround(red / count)),
            static_cast<int>(std::lround(green / count)),
            static_cast<int>(std::lround(blue / count))};
}

}  // namespace veltro::platform
