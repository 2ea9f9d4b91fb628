#pragma once

#include <QString>

namespace veltro {

// A count with its noun: "1 Karte", "0 Karten", "3 Karten".
[[nodiscard]] inline QString counted(long long count, const char* one, const char* many) {
    return QString::number(count) + u' ' + QString::fromUtf8(count == 1 ? one : many);
}

// The word that agrees with a count: "wurde" for one, "wurden" for any other number.
[[nodiscard]] inline QString agreeing(long long count, const char* one, const char* many) {
    return QString::fromUtf8(count == 1 ? one : many);
}

}  // namespace veltro
