#include "import/PreviewTable.h"

namespace veltro::import {

PreviewRow::PreviewRow(const Fields& fields) {
    qsizetype length = 0;
    for (const QStringView field : fields) {
        length += field.size();
    }
    buffer_.reserve(length);
    for (std::size_t target = 0; target < kTargetCount; ++target) {
        starts_[target] = buffer_.size();
        buffer_.append(fields[target]);
    }
    starts_[kTargetCount] = buffer_.size();
}

void PreviewRow::set(std::size_t target, QStringView value) {
    Fields fields;
    const QString old = buffer_;  // the views below read the old texts
    for (std::size_t i = 0; i < kTargetCount; ++i) {
        fields[i] =
            i == target ? value : QStringView(old).sliced(starts_[i], starts_[i + 1] - starts_[i]);
    }
    *this = PreviewRow(fields);
}

QString recordCountText(const RecordCount& count) {
    return QStringLiteral("%1 von %2 Datensätzen gelesen").arg(count.read).arg(count.declared);
}

}  // namespace veltro::import
