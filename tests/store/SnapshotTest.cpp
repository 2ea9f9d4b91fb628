#include "TestHome.h"

#include "store/CardStore.h"
#include "store/Schema.h"
#include "store/Snapshot.h"
#include "store/StoreError.h"

#include <gtest/gtest.h>

using namespace veltro::store;
using veltro::testing::makeStore;
using veltro::testing::TestHome;

namespace {

// Every row of both tables, with row ids, as one comparable text.
QStringList tableState(CardStore& store) {
    QStringList rows;
    auto cards =
        store.db().prepare("SELECT rowid, " + cardColumnList() + " FROM Kontakte ORDER BY rowid");
    while (cards.step()) {
        QString row;
        for (int i = 0; i < cards.columnCount(); ++i) {
            row += (cards.isNull(i) ? QStringLiteral("<null>") : cards.textOrEmpty(i)) + u'|';
        }
        rows << row;
    }
    auto categories =
        store.db().prepare("SELECT rowid, KategorieName FROM tblAdrCfg ORDER BY rowid");
    while (categories.step()) {
        rows << QStringLiteral("K %1 %2").arg(categories.integer(0)).arg(categories.textOrEmpty(1));
    }
    return rows;
}

std::int64_t rowsIn(CardStore& store, const char* table) {
    auto stmt = store.db().prepare(std::string("SELECT count(*) FROM ") + table);
    stmt.step();
    return stmt.integer(0);
}

// A run that touches every kind of row: edits, deletes, new rows, a new row edited and
// deleted, and a deleted last row whose id is taken again.
void editEverything(CardStore& store) {
    const auto rows = store.headings();
    store.writeFields(rows[0].id, {{Field::Firma, QStringLiteral("geändert")}});
    store.writeFields(rows[0].id, {{Field::Firma, QStringLiteral("zweimal")}});
    store.deleteCard(rows[1].id);
    store.deleteCard(rows[2].id);  // the last row: its id comes free
    Card added;
    added.set(Field::Schlagworte, QStringLiteral("Neu"));
    const auto id = store.insertCard(added);
    store.writeFields(id, {{Field::Ort, QStringLiteral("Neustadt")}});
    Card other;
    other.set(Field::Schlagworte, QStringLiteral("Neu 2"));
    store.deleteCard(store.insertCard(other));
    store.addCategory(QStringLiteral("Neue Kategorie"));
    store.db().exec("UPDATE tblAdrCfg SET KategorieName = 'Umbenannt' WHERE KategorieName = 'A'");
    store.db().exec("DELETE FROM tblAdrCfg WHERE KategorieName = 'B'");
}

class SnapshotRun : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        makeStore(
            home_.dir(), {QStringLiteral("A"), QStringLiteral("B")},
            {{QStringLiteral("Eins"), QStringLiteral("A")},
             {QStringLiteral("Zwei"), QStringLiteral("A"), {{Field::Telefon, QStringLiteral("1")}}},
             {QStringLiteral("Drei"), QStringLiteral("B")}});
        store_.emplace(CardStore::open(home_.storeFile()));
        if (!GetParam()) {  // a store made without the change triggers
            for (const char* name : {"zKontakteAendern", "zKontakteLoeschen", "zKontakteNeu",
                                     "ztblAdrCfgAendern", "ztblAdrCfgLoeschen", "ztblAdrCfgNeu"}) {
                store_->db().exec(std::string("DROP TRIGGER ") + name);
            }
        }
        before_ = tableState(*store_);
        Snapshot::take(store_->db());
    }
    TestHome home_;
    std::optional<CardStore> store_;
    QStringList before_;
};

TEST_P(SnapshotRun, DiscardBringsEveryRowBackAndEmptiesTheSnapshot) {
    editEverything(*store_);
    ASSERT_NE(tableState(*store_), before_);
    Snapshot::discard(store_->db());
    EXPECT_EQ(tableState(*store_), before_);
    EXPECT_EQ(rowsIn(*store_, "zKontakte"), 0);
    EXPECT_EQ(rowsIn(*store_, "ztblAdrCfg"), 0);
}

TEST_P(SnapshotRun, KeepKeepsTheRunAndEmptiesTheSnapshot) {
    editEverything(*store_);
    const QStringList after = tableState(*store_);
    Snapshot::keep(store_->db());
    EXPECT_EQ(tableState(*store_), after);
    EXPECT_EQ(rowsIn(*store_, "zKontakte"), 0);
    EXPECT_EQ(rowsIn(*store_, "ztblAdrCfg"), 0);
}

TEST_P(SnapshotRun, AFailureInTheMiddleOfDiscardLeavesTheTablesWhole) {
    editEverything(*store_);
    const QStringList after = tableState(*store_);
    EXPECT_THROW(Snapshot::discard(store_->db(),
                                   [](int step) {
                                       if (step == 2) {
                                           throw StoreError("disk full");
                                       }
                                   }),
                 StoreError);
    EXPECT_EQ(tableState(*store_), after);
    EXPECT_GT(rowsIn(*store_, "zKontakte"), 0);
}

TEST_P(SnapshotRun, ARunThatDiedKeepsItsChangesAtTheNextStart) {
    editEverything(*store_);
    const QStringList after = tableState(*store_);
    store_.reset();  // killed: no exit step
    store_.emplace(CardStore::open(home_.storeFile()));
    Snapshot::take(store_->db());
    EXPECT_EQ(tableState(*store_), after);
    Snapshot::discard(store_->db());  // the next run discards only its own changes
    EXPECT_EQ(tableState(*store_), after);
}

TEST_P(SnapshotRun, ARunWithoutChangesLeavesTheTablesAsTheyWere) {
    Snapshot::discard(store_->db());
    EXPECT_EQ(tableState(*store_), before_);
}

INSTANTIATE_TEST_SUITE_P(Stores, SnapshotRun, ::testing::Values(true, false),
                         [](const auto& row) { return row.param ? "Tracking" : "Copying"; });

}  // namespace
