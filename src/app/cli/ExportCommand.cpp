#include "app/cli/CliCommands.h"

#include "export/ExportFile.h"
#include "store/Schema.h"

#include <filesystem>
#include <optional>

namespace veltro::cli {

namespace {

constexpr const char* kExportUsage =
    "export VERZEICHNIS DATEI [--text] [--separator ZEICHEN | --tab] [--rtf]\n"
    "                  [--encoding windows-1252|utf-8]";

struct ExportCall {
    QString dir;
    QString file;
    exporting::ExportOptions options;
};

std::optional<exporting::TextEncoding> encodingByName(const QString& name) {
    if (name.compare(u"windows-1252", Qt::CaseInsensitive) == 0) {
        return exporting::TextEncoding::Windows1252;
    }
    if (name.compare(u"utf-8", Qt::CaseInsensitive) == 0) {
        return exporting::TextEncoding::Utf8WithBom;
    }
    return std::nullopt;
}

// Nothing when the arguments do not fit; the caller prints the usage.
std::optional<ExportCall> parse(const QStringList& args) {
    ExportCall call;
    QStringList positional;
    bool separatorGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == u"--text") {
            call.options.format = exporting::ExportFormat::Text;
        } else if (arg == u"--rtf") {
            call.options.keepRichText = true;
        } else if ((arg == u"--tab" || arg == u"--separator") && !separatorGiven) {
            separatorGiven = true;
            const auto separator = arg == u"--tab" ? std::optional(exporting::kTabSeparator)
                                   : hasValue      ? exporting::separatorFromText(args[++i])
                                                   : std::nullopt;
            if (!separator) {
                return std::nullopt;
            }
            call.options.separator = *separator;
        } else if (arg == u"--encoding" && hasValue) {
            const auto encoding = encodingByName(args[++i]);
            if (!encoding) {
                return std::nullopt;
            }
            call.options.encoding = *encoding;
        } else if (arg.startsWith(u"--")) {
            return std::nullopt;
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 2) {
        return std::nullopt;
    }
    call.dir = positional[0];
    call.file = positional[1];
    return call;
}

}  // namespace

int exportCards(const QStringList& args) {
    const auto call = parse(args);
    if (!call) {
        err() << "Aufruf: veltro-cli " << kExportUsage << Qt::endl;
        return kUsage;
    }
    const auto storeFile = std::filesystem::path(call->dir.toStdString()) / store::kStoreFileName;
    const auto result = exporting::exportToFile(storeFile, call->file, call->options);
    switch (result.status) {
        case exporting::ExportStatus::Written:
            out() << result.summary.cards << " Karten nach " << call->file << " exportiert."
                  << Qt::endl;
            if (result.summary.replacedCharacters > 0) {
                err() << "Hinweis: " << result.summary.replacedCharacters
                      << " Zeichen passen nicht in Windows-1252 und wurden durch \"?\" ersetzt; "
                         "--encoding utf-8 behält sie."
                      << Qt::endl;
            }
            return kOk;
        case exporting::ExportStatus::NoCard:
            err() << "Die Kartei enthält keine Karte; es wurde nichts geschrieben." << Qt::endl;
            return kFailed;
        case exporting::ExportStatus::Cancelled:
        case exporting::ExportStatus::Failed:
            err() << "Fehler: " << result.error << Qt::endl;
            return kFailed;
    }
    return kFailed;
}

}  // namespace veltro::cli
