#include "richtext/RtfColorTable.h"

#include <algorithm>

namespace veltro::richtext {
namespace {

constexpr std::size_t kMaxColours = 1024;

int shiftOf(RtfColorTable::Component component) {
    switch (component) {
        case RtfColorTable::Component::Red:
            return 16;
        case RtfColorTable::Component::Green:
            return 8;
        case RtfColorTable::Component::Blue:
            break;
    }
    return 0;
}

}  // namespace

void RtfColorTable::clear() {
    colours_.clear();
    value_ = 0;
    set_ = false;
}

void RtfColorTable::set(Component component, int value) {
    const int shift = shiftOf(component);
    const auto clamped = static_cast<Rgb>(std::clamp(value, 0, 255));
    value_ = (value_ & ~(Rgb{0xFF} << shift)) | (clamped << shift);
    set_ = true;
}

void RtfColorTable::endEntry() {
    if (colours_.size() < kMaxColours) {
        colours_.push_back(set_ ? std::optional<Rgb>(value_) : std::nullopt);
    }
    value_ = 0;
    set_ = false;
}

std::optional<Rgb> RtfColorTable::at(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= colours_.size()) {
        return std::nullopt;
    }
    return colours_[static_cast<std::size_t>(index)];
}

}  // namespace veltro::richtext
