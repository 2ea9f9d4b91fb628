#pragma once

namespace veltro::printing {

// The address printout's margins in whole millimetres, as the options dialog sets them.
struct PrintMargins {
    static constexpr int kDefaultTop = 50;
    static constexpr int kDefaultLeft = 25;
    static constexpr int kMax = 100;

    int top = kDefaultTop;  // used by the address layout only
    int left = kDefaultLeft;

    // How far right of and below the printable corner text starts: 5 less than the margin,
    // never outside the printable area.
    [[nodiscard]] double leftOffset() const;
    [[nodiscard]] double topOffset() const;
};

}  // namespace veltro::printing
