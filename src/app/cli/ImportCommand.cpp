#include "app/cli/CliCommands.h"

#include "base/Counted.h"
#include "base/SystemReason.h"

#include "import/AccessSource.h"
#include "import/ImportRun.h"
#include "import/PresetExtras.h"
#include "import/PresetMapping.h"
#include "import/RowsAhead.h"
#include "import/TextFile.h"
#include "store/CardStore.h"
#include "store/CaseFold.h"
#include "store/Categories.h"
#include "store/Schema.h"
#include "vcard/VcardMapping.h"
#include "vcard/VcardRows.h"

#include <QFileInfo>

#include <filesystem>
#include <optional>

namespace veltro::cli {

namespace {

using import::FieldMapping;

struct ImportArgs {
    QString dir;
    QString file;
    QString category;
    QString map;
    QString table;
    import::SplitOptions split;
    bool separatorGiven = false;
};

// Why reading the rows failed, and with which exit status.
struct Problem {
    QString text;
    int status = kFailed;
};

// Reads the arguments; an error text when they do not make an import.
std::optional<QString> parse(const QStringList& args, ImportArgs& parsed) {
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == u"--category" && hasValue) {
            parsed.category = args[++i];
        } else if (arg == u"--map" && hasValue) {
            parsed.map = args[++i];
        } else if (arg == u"--table" && hasValue) {
            parsed.table = args[++i];
        } else if (arg == u"--separator" && hasValue) {
            const QString& separator = args[++i];
            if (separator.size() != 1) {
                return QStringLiteral("Das Trennzeichen muss genau ein Zeichen sein: \"%1\"")
                    .arg(separator);
            }
            parsed.split.separator = separator.front();
            parsed.separatorGiven = true;
        } else if (arg == u"--tab") {
            parsed.split.separator = u'\t';
            parsed.separatorGiven = true;
        } else if (arg == u"--quoted") {
            parsed.split.quoted = true;
        } else if (arg == u"--skip-first") {
            parsed.split.useFirstLine = false;
        } else if (arg.startsWith(u"--")) {
            return QStringLiteral("Nach %1 fehlt der Wert.").arg(arg);
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 2 || parsed.category.isEmpty()) {
        return QStringLiteral("Verzeichnis, Datei und --category sind nötig.");
    }
    parsed.dir = positional[0];
    parsed.file = positional[1];
    return std::nullopt;
}

// The source column of a --map entry: a 1-based number, or a column name of the listing.
std::optional<int> sourceColumn(const QString& text, const QStringList& columns) {
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (isNumber) {
        return number >= 1 && number <= columns.size() ? std::optional<int>(number - 1)
                                                       : std::nullopt;
    }
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (store::equalsIgnoringCase(columns[i], text)) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

std::optional<QString> buildMapping(const QString& map, const QStringList& columns,
                                    FieldMapping& mapping) {
    for (const QString& entry : map.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype equals = entry.indexOf(u'=');
        const auto target = import::targetByName(entry.left(equals).trimmed());
        if (equals < 0 || !target || *target == import::kCategoryTarget) {
            return QStringLiteral("Kein Eingabefeld: ") + entry;
        }
        const auto column = sourceColumn(entry.mid(equals + 1).trimmed(), columns);
        if (!column) {
            return QStringLiteral("Keine Spalte der Quelldatei (sie hat %1): %2")
                .arg(counted(columns.size(), "Spalte", "Spalten"), entry);
        }
        mapping.assign(*target, *column, columns.value(*column, QString::number(*column + 1)));
    }
    if (!mapping.hasHeading()) {
        return QStringLiteral("--map braucht eine Spalte für \"Karte\".");
    }
    return std::nullopt;
}

bool isAccessFile(const QString& file) {
    const QString suffix = QFileInfo(file).suffix().toLower();
    return suffix == u"mdb" || suffix == u"accdb";
}

// Without --map, the header line of another address book's CSV file decides the mapping.
std::optional<Problem> presetSplit(const ImportArgs& args, const import::TextFile& source,
                                   FieldMapping& mapping, import::SplitOptions& split) {
    split = args.split;
    split.separator = args.separatorGiven ? args.split.separator : QChar(u',');
    split.quoted = true;
    split.useFirstLine = true;
    auto match = import::presetMapping(source.columns(split), mapping.category());
    if (!match) {
        return Problem{QStringLiteral("Die Spalten sind nicht erkannt; bitte --map angeben."),
                       kUsage};
    }
    out() << "Spalten einer " << match->program << "-CSV-Datei erkannt";
    if (const auto* extras = match->mapping.extras()) {
        out() << "; Weitere Angaben aus " << counted(extras->columnCount(), "Spalte", "Spalten");
    }
    out() << '.' << Qt::endl;
    mapping = match->mapping;
    split.useFirstLine = false;
    return std::nullopt;
}

// The rows of an Access table, or what went wrong.
std::optional<Problem> readAccessRows(const ImportArgs& args, FieldMapping& mapping,
                                      import::PreviewTable& rows) {
    if (args.map.isEmpty()) {
        return Problem{QStringLiteral("Access-Dateien brauchen --map."), kUsage};
    }
    const import::AccessSource source(args.file);
    const auto listing = source.tables();
    const auto table = std::find_if(
        listing.tables.begin(), listing.tables.end(), [&](const import::AccessTable& t) {
            return args.table.isEmpty() || store::equalsIgnoringCase(t.name, args.table);
        });
    if (table == listing.tables.end()) {
        return Problem{listing.complete ? QStringLiteral("Die Tabelle gibt es in der Datei nicht.")
                                        : QStringLiteral("Die Datei lässt sich nicht lesen.")};
    }
    if (auto problem = buildMapping(args.map, table->columns, mapping)) {
        return Problem{*problem, kUsage};
    }
    rows = source.preview(table->name, mapping);
    if (!rows.complete) {
        return Problem{
            QStringLiteral("Die Datei ließ sich nicht vollständig lesen; nichts importiert.")};
    }
    return std::nullopt;
}

// A text file looked at, with how it splits and what goes where; it is read a piece at a
// time while its rows are written, so a large file is never in memory whole.
std::optional<Problem> readText(const ImportArgs& args, FieldMapping& mapping,
                                std::optional<import::TextFile>& source,
                                import::SplitOptions& split) {
    source = import::TextFile::open(args.file);
    if (!source) {
        return Problem{QStringLiteral("Die Datei lässt sich nicht lesen.")};
    }
    if (!source->isText()) {
        return Problem{import::kNotTextMessage};
    }
    if (source->invalidLines() > 0) {
        err() << args.file << ": " << import::invalidLinesText(source->invalidLines()) << '.'
              << Qt::endl;
    }
    if (args.map.isEmpty()) {
        return presetSplit(args, *source, mapping, split);
    }
    split = args.split;
    if (auto problem = buildMapping(args.map, source->columns(split), mapping)) {
        return Problem{*problem, kUsage};
    }
    return std::nullopt;
}

void reportImport(const import::ImportOutcome& outcome, const QString& category) {
    for (const QString& added : outcome.newCategories) {
        err() << "Kategorie \"" << added << "\" angelegt." << Qt::endl;
    }
    out() << counted(outcome.cards, "Karte", "Karten") << " in die Kategorie \"" << category
          << "\" importiert, " << outcome.renamed << " davon umbenannt." << Qt::endl;
}

// A vCard file: broken cards are skipped and counted, the others imported while the file
// is still being read.
int importVcards(const ImportArgs& args, const std::filesystem::path& storeFile,
                 const QString& category) {
    BackupAlongside backup(storeFile);
    vcard::VcardRows rows(args.file, category);
    import::ImportOutcome outcome;
    try {
        outcome = import::runImport(storeFile,
                                    [&rows](import::PreviewRow& row) { return rows.next(row); });
        backup.finish();
    } catch (const vcard::VcardUnreadable& broken) {
        err() << args.file << ": " << broken.userText() << Qt::endl;
        return kFailed;
    }
    if (rows.skipped() > 0) {
        err() << args.file << ": " << rows.skipped() << " fehlerhafte oder namenlose "
              << agreeing(rows.skipped(), "vCard", "vCards") << " übersprungen." << Qt::endl;
    }
    if (outcome.cards == 0) {
        err() << args.file << ": Die Datei enthält keine Karte, die sich importieren lässt."
              << Qt::endl;
        return kFailed;
    }
    reportImport(outcome, category);
    return rows.skipped() > 0 ? kPartly : kOk;
}

// The category as the store spells it.
std::optional<QString> storedCategory(const std::filesystem::path& storeFile, const QString& name) {
    auto cardStore = store::CardStore::open(storeFile);
    for (const QString& category : cardStore.categories()) {
        if (store::equalsIgnoringCase(category, name)) {
            return category;
        }
    }
    return std::nullopt;
}

// Says what kept the file from being imported; a wrong call with how to call.
int told(const ImportArgs& args, const Problem& problem) {
    const QString text = args.file + QStringLiteral(": ") + problem.text;
    if (problem.status == kUsage) {
        return usage("import", text);
    }
    err() << text << Qt::endl;
    return problem.status;
}

// A text file is read and split on a thread of its own while its rows are written.
int importText(const ImportArgs& args, const std::filesystem::path& storeFile,
               FieldMapping& mapping) {
    std::optional<import::TextFile> source;
    import::SplitOptions split;
    if (const auto problem = readText(args, mapping, source, split)) {
        return told(args, *problem);
    }
    import::TextFileRows rows(*source, split, mapping);
    BackupAlongside backup(storeFile);
    auto ahead = import::RowsAhead([&rows](import::PreviewRow& row) { return rows.next(row); });
    const auto outcome =
        import::runImport(storeFile, [&ahead](import::PreviewRow& row) { return ahead.next(row); });
    backup.finish();
    reportImport(outcome, mapping.category());
    return kOk;
}

int importAccess(const ImportArgs& args, const std::filesystem::path& storeFile,
                 FieldMapping& mapping) {
    import::PreviewTable table;
    if (const auto problem = readAccessRows(args, mapping, table)) {
        return told(args, *problem);
    }
    BackupAlongside backup(storeFile);
    const auto outcome = import::runImport(storeFile, table.rows);
    backup.finish();
    reportImport(outcome, mapping.category());
    if (table.count && !table.count->matches()) {
        err() << args.file << ": " << import::recordCountText(*table.count) << '.' << Qt::endl;
        return kPartly;
    }
    return kOk;
}

}  // namespace

int importFile(const QStringList& args) {
    ImportArgs parsed;
    if (const auto problem = parse(args, parsed)) {
        return usage("import", *problem);
    }
    const auto storeFile = std::filesystem::path(parsed.dir.toStdString()) / store::kStoreFileName;
    if (!store::isTargetCategory(parsed.category)) {
        return usage("import",
                     QStringLiteral("In \"-Alle-\" lässt sich nicht importieren; bitte eine "
                                    "Kategorie angeben."));
    }
    if (const auto problem = whyUnreadable(parsed.file)) {
        err() << parsed.file << ": Die Datei lässt sich nicht lesen. " << *problem << Qt::endl;
        return kFailed;
    }
    return whileLocked(parsed.dir, [&] {
        // A category the store lacks is added with the cards.
        const QString category =
            storedCategory(storeFile, parsed.category).value_or(parsed.category);
        if (vcard::isVcardFile(parsed.file)) {
            return importVcards(parsed, storeFile, category);
        }
        FieldMapping mapping(category);
        return isAccessFile(parsed.file) ? importAccess(parsed, storeFile, mapping)
                                         : importText(parsed, storeFile, mapping);
    });
}

}  // namespace veltro::cli
