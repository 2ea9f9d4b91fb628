#include "store/FullTextNotes.h"

#include <string>

namespace veltro::store {

namespace {

std::string quotedColumns() {
    std::string list;
    for (const Field field : kFullTextFields) {
        list += list.empty() ? "\"" : ", \"";
        list += kColumnNames[index(field)];
        list += '"';
    }
    return list;
}

}  // namespace

void addFullTextNotes(Database& db) {
    db.execScript(
        "CREATE TABLE IF NOT EXISTS VolltextStand (Abbild INTEGER NOT NULL);"
        // Numbers never come again, so "after note N" stays true after notes are done with.
        "CREATE TABLE IF NOT EXISTS VolltextOffen (Nr INTEGER PRIMARY KEY AUTOINCREMENT, "
        "Karte INTEGER NOT NULL);"
        "DELETE FROM VolltextStand;"
        "INSERT INTO VolltextStand (Abbild) VALUES (0);"
        "DROP TRIGGER IF EXISTS VolltextNeu;"
        "DROP TRIGGER IF EXISTS VolltextAendern;"
        "DROP TRIGGER IF EXISTS VolltextLoeschen;"
        "CREATE TRIGGER VolltextNeu AFTER INSERT ON Kontakte BEGIN "
        "INSERT INTO VolltextOffen (Karte) VALUES (new.rowid); END;"
        "CREATE TRIGGER VolltextLoeschen AFTER DELETE ON Kontakte BEGIN "
        "INSERT INTO VolltextOffen (Karte) VALUES (old.rowid); END;");
    db.exec("CREATE TRIGGER VolltextAendern AFTER UPDATE OF " + quotedColumns() +
            " ON Kontakte BEGIN INSERT INTO VolltextOffen (Karte) VALUES (new.rowid); END");
}

void addFullTextExtrasNotes(Database& db) {
    db.execScript(
        "DROP TRIGGER IF EXISTS VolltextKartenAngabenNeu;"
        "DROP TRIGGER IF EXISTS VolltextKartenAngabenAendern;"
        "DROP TRIGGER IF EXISTS VolltextKartenAngabenLoeschen;"
        "DROP TRIGGER IF EXISTS VolltextKartenEintraegeNeu;"
        "DROP TRIGGER IF EXISTS VolltextKartenEintraegeAendern;"
        "DROP TRIGGER IF EXISTS VolltextKartenEintraegeLoeschen;"
        "CREATE TRIGGER VolltextKartenAngabenNeu AFTER INSERT ON KartenAngaben BEGIN "
        "INSERT INTO VolltextOffen (Karte) VALUES (new.KarteId); END;"
        "CREATE TRIGGER VolltextKartenAngabenLoeschen AFTER DELETE ON KartenAngaben BEGIN "
        "INSERT INTO VolltextOffen (Karte) VALUES (old.KarteId); END;"
        "CREATE TRIGGER VolltextKartenAngabenAendern AFTER UPDATE OF KarteId, Spitzname, Titel, "
        "Rolle ON KartenAngaben BEGIN INSERT INTO VolltextOffen (Karte) VALUES (old.KarteId); "
        "INSERT INTO VolltextOffen (Karte) VALUES (new.KarteId); END;"
        "CREATE TRIGGER VolltextKartenEintraegeNeu AFTER INSERT ON KartenEintraege BEGIN "
        "INSERT INTO VolltextOffen (Karte) VALUES (new.KarteId); END;"
        "CREATE TRIGGER VolltextKartenEintraegeLoeschen AFTER DELETE ON KartenEintraege BEGIN "
        "INSERT INTO VolltextOffen (Karte) VALUES (old.KarteId); END;"
        "CREATE TRIGGER VolltextKartenEintraegeAendern AFTER UPDATE OF KarteId, Wert, "
        "Postleitzahl, Ort, Land ON KartenEintraege BEGIN "
        "INSERT INTO VolltextOffen (Karte) VALUES (old.KarteId); "
        "INSERT INTO VolltextOffen (Karte) VALUES (new.KarteId); END;"
        "UPDATE VolltextStand SET Abbild = 0;");
}

SearchableExtras::SearchableExtras(Database& db) {
    if (db.hasTable("KartenEintraege")) {
        // Details first, then the entries in the order the card shows them.
        values_.emplace(db.prepare(
            "SELECT KarteId, 0, 0, 0, 0, Spitzname, Titel, Rolle, NULL FROM KartenAngaben "
            "WHERE KarteId > ?1 AND KarteId <= ?2 "
            "UNION ALL SELECT KarteId, 1, Art, Rang, Id, Wert, Postleitzahl, Ort, Land "
            "FROM KartenEintraege WHERE KarteId > ?1 AND KarteId <= ?2 "
            "ORDER BY 1, 2, 3, 4, 5"));
    }
}

void SearchableExtras::read(std::int64_t after, std::int64_t until,
                            std::vector<std::pair<std::int64_t, std::string>>& cards) {
    if (!values_) {
        return;
    }
    Statement& values = *values_;
    values.reset();
    values.bind(1, after).bind(2, until);
    while (values.step()) {
        const std::int64_t card = values.integer(0);
        if (cards.empty() || cards.back().first != card) {
            cards.emplace_back(card, std::string());
        }
        std::string& text = cards.back().second;
        for (int column = 5; column < 9; ++column) {
            if (const std::string_view value = values.utf8(column); !value.empty()) {
                text.append(value).push_back('\n');
            }
        }
    }
}

std::string SearchableExtras::of(std::int64_t card) {
    std::vector<std::pair<std::int64_t, std::string>> cards;
    read(card - 1, card, cards);
    return cards.empty() ? std::string() : std::move(cards.front().second);
}

void noteFullTextCards(Database& db, std::int64_t afterRowId) {
    auto stmt = db.prepare(
        "INSERT INTO VolltextOffen (Karte) SELECT rowid FROM Kontakte WHERE rowid > ?1 "
        "ORDER BY rowid");
    stmt.bind(1, afterRowId).run();
}

std::optional<FullTextMark> fullTextMark(Database& db) {
    auto present = db.prepare(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('VolltextStand', "
        "'VolltextOffen')");
    if (!present.step() || present.integer(0) != 2) {
        return std::nullopt;
    }
    auto stmt = db.prepare(
        "SELECT (SELECT Abbild FROM VolltextStand LIMIT 1), (SELECT max(Nr) FROM VolltextOffen)");
    stmt.step();
    return FullTextMark{static_cast<std::uint64_t>(stmt.integer(0)), stmt.integer(1)};
}

std::vector<std::int64_t> cardsNotedAfter(Database& db, std::int64_t after) {
    auto stmt = db.prepare("SELECT DISTINCT Karte FROM VolltextOffen WHERE Nr > ?1 ORDER BY Karte");
    stmt.bind(1, after);
    std::vector<std::int64_t> cards;
    while (stmt.step()) {
        cards.push_back(stmt.integer(0));
    }
    return cards;
}

void fullTextImageSaved(Database& db, std::uint64_t image, std::int64_t upTo) {
    Transaction tx(db);
    auto mark = db.prepare("UPDATE VolltextStand SET Abbild = ?1");
    mark.bind(1, static_cast<std::int64_t>(image)).run();
    auto done = db.prepare("DELETE FROM VolltextOffen WHERE Nr <= ?1");
    done.bind(1, upTo).run();
    tx.commit();
}

}  // namespace veltro::store
