#include "import/FieldMapping.h"

#include "import/PresetExtras.h"

#include <utility>

namespace veltro::import {

FieldMapping::FieldMapping(QString category) : category_(std::move(category)) {}

void FieldMapping::reset() {
    sources_.fill(std::nullopt);
    extras_.reset();
}

bool FieldMapping::assign(std::size_t target, int column, QString caption) {
    if (target == kCategoryTarget || target >= kTargetCount || column < 0) {
        return false;
    }
    sources_[target] = Source{column, std::move(caption)};
    return true;
}

void FieldMapping::unassign(std::size_t target) {
    if (target < kTargetCount) {
        sources_[target].reset();
    }
}

bool FieldMapping::isAssigned(std::size_t target) const {
    return target == kCategoryTarget || (target < kTargetCount && sources_[target].has_value());
}

}  // namespace veltro::import
