#include "store/CardStore.h"

#include <algorithm>

#include "store/LikePattern.h"
#include "store/StoreError.h"

#include "store/Schema.h"
#include "store/Upgrade.h"

#include <string>

namespace veltro::store {

const std::string& cardColumnList() {
    static const std::string list = [] {
        std::string columns;
        for (const auto name : kColumnNames) {
            columns += columns.empty() ? "\"" : ", \"";
            columns += name;
            columns += '"';
        }
        return columns;
    }();
    return list;
}

CardStore::CardStore(Database db) : db_(std::move(db)) {}

CardStore CardStore::open(const std::filesystem::path& file) {
    Database db = Database::open(file);
    verifySchema(db);
    upgradeStore(db);
    return CardStore(std::move(db));
}

CardStore CardStore::openForReading(const std::filesystem::path& file, Database::Threads threads) {
    Database db = Database::open(file, Database::Mode::OpenExisting, threads);
    verifySchema(db);
    db.exec("PRAGMA query_only = ON");
    return CardStore(std::move(db));
}

std::vector<HeadingRow> CardStore::headings() {
    std::vector<HeadingRow> rows;
    auto stmt = db_.prepare(
        "SELECT rowid, Schlagworte, Kategorien FROM Kontakte WHERE Schlagworte IS NOT NULL "
        "ORDER BY rowid");
    while (stmt.step()) {
        rows.push_back({stmt.integer(0), stmt.textOrEmpty(1), stmt.textOrEmpty(2)});
    }
    return rows;
}

void CardStore::forEachHeading(
    const std::function<void(std::int64_t, std::string_view, std::string_view)>& visit) {
    // Without an order the engine reads the narrow heading index instead of the table.
    auto stmt = db_.prepare(
        "SELECT rowid, Schlagworte, Kategorien FROM Kontakte WHERE Schlagworte IS NOT NULL");
    while (stmt.step()) {
        visit(stmt.integer(0), stmt.utf8(1), stmt.utf8(2));
    }
}

std::int64_t CardStore::cardCount() {
    auto stmt = db_.prepare("SELECT count(*) FROM Kontakte WHERE Schlagworte IS NOT NULL");
    return stmt.step() ? stmt.integer(0) : 0;
}

std::int64_t CardStore::lastRowId() {
    auto stmt = db_.prepare("SELECT max(rowid) FROM Kontakte");
    return stmt.step() ? stmt.integer(0) : 0;
}

namespace {
std::string selectAfter(const std::vector<Field>& fields, std::string_view condition) {
    std::string sql = "SELECT rowid";
    for (const Field field : fields) {
        sql += ", \"";
        sql += kColumnNames[index(field)];
        sql += '"';
    }
    sql += " FROM Kontakte WHERE rowid > ?1 ";
    sql += condition;
    sql += " ORDER BY rowid LIMIT ?2";
    return sql;
}
}  // namespace

std::vector<Card> CardStore::cardsAfter(std::int64_t after, std::int64_t limit,
                                        const std::vector<Field>& fields) {
    auto stmt = db_.prepare(selectAfter(fields, {}));
    stmt.bind(1, after).bind(2, limit);
    std::vector<Card> cards;
    while (stmt.step()) {
        Card card;
        card.id = stmt.integer(0);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            card.set(fields[i], stmt.text(static_cast<int>(i + 1)));
        }
        cards.push_back(std::move(card));
    }
    return cards;
}

std::int64_t CardStore::visitHeadedRows(std::int64_t after, std::int64_t until, std::int64_t limit,
                                        const std::vector<Field>& fields, const RowVisitor& visit) {
    auto stmt = db_.prepare(selectAfter(fields, "AND rowid <= ?3 AND Schlagworte IS NOT NULL"));
    stmt.bind(1, after).bind(2, limit).bind(3, until);
    std::vector<std::string_view> values(fields.size());
    std::int64_t last = 0;
    while (stmt.step()) {
        last = stmt.integer(0);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            values[i] = stmt.utf8(static_cast<int>(i + 1));
        }
        visit(last, values);
    }
    return last;
}

std::vector<QString> CardStore::categories() {
    std::vector<QString> names;
    auto stmt = db_.prepare(
        "SELECT KategorieName FROM tblAdrCfg WHERE KategorieName IS NOT NULL ORDER BY rowid");
    while (stmt.step()) {
        names.push_back(stmt.textOrEmpty(0));
    }
    return names;
}

