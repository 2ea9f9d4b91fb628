#pragma once

#include "store/BusyTimeouts.h"
#include "store/CardStore.h"
#include "store/Sqlite.h"

#include <QRegularExpression>
#include <QStringList>

#include <string>
#include <vector>

namespace veltro::testing {

// Every row of a table in row id order, with its row id and Null told apart from empty
// text, as one comparable list.
inline QStringList rowsOf(store::Database& db, const std::string& table,
                          const std::string& columns) {
    QStringList rows;
    auto stmt = db.prepare("SELECT rowid, " + columns + " FROM " + table + " ORDER BY rowid");
    while (stmt.step()) {
        QString row;
        for (int i = 0; i < stmt.columnCount(); ++i) {
            row += (stmt.isNull(i) ? QStringLiteral("<null>") : stmt.textOrEmpty(i)) + u'|';
        }
        rows << row;
    }
    return rows;
}

inline QStringList cardsAndCategories(store::Database& db) {
    return rowsOf(db, "Kontakte", store::cardColumnList()) +
           rowsOf(db, "tblAdrCfg", "KategorieName");
}

// Every value with its type and bytes, so that '1' and 1 or a text and its blob differ.
inline QStringList exactRowsOf(store::Database& db, const std::string& table,
                               const std::vector<std::string>& columns) {
    std::string select = "SELECT rowid";
    for (const auto& column : columns) {
        select += ", typeof(\"" + column + "\") || ':' || hex(\"" + column + "\")";
    }
    QStringList rows;
    auto stmt = db.prepare(select + " FROM " + table + " ORDER BY rowid");
    while (stmt.step()) {
        QString row;
        for (int i = 0; i < stmt.columnCount(); ++i) {
            row += stmt.textOrEmpty(i) + u'|';
        }
        rows << row;
    }
    return rows;
}

inline QStringList exactCards(store::Database& db) {
    return exactRowsOf(db, "Kontakte", {store::kColumnNames.begin(), store::kColumnNames.end()});
}

// The tables a command may change, exactly; the card's extras where the store has them.
inline QStringList exactTables(store::Database& db) {
    QStringList tables = exactCards(db) + exactRowsOf(db, "tblAdrCfg", {"KategorieName"}) +
                         exactRowsOf(db, "KartenInfo", {"KarteId", "Uid", "Angelegt", "Geaendert"});
    if (!db.prepare("SELECT 1 FROM sqlite_master WHERE name = 'KartenAngaben'").step()) {
        return tables;
    }
    return tables +
           exactRowsOf(
               db, "KartenAngaben",
               {"Geburtstag", "Jahrestag", "Spitzname", "Titel", "Rolle", "Foto", "FotoArt"}) +
           exactRowsOf(db, "KartenEintraege",
                       {"KarteId", "Art", "Typ", "Rang", "Wert", "Postleitzahl", "Ort", "Land"});
}

inline QStringList kartenInfoRows(store::Database& db) {
    return rowsOf(db, "KartenInfo", "KarteId, Uid, Angelegt, Geaendert");
}

// The first column of the first row as a number; -1 when there is no row.
inline std::int64_t numberOf(store::Database& db, const std::string& sql) {
    auto stmt = db.prepare(sql);
    return stmt.step() ? stmt.integer(0) : -1;
}

// A card identity: a UUID of version 7 in its usual text form.
inline bool isUuid(const QString& text) {
    static const QRegularExpression uuid(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-7[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$"));
    return uuid.match(text).hasMatch();
}

// A time in UTC as the store keeps it, e.g. 2026-12-07T09:30:00Z.
inline bool isUtcTime(const QString& text) {
    static const QRegularExpression utc(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$"));
    return utc.match(text).hasMatch();
}

inline std::int64_t userVersion(store::Database& db) {
    return numberOf(db, "PRAGMA user_version");
}

// The test holds the store on a connection of its own: connections opened meanwhile give up
// after a moment, not after the user's five seconds.
class BriefBusyWait {
public:
    BriefBusyWait() { store::setBusyTimeoutMs(200); }
    ~BriefBusyWait() { store::setBusyTimeoutMs(before_); }
    BriefBusyWait(const BriefBusyWait&) = delete;
    BriefBusyWait& operator=(const BriefBusyWait&) = delete;

private:
    int before_ = store::busyTimeoutMs();
};

}  // namespace veltro::testing
