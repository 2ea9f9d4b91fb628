#include "store/CardExtrasTable.h"

#include "store/Schema.h"
#include "store/Snapshot.h"
#include "store/StoreError.h"
#include "store/UndoLog.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace veltro::store {

namespace {

const std::string kNow = "strftime('%Y-%m-%dT%H:%M:%SZ', 'now')";

// Plain SQL only: another program that deletes a card or writes these tables runs them too.
void createCardTriggers(Database& db) {
    db.exec(
        "CREATE TRIGGER KartenAngabenMitKarte AFTER DELETE ON Kontakte BEGIN "
        "DELETE FROM KartenAngaben WHERE KarteId = old.rowid; "
        "DELETE FROM KartenEintraege WHERE KarteId = old.rowid; END");
    const std::pair<const char*, const char*> changes[] = {
        {"Neu AFTER INSERT", "new.KarteId"},
        {"Aendern AFTER UPDATE", "old.KarteId, new.KarteId"},
        {"Loeschen AFTER DELETE", "old.KarteId"},
    };
    for (const std::string table : {"KartenAngaben", "KartenEintraege"}) {
        for (const auto& [change, cards] : changes) {
            std::string sql = "CREATE TRIGGER ";
            sql.append(table).append("Zeit").append(change).append(" ON ").append(table);
            sql.append(" BEGIN UPDATE KartenInfo SET Geaendert = ").append(kNow);
            sql.append(" WHERE KarteId IN (").append(cards).append("); END");
            db.exec(sql);
        }
    }
}

void dropTriggers(Database& db) {
    std::vector<std::string> names = {"KartenAngabenMitKarte"};
    for (const std::string table : {"KartenAngaben", "KartenEintraege"}) {
        for (const char* change : {"Aendern", "Loeschen", "Neu"}) {
            names.push_back(table + "Zeit" + change);
            names.push_back("z" + table + change);
        }
    }
    for (const auto& name : names) {
        db.exec("DROP TRIGGER IF EXISTS " + name);
    }
}

std::optional<QString> orNull(const QString& text) {
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

std::optional<QString> dateText(const std::optional<PartialDate>& date) {
    return date ? std::optional<QString>(date->text()) : std::nullopt;
}

CardExtras normalized(CardExtras extras) {
    extras.dropBlankEntries();
    extras.groupEntriesByKind();
    if (extras.photo && extras.photo->bytes.isEmpty()) {
        extras.photo.reset();
    }
    return extras;
}

bool sameDetails(CardExtras a, CardExtras b) {
    a.entries.clear();
    b.entries.clear();
    return a == b;
}

const char* const kUpsertDetails =
    "INSERT INTO KartenAngaben (KarteId, Geburtstag, Jahrestag, Spitzname, Titel, Rolle, Foto, "
    "FotoArt) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8) ON CONFLICT (KarteId) DO UPDATE SET "
    "Geburtstag = ?2, Jahrestag = ?3, Spitzname = ?4, Titel = ?5, Rolle = ?6, Foto = ?7, "
    "FotoArt = ?8";
const char* const kInsertEntry =
    "INSERT INTO KartenEintraege (KarteId, Art, Typ, Rang, Wert, Postleitzahl, Ort, Land) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";

// Writes the details (not the entries) of a card that has some.
void upsertDetails(Statement& upsert, std::int64_t card, const CardExtras& details) {
    upsert.bind(1, card)
        .bind(2, dateText(details.birthday))
        .bind(3, dateText(details.anniversary))
        .bind(4, orNull(details.nickname))
        .bind(5, orNull(details.title))
        .bind(6, orNull(details.role));
    if (details.photo) {
        upsert.bindBlob(7, details.photo->bytes).bind(8, orNull(details.photo->mediaType));
    } else {
        upsert.bindNull(7).bindNull(8);
    }
    upsert.run();
    upsert.reset();
}

void insertEntries(Statement& insert, std::int64_t card, const std::vector<Entry>& entries) {
    std::int64_t rank = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        rank = i > 0 && entries[i - 1].kind == entry.kind ? rank + 1 : 0;
        insert.bind(1, card)
            .bind(2, kindName(entry.kind))
            .bind(3, typeName(entry.type))
            .bind(4, rank)
            .bind(5, entry.value)
            .bind(6, orNull(entry.postcode))
            .bind(7, orNull(entry.town))
            .bind(8, orNull(entry.country));
        insert.run();
        insert.reset();
    }
}

bool hasDetails(CardExtras extras) {
    extras.entries.clear();
    return !extras.isEmpty();
}

void writeDetails(Database& db, std::int64_t card, const CardExtras& extras) {
    if (!hasDetails(extras)) {
        auto remove = db.prepare("DELETE FROM KartenAngaben WHERE KarteId = ?1");
        remove.bind(1, card).run();
        return;
    }
    auto upsert = db.prepare(kUpsertDetails);
    upsertDetails(upsert, card, extras);
}

void writeEntries(Database& db, std::int64_t card, const std::vector<Entry>& entries) {
    auto remove = db.prepare("DELETE FROM KartenEintraege WHERE KarteId = ?1");
    remove.bind(1, card).run();
    auto insert = db.prepare(kInsertEntry);
    insertEntries(insert, card, entries);
}

}  // namespace

