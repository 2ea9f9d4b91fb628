#include "app/cli/CliCommands.h"

#include "export/ExportFile.h"
#include "store/Schema.h"
#include "vcard/VcardExport.h"

#include <filesystem>
#include <optional>

namespace veltro::cli {

namespace {

constexpr const char* kExportUsage =
    "export VERZEICHNIS DATEI [--text] [--separator ZEICHEN | --tab] [--rtf]\n"
    "                  [--encoding windows-1252|utf-8]\n"
    "       export VERZEICHNIS DATEI --preset thunderbird|outlook|google\n"
    "       export VERZEICHNIS DATEI --vcard [--version 3.0|4.0] [--category NAME]";

struct ExportCall {
    QString dir;
    QString file;
    exporting::ExportOptions options;
    std::optional<exporting::CsvPreset> preset;
    bool vcard = false;
    vcard::VcardExportOptions vcardOptions;
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

// Which kinds of options were given, to refuse mixtures that make no sense.
struct Given {
    bool csv = false;    // --text, --rtf, --separator, --tab, --encoding
    bool vcard = false;  // --version, --category
};

// False when the argument is no CSV option or its value does not fit.
bool readCsvOption(const QStringList& args, qsizetype& i, ExportCall& call, bool& separatorGiven) {
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
            return false;
        }
        call.options.separator = *separator;
    } else if (arg == u"--encoding" && hasValue) {
        const auto encoding = encodingByName(args[++i]);
        if (!encoding) {
            return false;
        }
        call.options.encoding = *encoding;
    } else {
        return false;
    }
    return true;
}

// False when the argument is no vCard option or its value does not fit.
bool readVcardOption(const QStringList& args, qsizetype& i, ExportCall& call) {
    const QString& arg = args[i];
    if (i + 1 >= args.size()) {
        return false;
    }
    if (arg == u"--version") {
        const auto version = vcard::versionFromText(args[++i]);
        if (!version) {
            return false;
        }
        call.vcardOptions.version = *version;
        return true;
    }
    if (arg == u"--category") {
        const QString& name = args[++i];
        call.vcardOptions.category = store::CategoryFilter(name);
        return !name.isEmpty();
    }
    return false;
}

// Nothing when the arguments do not fit; the caller prints the usage.
std::optional<ExportCall> parse(const QStringList& args) {
    ExportCall call;
    QStringList positional;
    Given given;
    bool separatorGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--vcard") {
            call.vcard = true;
        } else if (arg == u"--preset" && i + 1 < args.size() && !call.preset) {
            call.preset = exporting::presetByName(args[++i]);
            if (!call.preset) {
                return std::nullopt;
            }
        } else if (arg == u"--version" || arg == u"--category") {
            given.vcard = true;
            if (!readVcardOption(args, i, call)) {
                return std::nullopt;
            }
        } else if (arg.startsWith(u"--")) {
            given.csv = true;
            if (!readCsvOption(args, i, call, separatorGiven)) {
                return std::nullopt;
            }
        } else {
            positional << arg;
        }
    }
    const bool mixed = (call.vcard && (given.csv || call.preset)) || (!call.vcard && given.vcard) ||
                       (call.preset && given.csv);
    if (positional.size() != 2 || mixed) {
        return std::nullopt;
    }
    if (call.preset) {
        call.options = exporting::presetOptions(*call.preset);
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
    const auto result = call->vcard ? vcard::exportToFile(storeFile, call->file, call->vcardOptions)
                                    : exporting::exportToFile(storeFile, call->file, call->options);
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
            err() << (call->vcardOptions.category.isAll()
                          ? "Die Kartei enthält keine Karte; es wurde nichts geschrieben."
                          : "Die Kategorie enthält keine Karte; es wurde nichts geschrieben.")
                  << Qt::endl;
            return kFailed;
        case exporting::ExportStatus::Cancelled:
        case exporting::ExportStatus::Failed:
            err() << "Fehler: " << result.error << Qt::endl;
            return kFailed;
    }
    return kFailed;
}

}  // namespace veltro::cli