namespace {
Card cardFromRow(const Statement& stmt, std::int64_t id) {
    Card card;
    card.id = id;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        card.values[i] = stmt.text(static_cast<int>(i));
    }
    return card;
}
}  // namespace

std::optional<Card> CardStore::loadCard(std::int64_t id) {
    auto stmt = db_.prepare("SELECT " + cardColumnList() + " FROM Kontakte WHERE rowid = ?1");
    stmt.bind(1, id);
    if (!stmt.step()) {
        return std::nullopt;
    }
    return cardFromRow(stmt, id);
}

void CardStore::forEachCard(const std::function<void(const Card&)>& visit) {
    auto stmt = db_.prepare("SELECT " + cardColumnList() + ", rowid FROM Kontakte ORDER BY rowid");
    while (stmt.step()) {
        visit(cardFromRow(stmt, stmt.integer(static_cast<int>(kFieldCount))));
    }
}

std::optional<std::int64_t> CardStore::findByHeading(QStringView heading) {
    auto stmt = db_.prepare(
        "SELECT rowid FROM Kontakte WHERE vfold(Schlagworte) = vfold(?1) ORDER BY rowid LIMIT 1");
    stmt.bind(1, heading);
    if (!stmt.step()) {
        return std::nullopt;
    }
    return stmt.integer(0);
}

void CardStore::writeFields(std::int64_t id, const std::vector<std::pair<Field, QString>>& values) {
    if (values.empty()) {
        return;
    }
    std::string sql = "UPDATE Kontakte SET ";
    for (std::size_t i = 0; i < values.size(); ++i) {
        sql += i == 0 ? "\"" : ", \"";
        sql += kColumnNames[index(values[i].first)];
        sql += "\" = ?" + std::to_string(i + 1);
    }
    sql += " WHERE rowid = ?" + std::to_string(values.size() + 1);
    auto stmt = db_.prepare(sql);
    for (std::size_t i = 0; i < values.size(); ++i) {
        stmt.bind(static_cast<int>(i + 1), QStringView(values[i].second));
    }
    stmt.bind(static_cast<int>(values.size() + 1), id);
    stmt.run();
    if (db_.changes() == 0) {
        throw StoreError("Die Karte ist nicht mehr in der Kartei.");
    }
}

std::optional<QString> CardStore::townForPostcode(const QString& postcode) {
    // The typed postcode is literal text: "*" or "'" in it are ordinary characters.
    auto stmt = db_.prepare(
        "SELECT Ort FROM Kontakte WHERE Schlagworte IS NOT NULL AND Postleitzahl LIKE ?1 "
        "ORDER BY rowid LIMIT 1");
    stmt.bind(1, u'*' + LikePattern::escapeLiteral(postcode) + u'*');
    if (!stmt.step()) {
        return std::nullopt;
    }
    return stmt.textOrEmpty(0);
}

std::int64_t CardStore::insertCard(const Card& card) {
    return CardInserter(db_).insert(card);
}

std::size_t roomForCards(std::int64_t lastRowId) {
    constexpr std::int64_t kMost = std::int64_t{1} << 22;
    return static_cast<std::size_t>(std::clamp<std::int64_t>(lastRowId, 0, kMost));
}

std::string cardInsertSql() {
    std::string placeholders;
    for (std::size_t i = 1; i <= kFieldCount; ++i) {
        placeholders += (i == 1 ? "?" : ", ?") + std::to_string(i);
    }
    return "INSERT INTO Kontakte (" + cardColumnList() + ") VALUES (" + placeholders + ")";
}

CardInserter::CardInserter(Database& db) : db_(db), stmt_(db.prepare(cardInsertSql())) {}

std::int64_t CardInserter::insert(const Card& card) {
    stmt_.reset();
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        stmt_.bind(static_cast<int>(i + 1), card.values[i]);
    }
    stmt_.run();
    return db_.lastInsertRowId();
}

void CardStore::deleteCard(std::int64_t id) {
    auto stmt = db_.prepare("DELETE FROM Kontakte WHERE rowid = ?1");
    stmt.bind(1, id);
    stmt.run();
}

void CardStore::addCategory(QStringView name) {
    auto stmt = db_.prepare("INSERT INTO tblAdrCfg (KategorieName) VALUES (?1)");
    stmt.bind(1, name);
    stmt.run();
}

}  // namespace veltro::store
