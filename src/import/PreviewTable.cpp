#include "import/PreviewTable.h"

namespace veltro::import {

PreviewRow::PreviewRow(const Fields& fields) {
    qsizetype length = 0;
    for (const QStringView field : fields) {
        length += field.size();
    }
    // Room for a heading made unique with "_" and a number, written in place later.
    constexpr qsizetype kRoomForSuffix = 8;
    buffer_.reserve(length + kRoomForSuffix);
    for (std::size_t target = 0; target < kTargetCount; ++target) {
        starts_[target] = buffer_.size();
        buffer_.append(fields[target]);
    }
    starts_[kTargetCount] = buffer_.size();
}

void PreviewRow::set(std::size_t target, QStringView value) {
    const qsizetype start = starts_.at(target);
    const qsizetype length = starts_.at(target + 1) - start;
    // A value that is a view into this row's own text is copied by replace() first.
    buffer_.replace(start, length, value.data(), value.size());
    const qsizetype grown = value.size() - length;
    for (std::size_t later = target + 1; later <= kTargetCount; ++later) {
        starts_[later] += grown;
    }
}

QString recordCountText(const RecordCount& count) {
    return QStringLiteral("%1 von %2 Datensätzen gelesen").arg(count.read).arg(count.declared);
}

}  // namespace veltro::import
