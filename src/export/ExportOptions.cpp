#include "export/ExportOptions.h"

#include <utility>

namespace veltro::exporting {

std::optional<QString> separatorFromText(QStringView text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    // A character outside the BMP is two UTF-16 units; never split it.
    const bool pair = text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate();
    return text.left(pair ? 2 : 1).toString();
}

ExportOptions presetOptions(CsvPreset preset) {
    ExportOptions options;
    options.preset = preset;
    options.encoding =
        preset == CsvPreset::Outlook ? TextEncoding::Utf8WithBom : TextEncoding::Utf8;
    return options;
}

std::optional<CsvPreset> presetByName(QStringView name) {
    for (const auto& [text, preset] :
         {std::pair{u"thunderbird", CsvPreset::Thunderbird},
          std::pair{u"outlook", CsvPreset::Outlook}, std::pair{u"google", CsvPreset::Google}}) {
        if (name.compare(QStringView(text), Qt::CaseInsensitive) == 0) {
            return preset;
        }
    }
    return std::nullopt;
}

}  // namespace veltro::exporting
