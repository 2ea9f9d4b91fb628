#include "StoreState.h"
#include "TestHome.h"

#include "store/BulkCardInsert.h"
#include "store/CardStore.h"
#include "store/KartenInfo.h"
#include "store/Snapshot.h"
#include "store/UndoLog.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

using namespace veltro::store;
using veltro::testing::makeStore;
using veltro::testing::rowsOf;
using veltro::testing::TestHome;

namespace {

// Every object of the store and its definition; where in the catalogue it stands may move.
QStringList layoutOf(Database& db) {
    QStringList objects;
    auto stmt = db.prepare("SELECT type, name, ifnull(sql, '') FROM sqlite_master ORDER BY name");
    while (stmt.step()) {
        objects << stmt.textOrEmpty(0) + u' ' + stmt.textOrEmpty(1) + u' ' + stmt.textOrEmpty(2);
    }
    return objects;
}

// A store of two cards in a run that keeps a snapshot, with an undo step being recorded
// (or not) while cards are added.
class Adding : public ::testing::Test {
protected:
    void SetUp() override {
        makeStore(home_.dir(), {QStringLiteral("Privat")},
                  {{QStringLiteral("Alt"), QStringLiteral("Privat")},
                   {QStringLiteral("Älter"), QStringLiteral("Privat")}});
        store_.emplace(CardStore::open(home_.storeFile()));
        Snapshot::take(db());
        layout_ = layoutOf(db());
    }
    Database& db() { return store_->db(); }

    static Card card(int number) {
        Card made;
        made.set(Field::Schlagworte, QStringLiteral("Neu %1").arg(number));
        made.set(Field::Kategorien, QStringLiteral("Privat"));
        made.set(Field::Ort, QStringLiteral("Köln"));
        return made;
    }
    // Adds the cards in one undo step, each through the store's triggers or in bulk.
    void add(int count, bool inBulk) {
        UndoStep step(db(), QStringLiteral("Import"));
        if (inBulk) {
            BulkCardInsert bulk(db());
            for (int i = 0; i < count; ++i) {
                Statement& insert = bulk.next();
                const Card made = card(i);
                for (std::size_t f = 0; f < kFieldCount; ++f) {
                    insert.bind(static_cast<int>(f + 1), made.values[f]);
                }
                bulk.insert();
            }
            bulk.finish();
        } else {
            CardInserter inserter(db());
            for (int i = 0; i < count; ++i) {
                inserter.insert(card(i));
            }
        }
        step.commit();
    }
    QStringList notes() {
        return rowsOf(db(), "zKontakte", "Schlagworte") +
               rowsOf(db(), "SchrittKontakte", "Schritt, Zeile, Da, Schlagworte");
    }

    TestHome home_;
    std::optional<CardStore> store_;
    QStringList layout_;
};

TEST_F(Adding, InBulkLeavesTheNotesAndIdentitiesTheTriggersLeave) {
    add(50, false);
    const QStringList byTriggers = notes();
    ASSERT_EQ(byTriggers.size(), 101)
        << "50 cards noted by the snapshot and the step, and its mark";
    const auto identitiesByTriggers = rowsOf(db(), "KartenInfo", "KarteId");
    ASSERT_TRUE(UndoLog::undo(db()));
    db().exec("DELETE FROM SchrittKontakte");
    db().exec("DELETE FROM Schritte");
    db().exec("DELETE FROM zKontakte WHERE rowid < 0");

    add(50, true);
    EXPECT_EQ(notes(), byTriggers);
    EXPECT_EQ(rowsOf(db(), "KartenInfo", "KarteId"), identitiesByTriggers);
    EXPECT_TRUE(layoutOf(db()) == layout_) << "the triggers are back as they were";

    const QRegularExpression uuid(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-7[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$"));
    auto read = db().prepare("SELECT Uid, Angelegt, Geaendert FROM KartenInfo WHERE KarteId > 2");
    std::set<QString> uids;
    while (read.step()) {
        EXPECT_TRUE(uuid.match(read.textOrEmpty(0)).hasMatch())
            << read.textOrEmpty(0).toStdString();
        EXPECT_EQ(read.textOrEmpty(1), read.textOrEmpty(2));
        EXPECT_EQ(read.textOrEmpty(1).size(), 20);  // 2026-12-07T09:30:00Z
        uids.insert(read.textOrEmpty(0));
    }
    EXPECT_EQ(uids.size(), 50U);
}

TEST_F(Adding, InBulkIsUndoneAndDiscardedLikeAnyOtherAddition) {
    const QStringList before = veltro::testing::exactTables(db());
    add(20, true);
    ASSERT_TRUE(UndoLog::undo(db()));
    EXPECT_EQ(veltro::testing::exactTables(db()), before);
    ASSERT_TRUE(UndoLog::redo(db()));
    EXPECT_EQ(veltro::testing::numberOf(db(), "SELECT count(*) FROM Kontakte"), 22);

    Snapshot::discard(db());
    EXPECT_EQ(veltro::testing::exactTables(db()), before);
}

TEST_F(Adding, ARunThatFailsHalfwayLeavesTheStoreAndItsTriggersAsTheyWere) {
    const QStringList before = veltro::testing::exactTables(db());
    try {
        Transaction transaction(db());
        BulkCardInsert bulk(db());
        bulk.next().bind(1, QStringLiteral("1")).bind(2, QStringLiteral("Halb"));
        bulk.insert();
        throw std::runtime_error("the source broke off");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(veltro::testing::exactTables(db()), before);
    EXPECT_TRUE(layoutOf(db()) == layout_);

    // Cards the store's own triggers add afterwards still get their identity and notes.
    CardInserter(db()).insert(card(1));
    EXPECT_EQ(veltro::testing::numberOf(db(), "SELECT count(*) FROM KartenInfo"), 3);
    EXPECT_EQ(veltro::testing::numberOf(db(), "SELECT count(*) FROM zKontakte WHERE rowid < 0"), 1);
}

// A run's identities count up through many milliseconds' worth of cards and never repeat.
TEST(CardIdentities, ComeInOrderAndUnique) {
    CardIdentities identities;
    std::string previous;
    std::set<std::string> seen;
    for (int i = 0; i < 10000; ++i) {
        std::string uid = identities.nextUid();
        ASSERT_EQ(uid.size(), 36U);
        ASSERT_LT(previous, uid);
        previous = uid;
        seen.insert(std::move(uid));
    }
    EXPECT_EQ(seen.size(), 10000U);
}

}  // namespace
