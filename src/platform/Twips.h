#pragma once

#include <QPaintDevice>

#include <cmath>

namespace veltro::platform {

// Window lengths are kept in twips, 1/1440 inch, as the settings always did.
inline constexpr double kTwipsPerInch = 1440.0;

// The device's logical resolution; 96 where it reports none.
[[nodiscard]] inline double dotsPerInch(const QPaintDevice& device) {
    const int dpi = device.logicalDpiX();
    return dpi > 0 ? dpi : 96.0;
}

[[nodiscard]] inline int twipsToPixels(double twips, const QPaintDevice& device) {
    return static_cast<int>(std::lround(twips * dotsPerInch(device) / kTwipsPerInch));
}

[[nodiscard]] inline double pixelsToTwips(int pixels, const QPaintDevice& device) {
    return pixels * kTwipsPerInch / dotsPerInch(device);
}

}  // namespace veltro::platform
