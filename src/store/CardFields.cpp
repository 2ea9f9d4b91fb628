#include "store/CardFields.h"

namespace veltro::store {

std::optional<Field> fieldByColumnName(QStringView name) {
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (name.compare(columnName(static_cast<Field>(i)), Qt::CaseInsensitive) == 0) {
            return static_cast<Field>(i);
        }
    }
    return std::nullopt;
}

}  // namespace veltro::store