void addCardExtras(Database& db) {
    db.execScript(
        "CREATE TABLE IF NOT EXISTS KartenAngaben (KarteId INTEGER PRIMARY KEY, "
        "Geburtstag TEXT, Jahrestag TEXT, Spitzname TEXT, Titel TEXT, Rolle TEXT, Foto BLOB, "
        "FotoArt TEXT);"
        "CREATE TABLE IF NOT EXISTS zKartenAngaben (Geburtstag TEXT, Jahrestag TEXT, "
        "Spitzname TEXT, Titel TEXT, Rolle TEXT, Foto BLOB, FotoArt TEXT);"
        "CREATE TABLE IF NOT EXISTS KartenEintraege (Id INTEGER PRIMARY KEY, "
        "KarteId INTEGER NOT NULL, Art TEXT NOT NULL, Typ TEXT NOT NULL, Rang INTEGER NOT NULL, "
        "Wert TEXT NOT NULL, Postleitzahl TEXT, Ort TEXT, Land TEXT);"
        "CREATE INDEX IF NOT EXISTS KartenEintraegeKarte ON KartenEintraege (KarteId, Rang);"
        "CREATE TABLE IF NOT EXISTS zKartenEintraege (KarteId INTEGER, Art TEXT, Typ TEXT, "
        "Rang INTEGER, Wert TEXT, Postleitzahl TEXT, Ort TEXT, Land TEXT);");
    dropTriggers(db);
    createChangeTriggers(db, "KartenAngaben", kKartenAngabenColumns,
                         prefixedColumns(kKartenAngabenColumns, "old."));
    createChangeTriggers(db, "KartenEintraege", kKartenEintraegeColumns,
                         prefixedColumns(kKartenEintraegeColumns, "old."));
    createCardTriggers(db);
    // A store that lost its version number may hold rows of cards deleted since.
    db.exec("DELETE FROM KartenAngaben WHERE KarteId NOT IN (SELECT rowid FROM Kontakte)");
    db.exec("DELETE FROM KartenEintraege WHERE KarteId NOT IN (SELECT rowid FROM Kontakte)");
    addUndoLog(db);  // now with the logs of these two
}

CardExtrasReader::CardExtrasReader(Database& db) {
    if (db.hasTable("KartenAngaben")) {
        details_.emplace(
            db.prepare("SELECT Geburtstag, Jahrestag, Spitzname, Titel, Rolle, Foto, FotoArt "
                       "FROM KartenAngaben WHERE KarteId = ?1"));
        entries_.emplace(
            db.prepare("SELECT Art, Typ, Wert, Postleitzahl, Ort, Land FROM KartenEintraege "
                       "WHERE KarteId = ?1 ORDER BY Rang, Id"));
    }
}

