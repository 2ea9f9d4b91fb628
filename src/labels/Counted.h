#pragma once

#include <QString>

namespace veltro::labels {

// "1 Etikett", "3 Etiketten".
[[nodiscard]] inline QString counted(long long count, const char* one, const char* many) {
    return QString::number(count) + u' ' + QString::fromUtf8(count == 1 ? one : many);
}

}  // namespace veltro::labels
