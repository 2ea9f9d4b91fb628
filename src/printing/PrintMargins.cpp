#include "printing/PrintMargins.h"

#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <algorithm>
#include <cmath>

namespace veltro::printing {

namespace {

constexpr int kInset = 5;

int clampedMargin(int millimetres) {
    return std::clamp(millimetres, 0, PrintMargins::kMax);
}

int storedMargin(const char* key, int fallback) {
    const auto value = settings::readNumber(key);
    if (!value || !std::isfinite(*value)) {
        return fallback;
    }
    return static_cast<int>(std::lround(std::clamp(*value, 0.0, double{PrintMargins::kMax})));
}

}  // namespace

PrintMargins PrintMargins::fromSettings() {
    return {storedMargin(settings::key::SLd3, kDefaultTop),
            storedMargin(settings::key::SLd4, kDefaultLeft)};
}

// Margins under 5 mm would push text off the printable area and cut it; it starts at the edge.
double PrintMargins::leftOffset() const {
    return std::max(0, clampedMargin(left) - kInset);
}

double PrintMargins::topOffset() const {
    return std::max(0, clampedMargin(top) - kInset);
}

}  // namespace veltro::printing
