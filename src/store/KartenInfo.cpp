#include "store/KartenInfo.h"

#include "store/CardFields.h"
#include "store/Schema.h"

#include <array>
#include <chrono>
#include <ctime>
#include <string>

namespace veltro::store {

namespace {

// Plain SQL only: another program's connection has none of our functions, and its
// inserts into Kontakte run these triggers too.

// A source of "now" as text and as milliseconds since 1970; within one statement it
// stays put.
const std::string kNowFrom =
    " FROM (SELECT strftime('%Y-%m-%dT%H:%M:%SZ', 'now') AS Jetzt, "
    "CAST((julianday('now') - 2440587.5) * 86400000 AS INTEGER) AS Ms)";

// A UUID of version 7: the time in milliseconds, then 74 random bits. Time-ordered
// identities land at the end of the Uid index, so an import does not rewrite pages all
// over it.
const std::string kNewUuid =
    "printf('%08x-%04x-7%03x-%04x-%012x', Ms >> 16, Ms & 65535, random() & 4095, "
    "32768 | (random() & 16383), random() & 281474976710655)";

void createCardTriggers(Database& db) {
    // IGNORE: a card put in place of another by INSERT OR REPLACE, which fires no delete
    // trigger, keeps the row of the card it replaced rather than failing.
    db.execScript(
        "CREATE TRIGGER KartenInfoNeu AFTER INSERT ON Kontakte BEGIN "
        "INSERT OR IGNORE INTO KartenInfo (KarteId, Uid, Angelegt, Geaendert) "
        "SELECT new.rowid, " +
        kNewUuid + ", Jetzt, Jetzt" + kNowFrom +
        "; END;"
        "CREATE TRIGGER KartenInfoAendern AFTER UPDATE ON Kontakte BEGIN "
        "UPDATE KartenInfo SET Geaendert = strftime('%Y-%m-%dT%H:%M:%SZ', 'now') "
        "WHERE KarteId = new.rowid; END;"
        "CREATE TRIGGER KartenInfoLoeschen AFTER DELETE ON Kontakte BEGIN "
        "DELETE FROM KartenInfo WHERE KarteId = old.rowid; END;");
}

}  // namespace

void noteOnlyRealChanges(Database& db) {
    std::string changed;
    for (const auto name : kColumnNames) {
        const std::string column = '"' + std::string(name) + '"';
        changed.append(changed.empty() ? "" : " OR ").append("old.").append(column);
        changed.append(" IS NOT new.").append(column);
    }
    db.exec("DROP TRIGGER IF EXISTS KartenInfoAendern");
    db.exec("CREATE TRIGGER KartenInfoAendern AFTER UPDATE ON Kontakte WHEN " + changed +
            " BEGIN UPDATE KartenInfo SET Geaendert = strftime('%Y-%m-%dT%H:%M:%SZ', 'now') "
            "WHERE KarteId = new.rowid; END");
}

void createKartenInfoChangeTriggers(Database& db) {
    // A trigger on KartenInfo for its new rows would run nested in every insert into
    // Kontakte and double an import's time; its rows come with new cards anyway.
    createChangeTriggers(db, "KartenInfo", kKartenInfoColumns,
                         "old.Uid, old.Angelegt, old.Geaendert", "zKontakte");
}

void addKartenInfo(Database& db) {
    // A store whose version number got lost (a dump and reload) may hold the table
    // already; then it is brought in step rather than made anew.
    db.execScript(
        "CREATE TABLE IF NOT EXISTS KartenInfo (KarteId INTEGER PRIMARY KEY, "
        "Uid TEXT NOT NULL UNIQUE, Angelegt TEXT, Geaendert TEXT);"
        "CREATE TABLE IF NOT EXISTS zKartenInfo (Uid TEXT, Angelegt TEXT, Geaendert TEXT);");
    for (const char* name : {"KartenInfoNeu", "KartenInfoAendern", "KartenInfoLoeschen",
                             "zKartenInfoAendern", "zKartenInfoLoeschen"}) {
        db.exec(std::string("DROP TRIGGER IF EXISTS ") + name);
    }
    createCardTriggers(db);
    createKartenInfoChangeTriggers(db);
    db.exec("DELETE FROM KartenInfo WHERE KarteId NOT IN (SELECT rowid FROM Kontakte)");
    db.exec("INSERT INTO KartenInfo (KarteId, Uid, Angelegt, Geaendert) SELECT Kontakte.rowid, " +
            kNewUuid + ", Jetzt, Jetzt" + kNowFrom +
            ", Kontakte WHERE Kontakte.rowid NOT IN (SELECT KarteId FROM KartenInfo)");
}

namespace {

constexpr std::uint32_t kCounterValues = 4096;  // the 12 bits after the version digit

}  // namespace

CardIdentities::CardIdentities() : random_(std::random_device{}()) {
    const auto since1970 = std::chrono::system_clock::now().time_since_epoch();
    ms_ = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since1970).count());
    const std::time_t seconds = static_cast<std::time_t>(ms_ / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    std::array<char, 32> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &utc);
    now_.assign(text.data(), length);
}

std::string CardIdentities::nextUid() {
    if (counter_ == kCounterValues) {
        counter_ = 0;
        ++ms_;  // runs ahead of the clock by a few milliseconds on a large run
    }
    const std::uint64_t bits = random_();
    std::string uid(36, '-');
    const auto hex = [&uid](std::size_t at, std::uint64_t value, int digits) {
        for (int i = digits - 1; i >= 0; --i) {
            uid[at + static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 0xFU];
            value >>= 4U;
        }
    };
    hex(0, ms_ >> 16U, 8);
    hex(9, ms_, 4);
    hex(14, 0x7000U | counter_++, 4);
    hex(19, 0x8000U | (bits & 0x3FFFU), 4);
    hex(24, bits >> 14U, 12);
    return uid;
}

}  // namespace veltro::store
