#include "store/Schema.h"

#include "store/CardFields.h"
#include "store/KartenInfo.h"
#include "store/SchemaVersion.h"
#include "store/StoreError.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltro::store {

namespace {

// The quoted column names, each with a prefix and a suffix.
std::string columnList(const std::string& prefix, const std::string& suffix) {
    std::string list;
    for (const auto name : kColumnNames) {
        list += list.empty() ? "" : ", ";
        list.append(prefix).append(1, '"').append(name).append(1, '"').append(suffix);
    }
    return list;
}

}  // namespace

// While a run is in progress (row 0 of zKontakte), the first change of a row copies
// it into the snapshot table under its own row id, and a new row is noted under its
// negated row id, so an exit can put back exactly what the run changed.
void createChangeTriggers(Database& db, const std::string& table, const std::string& columns,
                          const std::string& oldValues, const std::string& newRowsNotedIn) {
    const std::string snapshot = "z" + table;
    const std::string notes = newRowsNotedIn.empty() ? snapshot : newRowsNotedIn;
    const std::string when = " WHEN EXISTS (SELECT 1 FROM zKontakte WHERE rowid = 0)";
    const std::string notNew =
        " AND NOT EXISTS (SELECT 1 FROM " + notes + " WHERE rowid = -old.rowid)";
    // NOT EXISTS rather than OR IGNORE: an upsert's own conflict policy overrides a trigger's.
    const std::string saveOld = " BEGIN INSERT INTO " + snapshot + " (rowid, " + columns +
                                ") SELECT old.rowid, " + oldValues +
                                " WHERE NOT EXISTS (SELECT 1 FROM " + snapshot +
                                " WHERE rowid = old.rowid); END";
    db.exec("CREATE TRIGGER " + snapshot + "Aendern BEFORE UPDATE ON " + table + when + notNew +
            saveOld);
    db.exec("CREATE TRIGGER " + snapshot + "Loeschen BEFORE DELETE ON " + table + when + notNew +
            saveOld);
    if (newRowsNotedIn.empty()) {
        db.exec("CREATE TRIGGER " + snapshot + "Neu AFTER INSERT ON " + table + when +
                " BEGIN INSERT INTO " + snapshot + " (rowid) SELECT -new.rowid WHERE NOT EXISTS " +
                "(SELECT 1 FROM " + snapshot + " WHERE rowid = -new.rowid); END");
    }
}

std::string prefixedColumns(const std::string& columns, const std::string& prefix) {
    std::string list;
    std::size_t from = 0;
    while (from < columns.size()) {
        const std::size_t comma = columns.find(',', from);
        const std::size_t end = comma == std::string::npos ? columns.size() : comma;
        std::string name = columns.substr(from, end - from);
        name.erase(0, name.find_first_not_of(' '));
        list.append(list.empty() ? "" : ", ").append(prefix).append(name);
        from = end == columns.size() ? end : end + 1;
    }
    return list;
}

void noteNewCards(Database& db, std::int64_t afterRowId) {
    auto stmt = db.prepare(
        "INSERT INTO zKontakte (rowid) SELECT -k.rowid FROM Kontakte AS k WHERE k.rowid > ?1 "
        "AND EXISTS (SELECT 1 FROM zKontakte WHERE rowid = 0) "
        "AND NOT EXISTS (SELECT 1 FROM zKontakte AS z WHERE z.rowid = -k.rowid)");
    stmt.bind(1, afterRowId);
    stmt.run();
}

