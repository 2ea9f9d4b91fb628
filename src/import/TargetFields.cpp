#include "import/TargetFields.h"

namespace veltro::import {

QString targetName(std::size_t target) {
    const std::u16string_view name = kTargets.at(target).name;
    return QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size()));
}

std::optional<std::size_t> targetByName(QStringView name) {
    for (std::size_t i = 0; i < kTargetCount; ++i) {
        if (name.compare(targetName(i), Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    if (const auto field = store::fieldByColumnName(name)) {
        for (std::size_t i = 0; i < kTargetCount; ++i) {
            if (kTargets[i].field == *field) {
                return i;
            }
        }
    }
    return std::nullopt;
}

}  // namespace veltro::import
