#include "platform/Contrast.h"

#include <QImage>

#include <algorithm>
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

double contrastRatio(const QColor& one, const QColor& other) {
    const double a = luminance(one);
    const double b = luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableOn(const QColor& background) {
    return contrastRatio(Qt::white, background) > contrastRatio(Qt::black, background)
               ? QColor(Qt::white)
               : QColor(Qt::black);
}

QColor readableTextOn(const QColor& text, const QColor& background) {
    return contrastRatio(text, background) >= kReadableContrast ? text : readableOn(background);
}

QColor backingFor(const QColor& text, const QColor& behind) {
    // Light text wants a darker ground, dark text a lighter one.
    const QColor end = readableOn(text);
    const QColor from = behind.toRgb();
    constexpr int kSteps = 20;
    constexpr double kMargin = 0.1;  // the colour is rounded when painted
    for (int step = 1; step < kSteps; ++step) {
        const double t = static_cast<double>(step) / kSteps;
        const auto mix = [t](double a, double b) { return a + (b - a) * t; };
        const QColor backing =
            QColor::fromRgbF(static_cast<float>(mix(from.redF(), end.redF())),
                             static_cast<float>(mix(from.greenF(), end.greenF())),
                             static_cast<float>(mix(from.blueF(), end.blueF())));
        if (contrastRatio(text, backing) >= kReadableContrast + kMargin) {
            return backing;
        }
    }
    return end;
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