namespace {

std::string quoted(std::string_view name) {
    return "„" + std::string(name) + "“";
}

// SQLite matches names without regard to ASCII case.
bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

QString qtName(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// The program keys rows by their row id, so a table must be a plain one.
void requirePlainTable(Database& db, std::string_view table) {
    auto kind = db.prepare("SELECT type, wr FROM pragma_table_list(?1) WHERE schema = 'main'");
    kind.bind(1, qtName(table));
    if (!kind.step()) {
        throw StoreError("Der Kartei fehlt die Tabelle " + quoted(table) + ".");
    }
    const QString type = kind.textOrEmpty(0);
    if (type == u"view") {
        throw StoreError("In der Kartei ist " + quoted(table) + " eine Sicht, keine Tabelle.");
    }
    if (type != u"table" || kind.integer(1) != 0) {
        throw StoreError("In der Kartei ist " + quoted(table) + " keine gewöhnliche Tabelle.");
    }
}

std::vector<std::string> missingColumns(Database& db, std::string_view table,
                                        std::span<const std::string_view> columns) {
    std::vector<std::string> present;
    auto info = db.prepare("SELECT name FROM pragma_table_info(?1)");
    info.bind(1, qtName(table));
    while (info.step()) {
        present.push_back(info.textOrEmpty(0).toStdString());
    }
    std::vector<std::string> missing;
    for (const std::string_view column : columns) {
        if (std::none_of(present.begin(), present.end(),
                         [column](const std::string& name) { return sameName(name, column); })) {
            missing.push_back(quoted(column));
        }
    }
    return missing;
}

// Throws StoreError naming what the table lacks of what the program reads and writes.
void verifyTable(Database& db, std::string_view table, std::span<const std::string_view> columns) {
    requirePlainTable(db, table);
    const auto missing = missingColumns(db, table, columns);
    if (missing.size() == 1) {
        throw StoreError("Der Kartei fehlt die Spalte " + missing.front() + " in der Tabelle " +
                         quoted(table) + ".");
    }
    if (!missing.empty()) {
        std::string list;
        for (const auto& name : missing) {
            list += (list.empty() ? "" : ", ") + name;
        }
        throw StoreError("Der Kartei fehlen die Spalten " + list + " in der Tabelle " +
                         quoted(table) + ".");
    }
}

void createFirstChangeTriggers(Database& db) {
    createChangeTriggers(db, "Kontakte", columnList("", ""), columnList("old.", ""));
    createChangeTriggers(db, "tblAdrCfg", "KategorieName", "old.KategorieName");
}

}  // namespace

void renewEarlyChangeTriggers(Database& db) {
    for (const char* table : {"zKontakte", "ztblAdrCfg", "zKartenInfo"}) {
        for (const char* change : {"Aendern", "Loeschen", "Neu"}) {
            db.exec(std::string("DROP TRIGGER IF EXISTS ") + table + change);
        }
    }
    createFirstChangeTriggers(db);
    createKartenInfoChangeTriggers(db);
}

void createSchema(Database& db) {
    Transaction tx(db);
    const std::string columns = columnList("", " TEXT");
    // The index lets the list load read headings without touching the rich-text columns.
    db.execScript("CREATE TABLE Kontakte (" + columns + ");" +
                  "CREATE TABLE tblAdrCfg (KategorieName TEXT);"
                  "CREATE TABLE zKontakte (" +
                  columns + ");" +
                  "CREATE TABLE ztblAdrCfg (KategorieName TEXT);"
                  "CREATE INDEX KontakteSchlagworte ON Kontakte (Schlagworte, Kategorien);");
    createFirstChangeTriggers(db);
    addLaterLayouts(db);
    tx.commit();
}

void verifySchema(Database& db) {
    constexpr std::array<std::string_view, 1> kCategoryColumns = {"KategorieName"};
    const std::pair<std::string_view, std::span<const std::string_view>> tables[] = {
        {"Kontakte", kColumnNames},
        {"tblAdrCfg", kCategoryColumns},
        {"zKontakte", kColumnNames},
        {"ztblAdrCfg", kCategoryColumns},
    };
    for (const auto& [table, columns] : tables) {
        verifyTable(db, table, columns);
    }
}

std::filesystem::path createEmptyStore(const std::filesystem::path& directory) {
    auto file = directory / kStoreFileName;
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        throw StoreError("Die Datei " + file.string() + " besteht bereits.");
    }
    std::filesystem::create_directories(directory, ec);
    Database db = Database::open(file, Database::Mode::Create);
    createSchema(db);
    return file;
}

}  // namespace veltro::store
