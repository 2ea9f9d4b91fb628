#include "StoreState.h"
#include "TestHome.h"

#include "store/CardStore.h"
#include "store/SampleCards.h"
#include "store/Schema.h"
#include "store/SchemaVersion.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <memory>

using namespace veltro::store;
using namespace veltro::testing;
namespace fs = std::filesystem;

namespace {

struct StoreMaker {
    const char* name;
    std::function<void(const fs::path& dir)> make;
};

void PrintTo(const StoreMaker& param, std::ostream* out) {
    *out << param.name;
}

class NewStore : public ::testing::TestWithParam<StoreMaker> {};

TEST_P(NewStore, IsOfTheCurrentVersionWithARowPerCard) {
    TestHome home;
    GetParam().make(home.dir());
    auto db = Database::open(home.storeFile());
    EXPECT_EQ(userVersion(db), kCurrentStoreVersion);
    EXPECT_EQ(numberOf(db, "SELECT count(*) FROM KartenInfo"),
              numberOf(db, "SELECT count(*) FROM Kontakte"));
    EXPECT_EQ(
        numberOf(db, "SELECT count(*) FROM Kontakte k JOIN KartenInfo i ON i.KarteId = k.rowid"),
        numberOf(db, "SELECT count(DISTINCT Uid) FROM KartenInfo"));
}

INSTANTIATE_TEST_SUITE_P(
    Makers, NewStore,
    ::testing::Values(
        StoreMaker{"Empty", [](const fs::path& dir) { createEmptyStore(dir); }},
        StoreMaker{"Demo", [](const fs::path& dir) { writeSampleStore(dir, demoCards()); }},
        StoreMaker{"Generated", [](const fs::path& dir) { writeSyntheticStore(dir, 50); }}),
    [](const auto& param) { return std::string(param.param.name); });

// A connection as another program has it: the plain engine, none of our functions.
class PlainConnection {
public:
    explicit PlainConnection(const fs::path& file) {
        sqlite3* raw = nullptr;
        sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        db_.reset(raw);
    }
    // The engine's complaint, or empty when the statement ran.
    std::string exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, &message) == SQLITE_OK) {
            return {};
        }
        const std::string text = message != nullptr ? message : "?";
        sqlite3_free(message);
        return text;
    }

private:
    struct Closer {
        void operator()(sqlite3* db) const { sqlite3_close(db); }
    };
    std::unique_ptr<sqlite3, Closer> db_;
};

QString infoOf(Database& db, const char* column, std::int64_t card) {
    auto stmt = db.prepare(std::string("SELECT ") + column + " FROM KartenInfo WHERE KarteId = ?1");
    stmt.bind(1, card);
    return stmt.step() ? stmt.textOrEmpty(0) : QStringLiteral("<keine Zeile>");
}

TEST(KartenInfo, AProgramWithoutOurFunctionsAddsChangesAndRemovesCards) {
    TestHome home;
    makeStore(home.dir(), {QStringLiteral("K")}, {{QStringLiteral("Eins"), QStringLiteral("K")}});
    PlainConnection other(home.storeFile());
    // Several cards in one statement: each gets its own identity.
    ASSERT_EQ(other.exec("INSERT INTO Kontakte (Schlagworte) VALUES ('Fremd'), ('B'), ('C')"), "");

    auto db = Database::open(home.storeFile());
    EXPECT_EQ(numberOf(db, "SELECT count(DISTINCT Uid) FROM KartenInfo"), 4);
    const auto card = numberOf(db, "SELECT rowid FROM Kontakte WHERE Schlagworte = 'Fremd'");
    const QString uid = infoOf(db, "Uid", card);
    EXPECT_TRUE(isUuid(uid)) << uid.toStdString();
    EXPECT_TRUE(isUtcTime(infoOf(db, "Angelegt", card)));

    db.exec(
        "UPDATE KartenInfo SET Angelegt = '2001-01-01T00:00:00Z', "
        "Geaendert = '2001-01-01T00:00:00Z'");
    ASSERT_EQ(other.exec("UPDATE Kontakte SET Ort = 'Ulm' WHERE Schlagworte = 'Fremd'"), "");
    EXPECT_EQ(infoOf(db, "Uid", card), uid);
    EXPECT_EQ(infoOf(db, "Angelegt", card), QStringLiteral("2001-01-01T00:00:00Z"));
    EXPECT_GT(infoOf(db, "Geaendert", card), QStringLiteral("2001-01-01T00:00:00Z"));
    EXPECT_EQ(infoOf(db, "Geaendert", 1), QStringLiteral("2001-01-01T00:00:00Z"));
    // A card written with its own values again has not changed.
    db.exec("UPDATE KartenInfo SET Geaendert = '2001-01-01T00:00:00Z'");
    ASSERT_EQ(other.exec("UPDATE Kontakte SET Ort = 'Ulm' WHERE Schlagworte = 'Fremd'"), "");
    EXPECT_EQ(infoOf(db, "Geaendert", card), QStringLiteral("2001-01-01T00:00:00Z"));

    ASSERT_EQ(other.exec("DELETE FROM Kontakte WHERE Schlagworte = 'Fremd'"), "");
    EXPECT_EQ(infoOf(db, "Uid", card), QStringLiteral("<keine Zeile>"));
    EXPECT_EQ(numberOf(db, "SELECT count(*) FROM KartenInfo"), 3);
}

}  // namespace
