#pragma once

#include <QString>
#include <QStringView>

namespace veltro::store {

// Unicode case folding: "MÜLLER" and "Müller" fold to the same text.
[[nodiscard]] inline QString foldCase(QStringView text) {
    return text.toString().toCaseFolded();
}

[[nodiscard]] inline bool equalsIgnoringCase(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0 || foldCase(a) == foldCase(b);
}

}  // namespace veltro::store
