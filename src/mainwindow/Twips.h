#pragma once

#include <QPaintDevice>

#include <cmath>

namespace veltro::mainwindow {

// Lengths of the window's design are twips, 1/1440 inch.
inline constexpr double kTwipsPerInch = 1440.0;

[[nodiscard]] inline int twipsToPixels(double twips, double dotsPerInch) {
    return static_cast<int>(std::lround(twips * dotsPerInch / kTwipsPerInch));
}

// By the device's logical resolution; 96 where it reports none.
[[nodiscard]] inline int twipsToPixels(double twips, const QPaintDevice& device) {
    const int dpi = device.logicalDpiX();
    return twipsToPixels(twips, dpi > 0 ? dpi : 96.0);
}

}  // namespace veltro::mainwindow
