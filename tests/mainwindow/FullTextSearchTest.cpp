#include "FullTextOracle.h"
#include "TestHome.h"

#include "fulltext/FullTextIndex.h"
#include "session/FullTextSearch.h"
#include "store/CardStore.h"
#include "store/CaseFold.h"
#include "store/SampleCards.h"

#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <set>

using namespace veltro;
using fulltext::FullTextIndex;
using session::FullTextSearch;
using store::Field;

namespace {

using veltro::testing::matchesDirectly;

std::set<std::int64_t> bruteForce(store::CardStore& store, const QString& text) {
    const std::string needle = store::foldCase(text).toStdString();
    std::set<std::int64_t> ids;
    store::SearchableExtras extras(store.db());
    store.forEachCard([&](const store::Card& card) {
        if (card.value(Field::Schlagworte) &&
            matchesDirectly(FullTextIndex::valuesOf(card, extras.of(card.id)), needle)) {
            ids.insert(card.id);
        }
    });
    return ids;
}

const QStringList kTexts = {QStringLiteral("MÜL"),     QStringLiteral("nürnberg"),
                            QStringLiteral("rückruf"), QStringLiteral("nr. 12"),
                            QStringLiteral("0912"),    QStringLiteral("bamberg ")};

// Holds every reader after its first share of cards until opened.
class Gate {
public:
    void pass() {
        std::unique_lock lock(mutex_);
        ++held_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    void waitForReaders(int count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return held_ >= count; });
    }
    void open() {
        {
            const std::lock_guard lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int held_ = 0;
    bool open_ = false;
};

// Enough cards for two readers; cards each has read and cards it has yet to read change while
// both are held.
TEST(FullTextSearchTest, AnswersFromPartOfTheCardsWhileBuildingAndFromAllOnceDone) {
    veltro::testing::TestHome home;
    store::writeSyntheticStore(home.dir(), 24000, 5);
    auto store = store::CardStore::open(home.storeFile());
    bool built = false;
    Gate gate;
    FullTextSearch search([&] { built = true; });
    const auto opened = qScopeGuard([&] { gate.open(); });  // before the readers are joined
    search.setShareAdded([&] { gate.pass(); });
    search.start(home.storeFile());
    gate.waitForReaders(2);

    std::vector<std::int64_t> changed;
    std::vector<std::int64_t> deleted;
    for (std::int64_t id = 7; id < 24000; id += 1500) {
        if (id % 2 == 1) {
            store.deleteCard(id);
            deleted.push_back(id);
        } else {
            store.writeFields(id, {{Field::Ort, QStringLiteral("Mülheim")}});
        }
        search.changed(store, id);
        changed.push_back(id);
    }
    store::Card added;
    added.set(Field::Schlagworte, QStringLiteral("Rückruf Nürnberg"));
    added.set(Field::Kategorien, QStringLiteral("Privat"));
    const std::int64_t addedId = store.insertCard(added);
    search.changed(store, addedId);
    changed.push_back(addedId);

    std::vector<std::pair<QString, fulltext::IdSet>> partial;
    for (const QString& text : kTexts) {
        auto answer = search.search(store, text);
        ASSERT_TRUE(answer.ids.has_value());
        EXPECT_FALSE(answer.complete);
        partial.emplace_back(text, std::move(*answer.ids));
    }
    gate.open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return built; }, 120000));

    for (const QString& text : kTexts) {
        const auto answer = search.search(store, text);
        ASSERT_TRUE(answer.complete);
        const auto expected = bruteForce(store, text);
        for (std::int64_t id = 1; id <= addedId; ++id) {
            ASSERT_EQ(answer.ids->contains(id), expected.contains(id))
                << text.toStdString() << " card " << id;
        }
        for (const auto& [partText, ids] : partial) {
            if (partText != text) {
                continue;
            }
            for (std::int64_t id = 1; id <= addedId; ++id) {
                ASSERT_FALSE(ids.contains(id) && !expected.contains(id))
                    << "partial answer for " << text.toStdString() << " holds card " << id;
            }
            for (const std::int64_t id : changed) {  // read or not, a changed card is current
                EXPECT_EQ(ids.contains(id), expected.contains(id))
                    << "partial answer for " << text.toStdString() << " card " << id;
            }
        }
    }
    for (const std::int64_t id : deleted) {
        EXPECT_FALSE(search.search(store, QStringLiteral("e")).ids->contains(id)) << id;
    }
}

TEST(FullTextSearchTest, AStoreThatCannotBeReadInTheBackgroundIsReadOnFirstSearch) {
    veltro::testing::TestHome home;
    store::writeSampleStore(home.dir(), store::demoCards());
    auto store = store::CardStore::open(home.storeFile());
    FullTextSearch search;
    search.start(home.dir() / "missing" / "Kartix.mdb");
    const auto answer = search.search(store, QStringLiteral("a"));
    EXPECT_TRUE(answer.complete);
    EXPECT_EQ(answer.ids.has_value(), true);
    const auto expected = bruteForce(store, QStringLiteral("a"));
    for (const std::int64_t id : expected) {
        EXPECT_TRUE(answer.ids->contains(id)) << id;
    }
}

}  // namespace
