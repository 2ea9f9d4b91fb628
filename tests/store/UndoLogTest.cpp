#include "StoreState.h"
#include "TestHome.h"

#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/Snapshot.h"
#include "store/StoreError.h"
#include "store/UndoLog.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace veltro::store;
using namespace veltro::testing;

namespace {

class UndoLogTest : public ::testing::Test {
public:
    std::int64_t newCard(const QString& heading, const QString& category) {
        return store_->insertCard(cardFrom({heading, category}));
    }

protected:
    void SetUp() override {
        makeStore(home_.dir(), {QStringLiteral("Privat"), QStringLiteral("Firma")},
                  {{QStringLiteral("Müller"),
                    QStringLiteral("Privat"),
                    {{Field::Telefon, QStringLiteral("0711 12345")}, {Field::Anrede, QString()}}},
                   {QStringLiteral("Bau AG"),
                    QStringLiteral("Firma"),
                    {{Field::Notizen, QStringLiteral("{\\rtf1 {\\b fett}}")}}},
                   {QStringLiteral("Zeta"), QStringLiteral("Privat")}});
        store_.emplace(CardStore::open(home_.storeFile()));
        db().exec("PRAGMA synchronous = OFF");  // many small commits; no crash to survive
        // Values another program may have written: a number and bytes, not text.
        db().exec("UPDATE Kontakte SET Nr = 7, Fax = x'00ff' WHERE Schlagworte = 'Zeta'");
        // Times of the past, so that a change within the test's second still shows.
        db().exec(
            "UPDATE KartenInfo SET Angelegt = '2001-01-01T00:00:00Z', "
            "Geaendert = '2001-01-02T00:00:00Z'");
        Snapshot::take(db());
    }

