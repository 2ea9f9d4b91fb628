#include "printing/PrintMargins.h"

#include <algorithm>

namespace veltro::printing {

namespace {

constexpr int kInset = 5;

int clampedMargin(int millimetres) {
    return std::clamp(millimetres, 0, PrintMargins::kMax);
}

}  // namespace

// Margins under 5 mm would push text off the printable area and cut it; it starts at the edge.
double PrintMargins::leftOffset() const {
    return std::max(0, clampedMargin(left) - kInset);
}

double PrintMargins::topOffset() const {
    return std::max(0, clampedMargin(top) - kInset);
}

}  // namespace veltro::printing
