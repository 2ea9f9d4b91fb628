#include "StoreState.h"
#include "TestHome.h"

#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/DuplicateDecisions.h"
#include "store/SampleCards.h"
#include "store/Schema.h"
#include "store/Snapshot.h"
#include "store/StoreError.h"

#include <gtest/gtest.h>

using namespace veltro::store;
using namespace veltro::testing;

namespace {

// Every row of the tracked tables, with row ids, as one comparable text.
QStringList tableState(CardStore& store) {
    return cardsAndCategories(store.db()) + kartenInfoRows(store.db()) +
           rowsOf(store.db(), "KeineDubletten", kKeineDublettenColumns) + exactTables(store.db());
}

CardExtras someExtras(const char* number) {
    CardExtras extras;
    extras.photo = Photo{QByteArray(3, '\0'), QStringLiteral("image/png")};
    extras.entries = {{EntryKind::Telefon, EntryType::Mobil, QString::fromLatin1(number)}};
    return extras;
}

std::int64_t rowsIn(CardStore& store, const char* table) {
    return numberOf(store.db(), std::string("SELECT count(*) FROM ") + table);
}

// A run that touches every kind of row: edits, deletes, a deleted last row whose id is
// taken again, new rows with ids never used before, edited or deleted again.
void editEverything(CardStore& store) {
    const auto rows = store.headings();
    const auto newCard = [&](const char16_t* heading) {
        Card card;
        card.set(Field::Schlagworte, QString::fromUtf16(heading));
        return store.insertCard(card);
    };
    store.deleteCard(rows[2].id);  // the last row: its id comes free
    store.writeFields(newCard(u"Neu"), {{Field::Ort, QStringLiteral("Neustadt")}});
    store.writeFields(newCard(u"Frisch"), {{Field::Ort, QStringLiteral("Ulm")}});
    store.deleteCard(newCard(u"Weg"));
    store.writeFields(rows[0].id, {{Field::Firma, QStringLiteral("geändert")}});
    store.writeFields(rows[0].id, {{Field::Firma, QStringLiteral("zweimal")}});
    writeCardExtras(store.db(), rows[0].id, someExtras("2"));
    writeCardExtras(store.db(), newCard(u"Mit Foto"), someExtras("3"));
    store.deleteCard(rows[1].id);
    store.addCategory(QStringLiteral("Neue Kategorie"));
    store.db().exec("UPDATE tblAdrCfg SET KategorieName = 'Umbenannt' WHERE KategorieName = 'A'");
    store.db().exec("DELETE FROM tblAdrCfg WHERE KategorieName = 'B'");
    store.db().exec("DELETE FROM KeineDubletten");
    markNotDuplicates(store.db(), rows[0].id, newCard(u"Noch eine"));
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
            for (const char* name :
                 {"zKontakteAendern", "zKontakteLoeschen", "zKontakteNeu", "ztblAdrCfgAendern",
                  "ztblAdrCfgLoeschen", "ztblAdrCfgNeu", "zKartenInfoAendern",
                  "zKartenInfoLoeschen", "zKeineDublettenAendern", "zKeineDublettenLoeschen",
                  "zKeineDublettenNeu"}) {
                store_->db().exec(std::string("DROP TRIGGER ") + name);
            }
        }
        // Times of the past, so that every change in the run shows within the second.
        store_->db().exec(
            "UPDATE KartenInfo SET Angelegt = '2001-01-01T00:00:00Z', "
            "Geaendert = '2001-01-02T00:00:00Z'");
        const auto rows = store_->headings();
        markNotDuplicates(store_->db(), rows[0].id, rows[1].id);
        writeCardExtras(store_->db(), rows[1].id, someExtras("1"));
        before_ = tableState(*store_);
        beforeInfo_ = kartenInfoRows(store_->db());
        Snapshot::take(store_->db());
    }
    TestHome home_;
    std::optional<CardStore> store_;
    QStringList before_;
    QStringList beforeInfo_;
};

TEST_P(SnapshotRun, DiscardBringsEveryRowBackAndEmptiesTheSnapshot) {
    editEverything(*store_);
    ASSERT_NE(kartenInfoRows(store_->db()), beforeInfo_);
    Snapshot::discard(store_->db());
    EXPECT_EQ(tableState(*store_), before_);
    EXPECT_EQ(kartenInfoRows(store_->db()), beforeInfo_);
    EXPECT_EQ(rowsIn(*store_, "zKontakte"), 0);
    EXPECT_EQ(rowsIn(*store_, "ztblAdrCfg"), 0);
    EXPECT_EQ(rowsIn(*store_, "zKartenInfo"), 0);
    EXPECT_EQ(rowsIn(*store_, "zKeineDubletten"), 0);
}

TEST_P(SnapshotRun, KeepKeepsTheRunAndEmptiesTheSnapshot) {
    editEverything(*store_);
    const QStringList after = tableState(*store_);
    Snapshot::keep(store_->db());
    EXPECT_EQ(tableState(*store_), after);
    EXPECT_EQ(rowsIn(*store_, "zKontakte"), 0);
    EXPECT_EQ(rowsIn(*store_, "ztblAdrCfg"), 0);
    EXPECT_EQ(rowsIn(*store_, "zKartenInfo"), 0);
    EXPECT_EQ(rowsIn(*store_, "zKeineDubletten"), 0);
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

// Putting back cards spread over a large store touches many pages in one statement, so
// the engine's statement journal outgrows memory and goes to a temporary file; that must
// work like the small case.
TEST(SnapshotOfALargeStore, DiscardOfCardsSpreadOverTheStoreBringsThemBack) {
    TestHome home;
    writeSyntheticStore(home.dir(), 20000);
    auto store = CardStore::open(home.storeFile());
    const auto towns = [&] {
        return numberOf(store.db(), "SELECT sum(length(Ort) * rowid) FROM Kontakte");
    };
    const std::int64_t before = towns();
    Snapshot::take(store.db());
    store.db().exec("UPDATE Kontakte SET Ort = 'Anderswo' WHERE rowid % 25 = 0");
    ASSERT_NE(towns(), before);
    ASSERT_NO_THROW(Snapshot::discard(store.db()));
    EXPECT_EQ(towns(), before);
    EXPECT_EQ(rowsIn(store, "Kontakte"), 20000);
}

}  // namespace
