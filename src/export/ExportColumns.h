#pragma once

#include "export/ExportOptions.h"
#include "store/CardFields.h"

#include <QStringView>

#include <span>

namespace veltro::exporting {

struct ExportColumn {
    QStringView header;
    store::Field field;
};

// The columns of an export file in file order: nineteen for CSV, the first seventeen for text.
[[nodiscard]] std::span<const ExportColumn> exportColumns(ExportFormat format);

}  // namespace veltro::exporting