    Database& db() { return store_->db(); }
    std::int64_t idOf(const char* heading) {
        return *store_->findByHeading(QString::fromUtf8(heading));
    }
    void step(const QString& name, const std::function<void()>& change, std::int64_t visit = 0) {
        UndoStep recorded(db(), name, visit);
        change();
        recorded.commit();
    }
    TestHome home_;
    std::optional<CardStore> store_;
};

void renameCategory(CardStore& store, const char* from, const char* to) {
    auto categories = store.db().prepare(
        "UPDATE tblAdrCfg SET KategorieName = ?2 WHERE "
        "KategorieName = ?1");
    categories.bind(1, QString::fromUtf8(from)).bind(2, QString::fromUtf8(to));
    categories.run();
    auto cards = store.db().prepare("UPDATE Kontakte SET Kategorien = ?2 WHERE Kategorien = ?1");
    cards.bind(1, QString::fromUtf8(from)).bind(2, QString::fromUtf8(to));
    cards.run();
}

// Each command's step is the window's undo test; here the step whose new card takes the row id
// that its deletion of the last card set free.
TEST_F(UndoLogTest, UndoAndRedoOfAStepThatTakesAFreedRowIdAgain) {
    const QStringList before = exactTables(db());
    step(QStringLiteral("Befehl"), [&] {
        store_->deleteCard(idOf("Zeta"));
        newCard(QStringLiteral("Nachfolger"), QStringLiteral("Firma"));
    });
    const QStringList after = exactTables(db());
    ASSERT_NE(after, before);
    ASSERT_TRUE(UndoLog::undo(db()));
    EXPECT_EQ(exactTables(db()), before);
    EXPECT_EQ(UndoLog::redoName(db()), QStringLiteral("Befehl"));
    ASSERT_TRUE(UndoLog::redo(db()));
    EXPECT_EQ(exactTables(db()), after);
}

TEST_F(UndoLogTest, ANewChangeAfterAnUndoEndsTheRedoButAStepWithoutChangeDoesNot) {
    step(QStringLiteral("Eins"), [&] { newCard(QStringLiteral("A"), QStringLiteral("Privat")); });
    UndoLog::undo(db());
    step(QStringLiteral("Nichts"), [] {});
    EXPECT_EQ(UndoLog::redoName(db()), QStringLiteral("Eins"));
    EXPECT_EQ(UndoLog::undoName(db()), std::nullopt);
    step(QStringLiteral("Zwei"), [&] { newCard(QStringLiteral("B"), QStringLiteral("Privat")); });
    EXPECT_EQ(UndoLog::redoName(db()), std::nullopt);
    EXPECT_EQ(UndoLog::undoName(db()), QStringLiteral("Zwei"));
    EXPECT_EQ(numberOf(db(), "SELECT count(*) FROM Schritte"), 1);
    EXPECT_EQ(numberOf(db(), "SELECT count(DISTINCT Schritt) FROM SchrittKontakte"), 1);
}

TEST_F(UndoLogTest, SavesOfOneVisitAreOneStepUntilAnotherStepComesBetween) {
    const QStringList start = exactTables(db());
    const auto id = idOf("Müller");
    step(
        QStringLiteral("Karte bearbeiten"),
        [&] {
            store_->writeFields(id, {{Field::Ort, QStringLiteral("Ulm")}});
        },
        7);
    step(
        QStringLiteral("Karte bearbeiten"),
        [&] {
            store_->writeFields(id, {{Field::Firma, QStringLiteral("X")}});
        },
        7);
    const QStringList visited = exactTables(db());
    step(QStringLiteral("Neue Kategorie"), [&] { store_->addCategory(QStringLiteral("K")); });
    step(
        QStringLiteral("Karte bearbeiten"),
        [&] {
            store_->writeFields(id, {{Field::Ort, QStringLiteral("Bonn")}});
        },
        7);

    UndoLog::undo(db());
    UndoLog::undo(db());
    EXPECT_EQ(exactTables(db()), visited);
    UndoLog::undo(db());
    EXPECT_EQ(exactTables(db()), start);
    EXPECT_EQ(UndoLog::undoName(db()), std::nullopt);
}

TEST_F(UndoLogTest, AStepInsideAStepJoinsIt) {
    const QStringList start = exactTables(db());
    {
        UndoStep outer(db(), QStringLiteral("Import"));
        step(QStringLiteral("innen"), [&] { store_->addCategory(QStringLiteral("K")); });
        newCard(QStringLiteral("A"), QStringLiteral("K"));
        outer.commit();
    }
    EXPECT_EQ(numberOf(db(), "SELECT count(*) FROM Schritte"), 1);
    EXPECT_EQ(UndoLog::undo(db())->name, QStringLiteral("Import"));
    EXPECT_EQ(exactTables(db()), start);
}

TEST_F(UndoLogTest, ACommandThatFailsLeavesNoStepAndTheEarlierOnesUndoAsBefore) {
    const QStringList start = exactTables(db());
    step(QStringLiteral("Eins"), [&] { store_->deleteCard(idOf("Zeta")); });
    const QStringList one = exactTables(db());
    step(QStringLiteral("Zwei"), [&] { store_->addCategory(QStringLiteral("K")); });
    UndoLog::undo(db());  // "Zwei" can be done again

    EXPECT_THROW(step(QStringLiteral("Scheitert"),
                      [&] {
                          store_->deleteCard(idOf("Müller"));
                          newCard(QStringLiteral("Halb"), QStringLiteral("Privat"));
                          throw StoreError("disk I/O error");
                      }),
                 StoreError);
    EXPECT_EQ(exactTables(db()), one);
    EXPECT_EQ(UndoLog::undoName(db()), QStringLiteral("Eins"));
    EXPECT_EQ(UndoLog::redoName(db()), QStringLiteral("Zwei"));
    EXPECT_EQ(UndoLog::undo(db())->name, QStringLiteral("Eins"));
    EXPECT_EQ(exactTables(db()), start);
}

TEST_F(UndoLogTest, AnUndoOrRedoThatFailsAnywhereChangesNothing) {
    const QStringList before = exactTables(db());
    step(QStringLiteral("Viel"), [&] {
        store_->deleteCard(idOf("Zeta"));
        renameCategory(*store_, "Firma", "Betrieb");
        newCard(QStringLiteral("Neu"), QStringLiteral("Betrieb"));
    });
    const QStringList after = exactTables(db());
    for (const bool redo : {false, true}) {
        const QStringList from = redo ? before : after;
        const QStringList to = redo ? after : before;
        int failAt = 1;
        for (;; ++failAt) {
            const auto fail = [failAt](int statement) {
                if (statement == failAt) {
                    throw StoreError("disk I/O error");
                }
            };
            try {
                redo ? UndoLog::redo(db(), fail) : UndoLog::undo(db(), fail);
                break;
            } catch (const StoreError&) {
                ASSERT_EQ(exactTables(db()), from) << "failed at statement " << failAt;
                ASSERT_EQ(redo ? UndoLog::redoName(db()) : UndoLog::undoName(db()),
                          QStringLiteral("Viel"));
            }
        }
        EXPECT_GT(failAt, 10);
        EXPECT_EQ(exactTables(db()), to);
    }
}

TEST_F(UndoLogTest, TheOldestStepsAreForgottenBeyondTheLimit) {
    for (int i = 0; i < UndoLog::kMaxSteps + 5; ++i) {
        step(QStringLiteral("Schritt %1").arg(i),
             [&] { store_->addCategory(QStringLiteral("K%1").arg(i)); });
    }
    int undone = 0;
    while (UndoLog::undo(db())) {
        ++undone;
    }
    EXPECT_EQ(undone, UndoLog::kMaxSteps);
    EXPECT_EQ(store_->categories().size(), 2U + 5U);
}

TEST_F(UndoLogTest, TheExitStepAndTheNextStartEmptyTheLog) {
    const QStringList start = exactTables(db());
    step(QStringLiteral("Eins"), [&] { store_->deleteCard(idOf("Zeta")); });
    step(QStringLiteral("Zwei"), [&] { newCard(QStringLiteral("A"), QStringLiteral("Privat")); });
    UndoLog::undo(db());
    UndoLog::undo(db());
    UndoLog::redo(db());
    // Discard knows nothing of the log and still finds the start.
    Snapshot::discard(db());
    EXPECT_EQ(exactTables(db()), start);
    EXPECT_EQ(UndoLog::redoName(db()), std::nullopt);
    EXPECT_EQ(numberOf(db(), "SELECT count(*) FROM SchrittKontakte"), 0);

    Snapshot::take(db());
    step(QStringLiteral("Drei"), [&] { newCard(QStringLiteral("B"), QStringLiteral("Privat")); });
    Snapshot::keep(db());
    EXPECT_EQ(UndoLog::undoName(db()), std::nullopt);
    step(QStringLiteral("Vier"), [&] { newCard(QStringLiteral("C"), QStringLiteral("Privat")); });
    Snapshot::take(db());  // a run that died left its log behind
    EXPECT_EQ(UndoLog::undoName(db()), std::nullopt);
    EXPECT_EQ(numberOf(db(), "SELECT count(*) FROM SchrittKontakte"), 0);
}

// Random steps, undos and redos against a list of the states they must lead to.
class RandomRun : public UndoLogTest {
protected:
    std::int64_t randomCard() {
        const auto rows = store_->headings();
        return rows.empty() ? 0 : rows[rng_() % rows.size()].id;
    }
    QString randomCategory() {
        const auto names = store_->categories();
        return names.empty() ? QStringLiteral("X") : names[rng_() % names.size()];
    }
    void randomChange() {
        const auto field = static_cast<Field>(rng_() % kFieldCount);
        switch (rng_() % 8) {
            case 0:
                newCard(QStringLiteral("K%1").arg(rng_() % 1000), randomCategory());
                break;
            case 1:
                store_->deleteCard(randomCard());
                break;
            case 2:
                if (const auto id = randomCard()) {
                    store_->writeFields(id, {{field, QStringLiteral("W%1").arg(rng_() % 100)}});
                }
                break;
            case 3:
                store_->addCategory(QStringLiteral("C%1").arg(rng_() % 100));
                break;
            case 4: {
                auto rename = db().prepare(
                    "UPDATE tblAdrCfg SET KategorieName = ?1 WHERE rowid = "
                    "(SELECT min(rowid) FROM tblAdrCfg)");
                rename.bind(1, QStringLiteral("R%1").arg(rng_() % 100));
                rename.run();
                break;
            }
            case 5: {
                auto remove = db().prepare("DELETE FROM Kontakte WHERE Kategorien = ?1");
                remove.bind(1, randomCategory());
                remove.run();
                break;
            }
            case 6:
                if (const auto id = randomCard()) {
                    writeCardExtras(db(), id, randomExtras());
                }
                break;
            default:
                db().exec("UPDATE Kontakte SET Vorwahl = NULL WHERE rowid % 2 = 0");
        }
    }
    CardExtras randomExtras() {
        CardExtras extras;
        extras.birthday = PartialDate{0, 2, 1 + static_cast<int>(rng_() % 29)};
        if (rng_() % 2 == 0) {
            extras.photo = Photo{QByteArray(static_cast<int>(rng_() % 3), '\0'), {}};
        }
        for (auto n = rng_() % 3; n > 0; --n) {
            extras.entries.push_back({static_cast<EntryKind>(rng_() % 4), EntryType::Privat,
                                      QStringLiteral("E%1").arg(rng_() % 9)});
        }
        return extras;
    }
    std::mt19937 rng_{20261207};
};

TEST_F(RandomRun, EveryUndoAndRedoReachesTheStateOfItsPlace) {
    std::vector<QStringList> states{exactTables(db())};
    std::size_t at = 0;
    for (int round = 0; round < 400; ++round) {
        const auto roll = rng_() % 10;
        if (roll < 3 && at > 0) {
            ASSERT_TRUE(UndoLog::undo(db()));
            --at;
        } else if (roll < 5 && at + 1 < states.size()) {
            ASSERT_TRUE(UndoLog::redo(db()));
            ++at;
        } else {
            step(QStringLiteral("S%1").arg(round), [&] {
                for (auto changes = 1 + rng_() % 3; changes > 0; --changes) {
                    randomChange();
                }
            });
            if (QStringList now = exactTables(db()); now != states[at]) {
                states.resize(at + 1);
                states.push_back(std::move(now));
                ++at;
                if (states.size() > UndoLog::kMaxSteps + 1U) {
                    states.erase(states.begin());
                    --at;
                }
            }
        }
        ASSERT_EQ(exactTables(db()), states[at]) << "round " << round;
        ASSERT_EQ(UndoLog::undoName(db()).has_value(), at > 0) << "round " << round;
        ASSERT_EQ(UndoLog::redoName(db()).has_value(), at + 1 < states.size()) << "round " << round;
    }
    while (at > 0) {
        ASSERT_TRUE(UndoLog::undo(db()));
        ASSERT_EQ(exactTables(db()), states[--at]);
    }
}

}  // namespace
