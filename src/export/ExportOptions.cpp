#include "export/ExportOptions.h"

namespace veltro::exporting {

std::optional<QString> separatorFromText(QStringView text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    // A character outside the BMP is two UTF-16 units; never split it.
    const bool pair = text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate();
    return text.left(pair ? 2 : 1).toString();
}

}  // namespace veltro::exporting
