#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace veltro::exporting {

// CSV carries all nineteen columns, the text file the seventeen without address and notes.
enum class ExportFormat { Csv, Text };

// Windows-1252 is what other programs on German systems expect; UTF-8 with a byte-order
// mark keeps every character and is still recognised by spreadsheet programs.
enum class TextEncoding { Windows1252, Utf8WithBom };

struct ExportOptions {
    ExportFormat format = ExportFormat::Csv;
    QString separator = QStringLiteral(",");  // one character (a surrogate pair counts as one)
    bool keepRichText = false;                // CSV only: write address and notes as stored RTF
    TextEncoding encoding = TextEncoding::Windows1252;
};

// The separator a typed text stands for: its first character, further ones ignored;
// nothing when the text is empty.
[[nodiscard]] std::optional<QString> separatorFromText(QStringView text);

inline const QString kTabSeparator = QStringLiteral("\t");

}  // namespace veltro::exporting
