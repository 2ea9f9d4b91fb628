#pragma once

#include "RecordingPlatform.h"
#include "printing/PrintLayouts.h"

namespace veltro::testing {

// A card as the card view might show it; the blocks hold RTF as stored.
inline printing::PrintData sampleData() {
    // The single-line fields in the order of the store's columns.
    const QStringList values = QStringLiteral(
                                   "7|Muster, Anna|Privat|Frau|Anna|Muster|Beispiel GmbH|Einkauf|"
                                   "Lange Straße 3|96047|Bamberg|0951|12345|12346|0170 1234567|"
                                   "anna@example.de|www.example.de")
                                   .split(u'|');
    printing::PrintData data;
    for (qsizetype i = 0; i < values.size(); ++i) {
        data.card.values[static_cast<std::size_t>(i)] = values[i];
    }
    data.card.set(
        store::Field::Anschrift,
        QStringLiteral(R"({\rtf1\ansi\f0 Frau\par Anna \b Muster\b0\par 96047 Bamberg})"));
    data.card.set(store::Field::Notizen,
                  QStringLiteral(R"({\rtf1\ansi\f0 Erste Zeile\par Zweite \i Zeile\i0})"));
    data.fieldFace = QStringLiteral("DejaVu Sans");
    data.addressFace = QStringLiteral("DejaVu Serif");
    data.addressPoints = 12.0;
    return data;
}

// What a layout prints on its own, starting from the printer font given.
inline std::vector<PrintedLine> printOut(printing::PrintLayout layout,
                                         const printing::PrintData& data,
                                         platform::PrintFont printerFont = {}) {
    std::vector<PrintedLine> lines;
    int finished = 0;
    RecordingSurface surface(lines, finished);
    printing::PrintJob job(surface, printerFont);
    printing::printLayout(layout, job, data);
    return finished == 1 ? lines : std::vector<PrintedLine>{};
}

inline QStringList texts(const std::vector<PrintedLine>& lines) {
    QStringList out;
    for (const auto& line : lines) {
        out << line.text;
    }
    return out;
}

}  // namespace veltro::testing
