#pragma once

namespace veltro::labels {

// Lengths on paper, in millimetres from the sheet's top-left corner.
struct SizeMm {
    double width = 0.0;
    double height = 0.0;

    friend bool operator==(const SizeMm&, const SizeMm&) = default;
};

struct RectMm {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;

    [[nodiscard]] double right() const { return x + width; }
    [[nodiscard]] double bottom() const { return y + height; }
    [[nodiscard]] bool contains(const RectMm& other) const {
        return other.x >= x && other.y >= y && other.right() <= right() &&
               other.bottom() <= bottom();
    }

    friend bool operator==(const RectMm&, const RectMm&) = default;
};

inline constexpr SizeMm kA4{210.0, 297.0};
inline constexpr double kMmPerPoint = 25.4 / 72.0;

}  // namespace veltro::labels
