#include "app/cli/CliCommands.h"

#include "base/Counted.h"
#include "export/ExportFile.h"
#include "store/Schema.h"
#include "vcard/VcardExport.h"

#include <filesystem>
#include <optional>

namespace veltro::cli {

namespace {

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
    bool csv = false;        // --text, --rtf, --separator, --tab, --encoding
    bool vcard = false;      // --version, --category
    bool separator = false;  // --separator or --tab
};

// The separator as given: exactly one character.
std::optional<QString> oneCharacter(const QString& text) {
    const auto separator = exporting::separatorFromText(text);
    return separator && *separator == text ? separator : std::nullopt;
}

// What is wrong with a CSV option or its value; nothing when it fits.
std::optional<QString> readCsvOption(const QStringList& args, qsizetype& i, ExportCall& call,
                                     Given& given) {
    const QString& arg = args[i];
    given.csv = true;
    if (arg == u"--text") {
        call.options.format = exporting::ExportFormat::Text;
    } else if (arg == u"--rtf") {
        call.options.keepRichText = true;
    } else if (arg == u"--tab" || arg == u"--separator") {
        if (given.separator) {
            return QStringLiteral("Das Trennzeichen ist mehr als einmal angegeben.");
        }
        given.separator = true;
        const auto separator =
            arg == u"--tab" ? std::optional(exporting::kTabSeparator) : oneCharacter(args[++i]);
        if (!separator) {
            return QStringLiteral("Das Trennzeichen muss genau ein Zeichen sein: \"%1\"")
                .arg(args[i]);
        }
        call.options.separator = *separator;
    } else {
        const auto encoding = encodingByName(args[++i]);
        if (!encoding) {
            return QStringLiteral("Unbekannte Zeichenkodierung: \"%1\"").arg(args[i]);
        }
        call.options.encoding = *encoding;
    }
    return std::nullopt;
}

// What is wrong with a vCard option or its value; nothing when it fits.
std::optional<QString> readVcardOption(const QStringList& args, qsizetype& i, ExportCall& call) {
    const QString& value = args[i + 1];
    if (args[i++] == u"--version") {
        const auto version = vcard::versionFromText(value);
        if (!version) {
            return QStringLiteral("Unbekannte vCard-Fassung: \"%1\"").arg(value);
        }
        call.vcardOptions.version = *version;
        return std::nullopt;
    }
    if (value.isEmpty()) {
        return QStringLiteral("Der Name der Kategorie fehlt.");
    }
    call.vcardOptions.category = store::CategoryFilter(value);
    return std::nullopt;
}

std::optional<QString> readOption(const QStringList& args, qsizetype& i, ExportCall& call,
                                  Given& given) {
    const QString& arg = args[i];
    const bool takesValue =
        arg != u"--vcard" && arg != u"--text" && arg != u"--rtf" && arg != u"--tab";
    if (takesValue && i + 1 >= args.size()) {
        return QStringLiteral("Nach %1 fehlt der Wert.").arg(arg);
    }
    if (arg == u"--vcard") {
        call.vcard = true;
    } else if (arg == u"--preset") {
        if (call.preset) {
            return QStringLiteral("--preset ist mehr als einmal angegeben.");
        }
        call.preset = exporting::presetByName(args[++i]);
        if (!call.preset) {
            return QStringLiteral("Unbekanntes Programm für --preset: \"%1\"").arg(args[i]);
        }
    } else if (arg == u"--version" || arg == u"--category") {
        given.vcard = true;
        return readVcardOption(args, i, call);
    } else {
        return readCsvOption(args, i, call, given);
    }
    return std::nullopt;
}

// What is wrong with the call; nothing when the arguments make an export.
std::optional<QString> parse(const QStringList& args, ExportCall& call) {
    QStringList positional;
    Given given;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (!args[i].startsWith(u"--")) {
            positional << args[i];
        } else if (auto problem = readOption(args, i, call, given)) {
            return problem;
        }
    }
    if (positional.size() != 2) {
        return QStringLiteral("Verzeichnis und Datei sind nötig.");
    }
    if (call.vcard && (given.csv || call.preset)) {
        return QStringLiteral("--vcard verträgt sich nicht mit Optionen für CSV-Dateien.");
    }
    if (!call.vcard && given.vcard) {
        return QStringLiteral("--version und --category gelten nur mit --vcard.");
    }
    if (call.preset && given.csv) {
        return QStringLiteral(
            "--preset legt das Format selbst fest; weitere Optionen passen nicht.");
    }
    if (call.preset) {
        call.options = exporting::presetOptions(*call.preset);
    }
    call.dir = positional[0];
    call.file = positional[1];
    return std::nullopt;
}

}  // namespace

int exportCards(const QStringList& args) {
    ExportCall call;
    if (const auto problem = parse(args, call)) {
        return usage("export", *problem);
    }
    const auto storeFile = std::filesystem::path(call.dir.toStdString()) / store::kStoreFileName;
    const auto result = call.vcard ? vcard::exportToFile(storeFile, call.file, call.vcardOptions)
                                   : exporting::exportToFile(storeFile, call.file, call.options);
    switch (result.status) {
        case exporting::ExportStatus::Written:
            out() << counted(result.summary.cards, "Karte", "Karten") << " nach " << call.file
                  << " exportiert." << Qt::endl;
            if (result.summary.replacedCharacters > 0) {
                const auto replaced = result.summary.replacedCharacters;
                err() << "Hinweis: " << replaced << " Zeichen "
                      << agreeing(replaced, "passt nicht in Windows-1252 und wurde",
                                  "passen nicht in Windows-1252 und wurden")
                      << " durch \"?\" ersetzt; --encoding utf-8 behält "
                      << agreeing(replaced, "es", "sie") << '.' << Qt::endl;
            }
            return kOk;
        case exporting::ExportStatus::NoCard:
            err() << (call.vcardOptions.category.isAll()
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
