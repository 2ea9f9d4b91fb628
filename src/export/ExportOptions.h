#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace veltro::exporting {

// CSV carries all nineteen columns, the text file the seventeen without address and notes.
enum class ExportFormat { Csv, Text };

// Windows-1252 is what other programs on German systems expect; UTF-8 with a byte-order
// mark keeps every character and is still recognised by spreadsheet programs. Plain UTF-8
// is what the mail programs' own CSV files hold.
enum class TextEncoding { Windows1252, Utf8WithBom, Utf8 };

// The CSV layouts of other address books: their English column names in their order.
enum class CsvPreset { None, Thunderbird, Outlook, Google };

struct ExportOptions {
    ExportFormat format = ExportFormat::Csv;
    QString separator = QStringLiteral(",");  // one character (a surrogate pair counts as one)
    bool keepRichText = false;                // CSV only: write address and notes as stored RTF
    TextEncoding encoding = TextEncoding::Windows1252;
    CsvPreset preset = CsvPreset::None;  // set through presetOptions()
};

// The options for a preset: CSV, comma, plain text, and the encoding that program reads
// (UTF-8 with a byte-order mark for Outlook, plain UTF-8 for the others).
[[nodiscard]] ExportOptions presetOptions(CsvPreset preset);
// "thunderbird", "outlook" or "google" in any case; nothing for another name.
[[nodiscard]] std::optional<CsvPreset> presetByName(QStringView name);

// The separator a typed text stands for: its first character, further ones ignored;
// nothing when the text is empty.
[[nodiscard]] std::optional<QString> separatorFromText(QStringView text);

inline const QString kTabSeparator = QStringLiteral("\t");

}  // namespace veltro::exporting
