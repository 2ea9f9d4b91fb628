#pragma once

#include "store/CardFields.h"
#include "store/Sqlite.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace veltro::store {

// A card as the card list knows it: its row id, heading and category.
struct HeadingRow {
    std::int64_t id = 0;
    QString heading;
    QString category;
};

// The card store: the open database file with the card and category tables.
class CardStore {
public:
    // Opens an existing store for reading and writing, brought up to this program's
    // layout first (see Upgrade.h); throws StoreError.
    static CardStore open(const std::filesystem::path& file);
    // Opens an existing store of any version, older or newer, only to read the original
    // tables: nothing is upgraded and the connection refuses every write.
    static CardStore openForReading(const std::filesystem::path& file,
                                    Database::Threads threads = Database::Threads::Any);

    [[nodiscard]] Database& db() { return db_; }
    [[nodiscard]] const std::filesystem::path& file() const { return db_.file(); }

    // Cards with a heading, in store order.
    [[nodiscard]] std::vector<HeadingRow> headings();
    // Cards with a heading, in no particular order, with heading and category as the
    // engine holds them (UTF-8): the quick read of the card list.
    void forEachHeading(
        const std::function<void(std::int64_t, std::string_view, std::string_view)>& visit);
    [[nodiscard]] std::int64_t cardCount();
    // Category names in store order.
    [[nodiscard]] std::vector<QString> categories();

    [[nodiscard]] std::optional<Card> loadCard(std::int64_t id);
    // Walks every card in store order.
    void forEachCard(const std::function<void(const Card&)>& visit);
    // Up to `limit` cards with a row id above `after`, in store order, with only the given
    // fields read (the others stay Null). For reading in short transactions.
    [[nodiscard]] std::vector<Card> cardsAfter(std::int64_t after, std::int64_t limit,
                                               const std::vector<Field>& fields);
    // The same for cards with a heading and a row id not above `until`, each handed to
    // `visit` as the engine's UTF-8 (empty for Null), valid during the call only. Returns
    // the last row id read, 0 when there was none.
    using RowVisitor =
        std::function<void(std::int64_t id, std::span<const std::string_view> values)>;
    std::int64_t visitHeadedRows(std::int64_t after, std::int64_t until, std::int64_t limit,
                                 const std::vector<Field>& fields, const RowVisitor& visit);
    // The highest row id of any card, 0 for none.
    [[nodiscard]] std::int64_t lastRowId();
    // The first card in store order whose heading equals this one without regard to case.
    [[nodiscard]] std::optional<std::int64_t> findByHeading(QStringView heading);

    // The town of the first card in store order whose postcode contains this one.
    [[nodiscard]] std::optional<QString> townForPostcode(const QString& postcode);

    // Writes the given fields of one card; other columns stay as they are. Throws when
    // the card is no longer there.
    void writeFields(std::int64_t id, const std::vector<std::pair<Field, QString>>& values);
    std::int64_t insertCard(const Card& card);
    void deleteCard(std::int64_t id);
    void addCategory(QStringView name);

private:
    explicit CardStore(Database db);
    Database db_;
};

// Appends many cards through one prepared statement (imports, generators).
class CardInserter {
public:
    explicit CardInserter(Database& db);
    std::int64_t insert(const Card& card);

private:
    Database& db_;
    Statement stmt_;
};

// Comma-separated, quoted column list of the card table, in table order.
[[nodiscard]] const std::string& cardColumnList();
// How many cards to make room for in a store whose highest row number is this: numbers may
// have gaps, so it stands for the count only within reason.
[[nodiscard]] std::size_t roomForCards(std::int64_t lastRowId);
// The insert of one card, its fields as parameters 1 to kFieldCount in table order.
[[nodiscard]] std::string cardInsertSql();

}  // namespace veltro::store