CardExtras CardExtrasReader::read(std::int64_t card) {
    CardExtras extras;
    if (!details_ || !entries_) {
        return extras;
    }
    Statement& details = *details_;
    details.reset();
    details.bind(1, card);
    if (details.step()) {
        extras.birthday = PartialDate::parse(details.textOrEmpty(0));
        extras.anniversary = PartialDate::parse(details.textOrEmpty(1));
        extras.nickname = details.textOrEmpty(2);
        extras.title = details.textOrEmpty(3);
        extras.role = details.textOrEmpty(4);
        if (!details.isNull(5)) {
            extras.photo = Photo{details.blob(5), details.textOrEmpty(6)};
        }
    }
    Statement& rows = *entries_;
    rows.reset();
    rows.bind(1, card);
    while (rows.step()) {
        // Kinds another program made up are not ours to show.
        if (const auto kind = kindByName(rows.textOrEmpty(0))) {
            const auto type = typeByName(rows.textOrEmpty(1)).value_or(EntryType::Andere);
            extras.entries.emplace_back(*kind, type, rows.textOrEmpty(2), rows.textOrEmpty(3),
                                        rows.textOrEmpty(4), rows.textOrEmpty(5));
        }
    }
    extras.groupEntriesByKind();
    return extras;
}

CardExtras loadCardExtras(Database& db, std::int64_t card) {
    return CardExtrasReader(db).read(card);
}

void visitEntryValues(Database& db, EntryKind kind,
                      const std::function<void(std::int64_t card, const QString& value)>& visit) {
    if (!db.hasTable("KartenEintraege")) {
        return;
    }
    auto rows = db.prepare(
        "SELECT KarteId, Wert FROM KartenEintraege WHERE Art = ?1 AND Wert <> '' "
        "ORDER BY KarteId, Rang, Id");
    rows.bind(1, kindName(kind));
    while (rows.step()) {
        visit(rows.integer(0), rows.textOrEmpty(1));
    }
}

void writeCardExtras(Database& db, std::int64_t card, const CardExtras& extras) {
    {
        auto exists = db.prepare("SELECT 1 FROM Kontakte WHERE rowid = ?1");
        exists.bind(1, card);
        if (!exists.step()) {
            throw StoreError("Die Karte ist nicht mehr in der Kartei.");
        }
    }
    const CardExtras next = normalized(extras);
    const CardExtras now = loadCardExtras(db, card);
    if (now == next) {
        return;
    }
    Transaction tx(db);
    if (!sameDetails(now, next)) {
        writeDetails(db, card, next);
    }
    if (now.entries != next.entries) {
        writeEntries(db, card, next.entries);
    }
    tx.commit();
}

NewCardExtrasWriter::NewCardExtrasWriter(Database& db)
    : details_(db.prepare(kUpsertDetails)), entries_(db.prepare(kInsertEntry)) {}

void NewCardExtrasWriter::write(std::int64_t card, const CardExtras& extras) {
    const CardExtras next = normalized(extras);
    if (hasDetails(next)) {
        upsertDetails(details_, card, next);
    }
    insertEntries(entries_, card, next.entries);
}

void settleCardExtras(Database& db, const std::vector<std::int64_t>& cards) {
    if (!db.hasTable("KartenEintraege")) {
        return;
    }
    Snapshot::settle(db, "KartenAngaben", cards);
    std::vector<std::int64_t> rows;
    auto entries = db.prepare(
        "SELECT Id FROM KartenEintraege WHERE KarteId = ?1 UNION "
        "SELECT rowid FROM zKartenEintraege WHERE KarteId = ?1 AND rowid > 0");
    for (const std::int64_t card : cards) {
        entries.bind(1, card);
        while (entries.step()) {
            rows.push_back(entries.integer(0));
        }
        entries.reset();
    }
    Snapshot::settle(db, "KartenEintraege", rows);
}

}  // namespace veltro::store
